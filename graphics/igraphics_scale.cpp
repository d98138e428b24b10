// The display scale: the factor between the layout's pixels and the device
// pixels of the draw surface, the mapping between the two, and the images
// and fonts that draw at the scaled size.
#include <algorithm>
#include <cmath>

#include "graphics/image_cache.h"
#include "graphics/igraphics.h"
#include "raster/raster_font.h"
#include "raster/raster_resample.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

bool IGraphics::SetScale(double factor) {
  if (!(factor > 0.0)) return false;  // NaN too
  const double s = std::min(4.0, std::max(1.0, factor));
  if (s == scale_) return true;
  scale_ = s;
  scaledImages_.clear();
  ownScaled_.clear();
  if (surface_) surface_->Resize(ScaledWidth(), ScaledHeight());
  OnScaleChanged();
  MarkBackgroundDirty();
  return true;
}

int IGraphics::ToLayout(int d) const {
  if (scale_ == 1.0) return d;
  // The layout pixel v whose device area [ToDevice(v), ToDevice(v + 1)) holds d.
  int v = static_cast<int>(std::floor((d + 0.5) / scale_));
  while (ToDevice(v) > d) --v;
  while (ToDevice(v + 1) <= d) ++v;
  return v;
}

IArea IGraphics::LayoutCovering(const IArea& d) const {
  if (scale_ == 1.0 || d.Empty()) return d;
  return IArea{ToLayout(d.L), ToLayout(d.T), ToLayout(d.R - 1) + 1, ToLayout(d.B - 1) + 1};
}

RasterBitmap* IGraphics::ScaledRaster(const IImage& image) {
  if (scale_ == 1.0 || !image.raster) return image.raster;
  for (const ScaledImage& s : scaledImages_)
    if (s.image == image.raster) return s.scaled;
  RasterBitmap* scaled = EditorImageCache::Instance().ForScale(
      image.raster, scale_, [this](int id) { return LoadPlatformImage(id, ""); });
  if (!scaled) {
    // An image that never went through the cache: this editor keeps its own.
    std::unique_ptr<RasterBitmap> own(
        RasterResample(image.raster, ToDevice(image.raster->Width()), ToDevice(image.raster->Height())));
    scaled = own.get();
    if (own) ownScaled_.push_back(std::move(own));
  }
  scaledImages_.push_back(ScaledImage{image.raster, scaled});
  return scaled;
}

RasterFont* IGraphics::ScaledFont(ITextStyle* style) {
  if (scale_ == 1.0) return style->cachedFont ? style->cachedFont : CacheFontFace(style);
  // Text is set at its size times the scale, not enlarged: a font of its own.
  ITextStyle scaled = *style;
  scaled.size = ToDevice(style->size);
  scaled.cachedFont = nullptr;
  return EditorFontCache::Instance().Find(scaled);
}

}  // namespace selvarin
