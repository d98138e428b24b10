#pragma once
// Text drawing with cached glyphs of a platform font.
#include <cstdint>

#include "raster/raster_bitmap.h"
#include "raster/raster_glyph_cache.h"
#include "raster/raster_system_font.h"

namespace selvarin {

// Font flags.
enum RasterFontFlag : int {
  kRasterFontPrerenderAscii = 4,      // render codes 0 to 127 at set-up
  kRasterFontOwnsSystemFont = 0x200,  // delete the platform font when replaced or destroyed
  kRasterFontAllowNative = 0x400,     // the platform may draw the text itself
};

// Text drawing flags.
enum RasterTextFlag : int {
  kRasterTextLeft = 0,
  kRasterTextCentre = 1,
  kRasterTextRight = 2,
  kRasterTextVCentre = 4,
  kRasterTextBottom = 8,
  kRasterTextNoClip = 0x100,
  kRasterTextMeasure = 0x400,  // only measure: the rectangle gets the text's extent
  kRasterTextUseColourAlpha = 0x40000000,
};

enum RasterBackgroundMode : int { kRasterBackgroundTransparent = 1, kRasterBackgroundOpaque = 2 };

class RasterFont {
 public:
  virtual ~RasterFont() = default;
  virtual void SetFromSystemFont(RasterSystemFont* font, int flags) = 0;
  // Each setter returns the previous value.
  virtual RasterPixel SetTextColor(RasterPixel colour) = 0;
  virtual RasterPixel SetBackgroundColor(RasterPixel colour) = 0;
  virtual RasterPixel SetEffectColor(RasterPixel colour) = 0;
  virtual int SetBackgroundMode(int mode) = 0;
  virtual void SetCombineMode(int mode, float opacity) = 0;
  // Draws the string (length -1: up to its NUL) in the rectangle; returns the
  // height of the text block (0 when nothing could be drawn).
  virtual int DrawText(RasterBitmap* dest, const char* text, int length, RasterRect* rect, int flags) = 0;
  virtual RasterPixel TextColor() const = 0;
  virtual RasterSystemFont* SystemFont() const = 0;
  virtual int LineHeight() const = 0;

 protected:
  // One glyph with its cell's top-left at (x, y), limited to clip.
  virtual bool DrawGlyph(RasterBitmap* dest, std::uint32_t codepoint, int x, int y, const RasterRect& clip) = 0;
};

class RasterCachedFont : public RasterFont {
 public:
  RasterCachedFont();
  ~RasterCachedFont() override;
  RasterCachedFont(const RasterCachedFont&) = delete;
  RasterCachedFont& operator=(const RasterCachedFont&) = delete;

  void SetFromSystemFont(RasterSystemFont* font, int flags) override;
  RasterPixel SetTextColor(RasterPixel colour) override;
  RasterPixel SetBackgroundColor(RasterPixel colour) override;
  RasterPixel SetEffectColor(RasterPixel colour) override;
  int SetBackgroundMode(int mode) override;
  void SetCombineMode(int mode, float opacity) override;
  int DrawText(RasterBitmap* dest, const char* text, int length, RasterRect* rect, int flags) override;
  RasterPixel TextColor() const override { return textColour_; }
  RasterSystemFont* SystemFont() const override { return systemFont_; }
  int LineHeight() const override { return lineHeight_; }

  int Flags() const { return flags_; }
  // Advance of the character in pixels (renders it once if needed).
  int Advance(std::uint32_t codepoint);

  // Fonts alive in the process (the shared scratch bitmap lives while any does).
  static int LiveCount();

 protected:
  bool DrawGlyph(RasterBitmap* dest, std::uint32_t codepoint, int x, int y, const RasterRect& clip) override;

 private:
  bool UsesNativeText(int textFlags) const;
  const RasterGlyph* Glyph(std::uint32_t codepoint);
  const RasterGlyph* RenderGlyph(std::uint32_t codepoint);
  void ReleaseSystemFont();

  RasterPixel textColour_ = 0;
  RasterPixel backgroundColour_ = 0xFFFFFFFFu;
  RasterPixel effectColour_ = 0xFFFFFFFFu;
  int backgroundMode_ = kRasterBackgroundTransparent;
  int combineMode_ = 0;
  float opacity_ = 1.0f;
  int flags_ = 0;
  int lineHeight_ = 0;
  int drawK_ = 256;  // opacity of the text being drawn, in 1/256
  RasterGlyphCache glyphs_;
  RasterSystemFont* systemFont_ = nullptr;
};

}  // namespace selvarin
