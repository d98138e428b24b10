// The drawing operations controls call: images, lines, rounded rectangles,
// fills and text, all into the draw surface. Callers give layout
// coordinates; each operation draws at the display scale (at 1, pixel for
// pixel as given).
#include <cmath>
#include <cstring>

#include "graphics/image_cache.h"
#include "graphics/igraphics.h"
#include "raster/raster_draw.h"
#include "raster/raster_font.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

namespace {
constexpr float kPi = 3.14159265358979323846f;
}

ITextStyle MakeTextStyle(const char* face, int size, IRgba colour, int align) {
  ITextStyle s;
  std::strncpy(s.face, face ? face : "", sizeof(s.face) - 1);
  s.face[sizeof(s.face) - 1] = '\0';
  s.size = size;
  s.colour = colour;
  s.align = align;
  return s;
}

int RasterModeOf(const IBlendMode* blend) {
  switch (blend ? blend->method : 0) {
    case 1: return kRasterCopy;
    case 2: return kRasterAdd | kRasterUseSourceAlpha;
    case 3: return kRasterColorDodge | kRasterUseSourceAlpha;
    default: return kRasterCopy | kRasterUseSourceAlpha;
  }
}

static float WeightOf(const IBlendMode* blend) { return blend ? blend->weight : 1.0f; }

bool IGraphics::BlitImage(const IImage& image, const IArea& dest, int srcX, int srcY, const IBlendMode* blend) {
  const IArea clipped = dest.Intersect(drawRect_);
  if (clipped.Empty()) return true;
  // Device pixels of dest map to the scaled image the same way however the
  // draw rectangle cuts it.
  const IArea d = ToDevice(clipped);
  RasterBlit(surface_.get(), ScaledRaster(image), d.L, d.T, ToDevice(srcX) + d.L - ToDevice(dest.L),
             ToDevice(srcY) + d.T - ToDevice(dest.T), d.W(), d.H(), WeightOf(blend), RasterModeOf(blend));
  return true;
}

bool IGraphics::BlitImageFrame(const IImage& image, const IArea& dest, int frame, const IBlendMode* blend,
                               bool framesVertical) {
  int offX = 0, offY = 0;
  if (image.N >= 2 && frame >= 2) {
    const double extent = framesVertical ? image.H : image.W;
    const int off = static_cast<int>(extent * (frame - 1) / image.N + 0.5);
    if (framesVertical) offY = off; else offX = off;
  }
  return BlitImage(image, dest, offX, offY, blend);
}

bool IGraphics::BlitRotatedImage(const IImage& image, int centreX, int centreY, double angle,
                                 const IBlendMode* blend, float srcX, float srcY) {
  const int x = static_cast<int>(static_cast<float>(centreX) - static_cast<float>(image.W / 2));
  const int y = static_cast<int>(static_cast<float>(centreY) - static_cast<float>(image.H / 2));
  const int w = ToDevice(image.W), h = ToDevice(image.H);
  const float s = static_cast<float>(scale_);
  RasterRotatedBlit(surface_.get(), ScaledRaster(image), ToDevice(x), ToDevice(y), w, h, srcX * s, srcY * s,
                    static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle), false, WeightOf(blend),
                    RasterModeOf(blend) | kRasterFilterBilinear);
  return true;
}

// Lines are a layout pixel wide: as many device pixels as the scale rounds to.
static int LineWidthAt(double scale) { return scale > 1.0 ? RoundNearest(scale) : 1; }

bool IGraphics::DrawLineSegment(const IRgba& colour, float x1, float y1, float x2, float y2,
                                const IBlendMode* blend, bool antialias) {
  const float sc = static_cast<float>(scale_);
  const int width = LineWidthAt(scale_);
  // Parallel strokes side by side across the line make it that wide.
  const float dx = (x2 - x1) * sc, dy = (y2 - y1) * sc;
  const float len = std::sqrt(dx * dx + dy * dy);
  const float nx = len > 0.0f ? -dy / len : 0.0f, ny = len > 0.0f ? dx / len : 1.0f;
  for (int k = 0; k < width; ++k) {
    const float o = static_cast<float>(k) - static_cast<float>(width - 1) * 0.5f;
    RasterLineF(surface_.get(), x1 * sc + nx * o, y1 * sc + ny * o, x2 * sc + nx * o, y2 * sc + ny * o,
                colour.Packed(), colour.AlphaFraction(), RasterModeOf(blend), antialias);
  }
  return true;
}

bool IGraphics::OutlineRoundedRect(const IRgba& colour, const IArea& layoutRect, int radius,
                                   const IBlendMode* blend, bool antialias) {
  RasterBitmap* s = surface_.get();
  const IArea rc = ToDevice(layoutRect);
  const int r0 = ToDevice(radius);
  const int R = rc.R - 1, B = rc.B - 1, L = rc.L, T = rc.T;
  const RasterPixel px = colour.Packed();
  const float a = colour.AlphaFraction();
  const int mode = RasterModeOf(blend);
  // A scaled outline is as many one-pixel outlines, each one pixel further
  // in with its corner arcs one pixel tighter.
  const int width = LineWidthAt(scale_);
  for (int k = 0; k < width && k <= r0; ++k) {
    const int r = r0 - k;
    const float rf = static_cast<float>(r);
    RasterLine(s, L + r0 + 1, T + k, R - r0 - 1, T + k, px, a, mode, antialias);
    RasterLine(s, R - k, T + r0 + 1, R - k, B - r0 - 1, px, a, mode, antialias);
    RasterLine(s, L + r0 + 1, B - k, R - r0 - 1, B - k, px, a, mode, antialias);
    RasterLine(s, L + k, T + r0 + 1, L + k, B - r0 - 1, px, a, mode, antialias);
    RasterArc(s, static_cast<float>(L + r0), static_cast<float>(T + r0), rf, -kPi / 2, 0.0f, px, a, mode, antialias);
    RasterArc(s, static_cast<float>(R - r0), static_cast<float>(T + r0), rf, 0.0f, kPi / 2, px, a, mode, antialias);
    RasterArc(s, static_cast<float>(R - r0), static_cast<float>(B - r0), rf, kPi / 2, kPi, px, a, mode, antialias);
    RasterArc(s, static_cast<float>(L + r0), static_cast<float>(B - r0), rf, kPi, 3 * kPi / 2, px, a, mode,
              antialias);
  }
  return true;
}

bool IGraphics::FillRoundedRect(const IRgba& colour, const IArea& layoutRect, int radius, int corners,
                                const IBlendMode* blend, bool antialias) {
  RasterBitmap* s = surface_.get();
  const IArea rc = ToDevice(layoutRect);
  const int r = ToDevice(radius);
  const int L = rc.L, T = rc.T, R = rc.R, B = rc.B;
  const RasterPixel px = colour.Packed();
  const float w = WeightOf(blend), a = colour.AlphaFraction();
  const int mode = RasterModeOf(blend);
  const float rf = static_cast<float>(r);
  auto sector = [&](int cx, int cy, float from, float to) {
    RasterFilledSector(s, static_cast<float>(cx), static_cast<float>(cy), rf, from, to, px, a, mode, antialias);
  };
  auto topSectors = [&] {
    sector(L + r, T + r, -kPi / 2, 0.0f);
    sector(R - r - 1, T + r, 0.0f, kPi / 2);
  };
  auto bottomSectors = [&] {
    sector(R - r - 1, B - r - 1, kPi / 2, kPi);
    sector(L + r, B - r - 1, kPi, 3 * kPi / 2);
  };
  switch (corners) {
    case 4:
      RasterFillRect(s, L, T + r + 1, R - L, B - T - 2 * r - 2, px, w, mode);
      RasterFillRect(s, L + r + 1, T, R - L - 2 * r - 2, r + 1, px, w, mode);
      RasterFillRect(s, L + r + 1, B - r - 1, R - L - 2 * r - 2, r + 1, px, w, mode);
      topSectors();
      bottomSectors();
      break;
    case 2:
      RasterFillRect(s, L, T + r + 1, R - L, B - T - r - 1, px, w, mode);
      RasterFillRect(s, L + r + 1, T, R - L - 2 * r - 2, r + 1, px, w, mode);
      topSectors();
      break;
    case -2:
      RasterFillRect(s, L, T, R - L, B - T - r - 1, px, w, mode);
      RasterFillRect(s, L + r + 1, B - r - 1, R - L - 2 * r - 2, r + 1, px, w, mode);
      bottomSectors();
      break;
    default:
      break;
  }
  return true;
}

bool IGraphics::FillArea(const IRgba& colour, const IArea& layoutRect, const IBlendMode* blend) {
  const IArea rc = ToDevice(layoutRect);
  RasterFillRect(surface_.get(), rc.L, rc.T, rc.W(), rc.H(), colour.Packed(), WeightOf(blend), RasterModeOf(blend));
  return true;
}

bool IGraphics::DrawStyledText(ITextStyle* style, const char* text, IArea layoutRect) {
  if (!text || !*text) return true;
  if (!style) return false;
  RasterFont* font = ScaledFont(style);
  if (!font) return false;
  const IArea rect = ToDevice(layoutRect);
  font->SetTextColor(style->colour.Packed());
  int flags = kRasterTextNoClip;
  if (style->colour.A != 255) flags |= kRasterTextUseColourAlpha;
  if (style->align == 1) flags |= kRasterTextCentre;
  else if (style->align != 0) flags |= kRasterTextRight;
  RasterRect r{rect.L, rect.T, rect.R, rect.B};
  font->DrawText(surface_.get(), text, -1, &r, flags);
  return true;
}

RasterFont* IGraphics::CacheFontFace(ITextStyle* style) {
  if (!style) return nullptr;
  style->cachedFont = EditorFontCache::Instance().Find(*style);
  return style->cachedFont;
}

// ---- images ----

IImage IGraphics::LoadImageResource(int resourceId, const char* name, int frames) {
  EditorImageCache& cache = EditorImageCache::Instance();
  RasterBitmap* raster = cache.Find(resourceId);
  if (!raster) {
    raster = LoadPlatformImage(resourceId, name);
    // A missing resource caches nothing; a later attempt may find it.
    if (raster) raster = cache.Insert(resourceId, raster);
  }
  IImage img;
  img.raster = raster;
  img.W = raster ? raster->Width() : 0;
  img.H = raster ? raster->Height() : 0;
  img.N = frames;
  img.framesHorizontal = false;
  return img;
}

IImage IGraphics::CachedImage(int resourceId) {
  IImage img;
  img.raster = EditorImageCache::Instance().Find(resourceId);
  img.W = img.raster ? img.raster->Width() : 0;
  img.H = img.raster ? img.raster->Height() : 0;
  img.N = 1;
  return img;
}


}  // namespace selvarin
