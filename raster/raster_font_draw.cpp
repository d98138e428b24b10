// Laying out and compositing text from cached glyph coverage.
#include <algorithm>

#include "raster/raster_blend.h"
#include "raster/raster_font.h"
#include "raster/raster_native_text.h"
#include "raster/raster_utf8.h"

namespace selvarin {

using namespace raster_detail;

namespace {

// The glyph path's per-pixel rule for coverage c of text colour t at opacity k.
struct TextPaint {
  RasterPixel colour;
  int k;
  int mode;
};

inline RasterPixel CompositeCoverage(RasterPixel d, int c, const TextPaint& paint) {
  const RasterPixel t = paint.colour;
  const int dA = Channel(d, 24);
  if ((paint.mode & kRasterCombineMask) != kRasterCopy) {
    const int w = std::min(256, (paint.k * c) >> 8);
    return CombinePixel(d, t | 0xFF000000u, w, paint.mode & kRasterCombineMask);
  }
  if (paint.k >= 256) {
    const int keep = 255 - c;
    const int b = Div256((Channel(d, 0) - Channel(t, 0)) * keep) + Channel(t, 0);
    const int g = Div256((Channel(d, 8) - Channel(t, 8)) * keep) + Channel(t, 8);
    const int r = Div256((Channel(d, 16) - Channel(t, 16)) * keep) + Channel(t, 16);
    const int a = 255 - Div256(keep * (255 - dA));
    return static_cast<RasterPixel>(b) | static_cast<RasterPixel>(g) << 8 | static_cast<RasterPixel>(r) << 16 |
           static_cast<RasterPixel>(a) << 24;
  }
  const int w = std::min(256, (paint.k * c) >> 8);
  const int keep = 256 - w;
  const int b = Channel(t, 0) + Div256((Channel(d, 0) - Channel(t, 0)) * keep);
  const int g = Channel(t, 8) + Div256((Channel(d, 8) - Channel(t, 8)) * keep);
  const int r = Channel(t, 16) + Div256((Channel(d, 16) - Channel(t, 16)) * keep);
  const int a = 255 - Div256(keep * (255 - dA));
  return static_cast<RasterPixel>(b) | static_cast<RasterPixel>(g) << 8 | static_cast<RasterPixel>(r) << 16 |
         static_cast<RasterPixel>(Clamp255(a)) << 24;
}

RasterRect Intersect(const RasterRect& a, const RasterRect& b) {
  return RasterRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

// Lines break at '\n'; '\r' takes no room.
struct TextExtent {
  int lines = 1;
  int maxWidth = 0;
};

TextExtent MeasureText(RasterCachedFont& font, RasterTextReader reader) {
  TextExtent extent;
  int lineWidth = 0;
  std::uint32_t cp = 0;
  while (reader.Next(cp)) {
    if (cp == '\n') {
      extent.maxWidth = std::max(extent.maxWidth, lineWidth);
      lineWidth = 0;
      ++extent.lines;
    } else if (cp != '\r') {
      lineWidth += font.Advance(cp);
    }
  }
  extent.maxWidth = std::max(extent.maxWidth, lineWidth);
  return extent;
}

// Width of the line that starts at the reader's position; *more tells whether
// a '\n' ends it, that is whether another line follows.
int LineWidth(RasterCachedFont& font, RasterTextReader reader, bool* more) {
  int width = 0;
  std::uint32_t cp = 0;
  while ((*more = reader.Next(cp)) && cp != '\n') {
    if (cp != '\r') width += font.Advance(cp);
  }
  return width;
}

}  // namespace

// Opaque text of fonts that allow it is drawn by the platform itself, and
// so is the text of fonts whose lines are taller than 255 pixels.
bool RasterCachedFont::UsesNativeText(int textFlags) const {
  if (lineHeight_ > 255) return true;
  constexpr int kEffectFlags = 0x1F7;
  return (flags_ & kRasterFontAllowNative) && !(flags_ & kEffectFlags) && !(textFlags & kRasterTextUseColourAlpha) &&
         RasterNativeTextAvailable();
}

bool RasterCachedFont::DrawGlyph(RasterBitmap* dest, std::uint32_t codepoint, int x, int y, const RasterRect& clip) {
  const RasterGlyph* g = Glyph(codepoint);
  if (!g) return false;
  if (g->width == 0 || !dest || !dest->Bits()) return true;
  const int gx = x + g->offsetX, gy = y + g->offsetY;
  const int x0 = std::max(gx, clip.left), x1 = std::min(gx + g->width, clip.right);
  const int y0 = std::max(gy, clip.top), y1 = std::min(gy + g->height, clip.bottom);
  if (x0 >= x1 || y0 >= y1) return true;
  const TextPaint paint{textColour_, drawK_, combineMode_};
  const int span = dest->RowSpan();
  for (int py = y0; py < y1; ++py) {
    RasterPixel* row = dest->Bits() + static_cast<long>(py) * span;
    const unsigned char* cov = glyphs_.Coverage(g->storeOffset) + static_cast<long>(py - gy) * g->width - gx;
    for (int px = x0; px < x1; ++px) {
      const int c = cov[px];
      if (c > 0) row[px] = CompositeCoverage(row[px], c, paint);
    }
  }
  return true;
}

int RasterCachedFont::DrawText(RasterBitmap* dest, const char* text, int length, RasterRect* rect, int flags) {
  if (!text || !rect || !systemFont_ || lineHeight_ <= 0) return 0;
  const bool measureOnly = (flags & kRasterTextMeasure) != 0;
  if (!measureOnly && (!dest || !dest->Bits())) return 0;

  float opacity = opacity_;
  if (flags & kRasterTextUseColourAlpha) opacity *= static_cast<float>(RasterAlpha(textColour_)) / 255.0f;
  const int k = RasterOpacityToK(opacity);
  if (!measureOnly && k == 0) return 0;

  if (!measureOnly && dest->DeviceContext() && UsesNativeText(flags)) {
    const int drawn = RasterDrawTextNative(dest, systemFont_, text, length, *rect, flags, textColour_);
    if (drawn > 0) return drawn;
  }

  RasterTextReader reader(text, length);
  const TextExtent extent = MeasureText(*this, reader);
  const int totalHeight = extent.lines * lineHeight_;
  if (measureOnly) {
    rect->right = rect->left + extent.maxWidth;
    rect->bottom = rect->top + totalHeight;
    return totalHeight;
  }

  int y = rect->top;
  if (flags & kRasterTextVCentre) {
    y = rect->top + (rect->bottom - rect->top - totalHeight) / 2;
  } else if (flags & kRasterTextBottom) {
    y = rect->bottom - totalHeight;
  }
  const RasterRect bounds{0, 0, dest->Width(), dest->Height()};
  const RasterRect clip = (flags & kRasterTextNoClip) ? bounds : Intersect(*rect, bounds);

  const int savedK = drawK_;
  drawK_ = k;
  RasterTextReader lineReader = reader;
  std::uint32_t cp = 0;
  bool more = true;
  while (more) {
    // Width of this line, then its glyphs.
    const int width = LineWidth(*this, lineReader, &more);
    int x = rect->left;
    if (flags & kRasterTextCentre) {
      x = rect->left + (rect->right - rect->left - width) / 2;
    } else if (flags & kRasterTextRight) {
      x = rect->right - width;
    }
    while (lineReader.Next(cp) && cp != '\n') {
      if (cp == '\r') continue;
      DrawGlyph(dest, cp, x, y, clip);
      x += Advance(cp);
    }
    y += lineHeight_;
  }
  drawK_ = savedK;
  return totalHeight;
}

}  // namespace selvarin
