#pragma once
// The process-wide caches of decoded images and fonts, shared by every
// editor in the process. Each lookup and insertion holds the cache's own
// mutex; entries stay until the process (module) unloads.
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "graphics/igraphics_types.h"

namespace selvarin {

class RasterBitmap;
class RasterCachedFont;

// An image's twice-as-large version (for scaled displays) is the resource
// of its id plus this.
constexpr int kLargeImageIdOffset = 1000;

class EditorImageCache {
 public:
  static EditorImageCache& Instance();
  // The raster cached under the id, or none.
  RasterBitmap* Find(int resourceId);
  // Adds the raster (taking ownership) unless another thread added the id
  // first; returns the cached raster for the id.
  RasterBitmap* Insert(int resourceId, RasterBitmap* raster);
  int Count();

  // The raster that draws a cached image at a display scale above 1: at 2
  // its large version, when that is exactly twice each dimension; at any
  // other scale the large version (or, without a usable one, the image
  // itself) resampled to round(W * scale) x round(H * scale). Made once per
  // image and scale and kept like the image. `decode` decodes a resource id
  // (the editor's image loader; the cache owns what it returns). None when
  // the raster is not a cached image or nothing could be made.
  RasterBitmap* ForScale(RasterBitmap* image, double scale, const std::function<RasterBitmap*(int)>& decode);
  // Bytes of pixels of the rasters that draw the cached images at a scale
  // (at 1 the images themselves), as far as they have been made.
  std::size_t DecodedBytes(double scale);

 private:
  EditorImageCache() = default;
  ~EditorImageCache();
  struct Scaled {
    double scale;
    RasterBitmap* raster;
  };
  struct Entry {
    int id;
    RasterBitmap* raster;
    RasterBitmap* large = nullptr;  // exactly twice the size, or none
    bool largeTried = false;
    std::vector<Scaled> scaled;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

class EditorFontCache {
 public:
  static EditorFontCache& Instance();
  // The font for the style's size, orientation, style bits and face, made
  // and cached on first use; none when no font can be made.
  RasterCachedFont* Find(const ITextStyle& style);

 private:
  EditorFontCache() = default;
  ~EditorFontCache();
  struct Entry {
    int size, orientation, style;
    char face[36];
    RasterCachedFont* font;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace selvarin
