#include <algorithm>
#include <new>

#include "raster/raster_font.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

namespace {

// Process-wide scratch surface on which glyphs are rasterised, shared by all
// fonts (user-interface thread only) and freed with the last font.
RasterSysBitmap* g_scratch = nullptr;
int g_liveFonts = 0;

// Makes the scratch at least w x h (and 256 x 256); false without memory.
bool EnsureScratch(int w, int h) {
  w = std::max(w, 256);
  h = std::max(h, 256);
  if (!g_scratch) g_scratch = new (std::nothrow) RasterSysBitmap(w, h);
  if (!g_scratch) return false;
  if (g_scratch->Width() < w || g_scratch->Height() < h) {
    g_scratch->Resize(std::max(w, g_scratch->Width()), std::max(h, g_scratch->Height()));
  }
  return g_scratch->Bits() && g_scratch->Width() >= w && g_scratch->Height() >= h;
}

}  // namespace

RasterCachedFont::RasterCachedFont() { ++g_liveFonts; }

RasterCachedFont::~RasterCachedFont() {
  ReleaseSystemFont();
  if (--g_liveFonts == 0) {
    delete g_scratch;
    g_scratch = nullptr;
  }
}

int RasterCachedFont::LiveCount() { return g_liveFonts; }

void RasterCachedFont::ReleaseSystemFont() {
  if (flags_ & kRasterFontOwnsSystemFont) delete systemFont_;
  systemFont_ = nullptr;
}

void RasterCachedFont::SetFromSystemFont(RasterSystemFont* font, int flags) {
  if (systemFont_ != font) ReleaseSystemFont();
  flags_ = flags;
  systemFont_ = font;
  EnsureScratch(256, 256);
  lineHeight_ = font ? font->LineHeight() : 0;
  glyphs_.Clear();
  if (font && (flags & kRasterFontPrerenderAscii)) {
    for (std::uint32_t c = 0; c < 128; ++c) RenderGlyph(c);
  }
}

RasterPixel RasterCachedFont::SetTextColor(RasterPixel colour) {
  const RasterPixel old = textColour_;
  textColour_ = colour;
  return old;
}

RasterPixel RasterCachedFont::SetBackgroundColor(RasterPixel colour) {
  const RasterPixel old = backgroundColour_;
  backgroundColour_ = colour;
  return old;
}

RasterPixel RasterCachedFont::SetEffectColor(RasterPixel colour) {
  const RasterPixel old = effectColour_;
  effectColour_ = colour;
  return old;
}

int RasterCachedFont::SetBackgroundMode(int mode) {
  const int old = backgroundMode_;
  backgroundMode_ = mode;
  return old;
}

void RasterCachedFont::SetCombineMode(int mode, float opacity) {
  combineMode_ = mode;
  opacity_ = opacity;
}

const RasterGlyph* RasterCachedFont::Glyph(std::uint32_t codepoint) {
  const RasterGlyph* g = glyphs_.Find(codepoint);
  return g ? g : RenderGlyph(codepoint);
}

int RasterCachedFont::Advance(std::uint32_t codepoint) {
  const RasterGlyph* g = Glyph(codepoint);
  return g ? g->advance : 0;
}

// Draws the character on the scratch with room around its cell for ink that
// overhangs, then keeps the coverage of its ink box.
const RasterGlyph* RasterCachedFont::RenderGlyph(std::uint32_t codepoint) {
  if (!systemFont_ || lineHeight_ <= 0) return nullptr;
  RasterGlyph glyph;
  glyph.advance = std::max(0, systemFont_->Advance(codepoint));
  const int marginX = lineHeight_ / 2 + 2, marginY = lineHeight_ / 4 + 2;
  const int boxW = glyph.advance + 2 * marginX, boxH = lineHeight_ + 2 * marginY;
  if (!EnsureScratch(boxW, boxH)) return nullptr;

  RasterPixel* bits = g_scratch->Bits();
  const int span = g_scratch->RowSpan();
  for (int y = 0; y < boxH; ++y) std::fill_n(bits + static_cast<long>(y) * span, boxW, 0xFF000000u);
  systemFont_->DrawGlyph(g_scratch, marginX, marginY, codepoint);

  // Ink box: every pixel with coverage (the green channel of white-on-black).
  int minX = boxW, minY = boxH, maxX = -1, maxY = -1;
  for (int y = 0; y < boxH; ++y) {
    const RasterPixel* row = bits + static_cast<long>(y) * span;
    for (int x = 0; x < boxW; ++x) {
      if ((row[x] >> 8) & 0xFF) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
    }
  }
  if (maxX >= 0) {
    glyph.width = maxX - minX + 1;
    glyph.height = maxY - minY + 1;
    glyph.offsetX = minX - marginX;
    glyph.offsetY = minY - marginY;
    unsigned char* cov = glyphs_.ReserveCoverage(static_cast<std::size_t>(glyph.width) * glyph.height, glyph.storeOffset);
    if (!cov) return nullptr;
    for (int y = 0; y < glyph.height; ++y) {
      const RasterPixel* row = bits + static_cast<long>(minY + y) * span + minX;
      for (int x = 0; x < glyph.width; ++x) *cov++ = static_cast<unsigned char>((row[x] >> 8) & 0xFF);
    }
  }
  return glyphs_.Insert(codepoint, glyph);
}

}  // namespace selvarin
