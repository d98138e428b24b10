#pragma once
// The platform font behind a RasterCachedFont: created from a face name and
// cell height, it measures characters and draws them in white onto the
// opaque black scratch bitmap, from which the cached font takes coverage.
#include <cstdint>

#include "raster/raster_bitmap.h"

namespace selvarin {

enum RasterFontQuality : int {
  kRasterQualityDefault = 0,
  kRasterQualityNonAntialiased = 1,
  kRasterQualityAntialiased = 2,
  kRasterQualityClearType = 3,
};

struct RasterFontRequest {
  const char* face = "";
  int cellHeight = 0;  // ascent plus descent in pixels
  int weight = 400;    // 400 normal, 700 bold
  bool italic = false;
  int quality = kRasterQualityDefault;
  int orientation = 0;  // tenths of a degree
};

class RasterSystemFont {
 public:
  virtual ~RasterSystemFont() = default;
  // Cell height in pixels: ascent plus descent.
  virtual int LineHeight() const = 0;
  virtual int Ascent() const = 0;
  // Family of the face actually used (a substitute may stand in for the name asked for).
  virtual const char* FamilyName() const = 0;
  // Horizontal advance of the character in pixels.
  virtual int Advance(std::uint32_t codepoint) = 0;
  // Draws the character with its cell's top-left corner at (x, y) in white
  // onto the scratch bitmap, whose pixels are opaque black around it.
  virtual bool DrawGlyph(RasterBitmap* scratch, int x, int y, std::uint32_t codepoint) = 0;
  // The platform's own font object for drawing text natively, or none.
  virtual void* NativeHandle() const { return nullptr; }

  RasterSystemFont() = default;
  RasterSystemFont(const RasterSystemFont&) = delete;
  RasterSystemFont& operator=(const RasterSystemFont&) = delete;
};

// Makes the closest available font; none when no font can be made. The
// caller owns the result.
RasterSystemFont* RasterCreateSystemFont(const RasterFontRequest& request);

}  // namespace selvarin
