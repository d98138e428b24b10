#pragma once
// What the FreeType and GDI fonts share: once opened, a cell height, an
// ascent and the family of the face actually used, and the way one is made.
#include <new>

#include "raster/raster_system_font.h"

namespace selvarin {

class RasterPlatformFont : public RasterSystemFont {
 public:
  int LineHeight() const override { return lineHeight_; }
  int Ascent() const override { return ascent_; }
  const char* FamilyName() const override { return family_; }

  // A Font opened for the request (Font::Open fills the metrics); none when
  // memory or the font cannot be had.
  template <class Font>
  static RasterSystemFont* Make(const RasterFontRequest& request) {
    Font* font = new (std::nothrow) Font;
    if (font && !font->Open(request)) {
      delete font;
      font = nullptr;
    }
    return font;
  }

 protected:
  char family_[128] = {};
  int lineHeight_ = 0;
  int ascent_ = 0;
};

}  // namespace selvarin
