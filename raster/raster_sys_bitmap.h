#pragma once
// The bitmap behind the editor's draw surface. Its pixel section only grows
// (allocated width rounded up to four pixels), so resizing back and forth
// does not reallocate. Where the platform has device contexts it also offers
// one that draws into the same pixels; the portable build has none.
#include "raster/raster_bitmap.h"

namespace selvarin {

class RasterSysBitmap : public RasterBitmap {
 public:
  RasterSysBitmap(int width = 0, int height = 0);
  ~RasterSysBitmap() override;

  RasterPixel* Bits() override { return bits_; }
  int Width() override { return width_; }
  int Height() override { return height_; }
  int RowSpan() override { return allocWidth_; }
  bool Resize(int width, int height) override;
  RasterDeviceContext DeviceContext() override;

  int AllocatedWidth() const { return allocWidth_; }
  int AllocatedHeight() const { return allocHeight_; }

 private:
  // Platform part: creates or destroys the pixel section of allocWidth_ x allocHeight_.
  bool CreateSection();
  void DestroySection();
  void CreateContext();
  void DestroyContext();
  bool ContextReady() const;

  int width_ = 0;
  int height_ = 0;
  RasterDeviceContext context_ = nullptr;
  RasterPixel* bits_ = nullptr;
  int allocWidth_ = 0;
  int allocHeight_ = 0;
  void* section_ = nullptr;
  void* previousObject_ = nullptr;
};

}  // namespace selvarin
