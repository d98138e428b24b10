#include "graphics/image_cache.h"

#include <cstring>

#include "framework/bounded_copy.h"
#include "raster/raster_bitmap.h"
#include "raster/raster_font.h"
#include "raster/raster_resample.h"
#include "raster/raster_system_font.h"

namespace selvarin {

EditorImageCache& EditorImageCache::Instance() {
  static EditorImageCache cache;
  return cache;
}

EditorImageCache::~EditorImageCache() {
  for (Entry& e : entries_) {
    delete e.raster;
    delete e.large;
    for (Scaled& s : e.scaled) delete s.raster;
  }
  entries_.clear();
}

RasterBitmap* EditorImageCache::Find(int resourceId) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Entry& e : entries_)
    if (e.id == resourceId) return e.raster;
  return nullptr;
}

RasterBitmap* EditorImageCache::Insert(int resourceId, RasterBitmap* raster) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Entry& e : entries_) {
    if (e.id == resourceId) {
      delete raster;  // decoded twice by two editors at once: keep the first
      return e.raster;
    }
  }
  Entry e;
  e.id = resourceId;
  e.raster = raster;
  entries_.push_back(e);
  return raster;
}

RasterBitmap* EditorImageCache::ForScale(RasterBitmap* image, double scale,
                                         const std::function<RasterBitmap*(int)>& decode) {
  if (!image) return nullptr;
  // Decoding and resampling happen under the lock: rare (once per image and
  // scale), and two editors then never make the same raster twice.
  std::lock_guard<std::mutex> lock(mutex_);
  Entry* e = nullptr;
  for (Entry& c : entries_)
    if (c.raster == image) e = &c;
  if (!e) return nullptr;
  const int w = image->Width(), h = image->Height();
  if (!e->largeTried) {
    e->largeTried = true;
    RasterBitmap* large = decode ? decode(e->id + kLargeImageIdOffset) : nullptr;
    // A large version of another size would misplace every frame: unused.
    if (large && (large->Width() != 2 * w || large->Height() != 2 * h)) {
      delete large;
      large = nullptr;
    }
    e->large = large;
  }
  if (scale == 2.0 && e->large) return e->large;
  for (const Scaled& s : e->scaled)
    if (s.scale == scale) return s.raster;
  RasterBitmap* from = e->large ? e->large : image;
  RasterBitmap* made = RasterResample(from, RoundNearest(w * scale), RoundNearest(h * scale));
  if (made) e->scaled.push_back(Scaled{scale, made});
  return made;
}

std::size_t EditorImageCache::DecodedBytes(double scale) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto bytes = [](RasterBitmap* b) {
    return b ? static_cast<std::size_t>(b->RowSpan()) * static_cast<std::size_t>(b->Height()) * 4 : 0;
  };
  std::size_t n = 0;
  for (const Entry& e : entries_) {
    if (scale == 1.0) n += bytes(e.raster);
    else if (scale == 2.0 && e.large) n += bytes(e.large);
    else
      for (const Scaled& s : e.scaled)
        if (s.scale == scale) n += bytes(s.raster);
  }
  return n;
}

int EditorImageCache::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(entries_.size());
}

EditorFontCache& EditorFontCache::Instance() {
  static EditorFontCache cache;
  return cache;
}

EditorFontCache::~EditorFontCache() {
  for (Entry& e : entries_) delete e.font;
  entries_.clear();
}

RasterCachedFont* EditorFontCache::Find(const ITextStyle& s) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Entry& e : entries_) {
    if (e.size == s.size && e.orientation == s.orientation && e.style == s.style &&
        std::strncmp(e.face, s.face, sizeof(e.face)) == 0)
      return e.font;
  }
  RasterFontRequest req;
  req.face = s.face;
  req.cellHeight = s.size;
  req.weight = (s.style & 1) ? 700 : 400;
  req.italic = (s.style & 2) != 0;
  req.quality = s.quality;
  req.orientation = 10 * s.orientation;
  RasterSystemFont* sys = RasterCreateSystemFont(req);
  if (!sys) return nullptr;
  RasterCachedFont* font = new RasterCachedFont();
  font->SetFromSystemFont(sys, kRasterFontOwnsSystemFont);
  Entry e{s.size, s.orientation, s.style, {}, font};
  CopyBounded(e.face, s.face);
  entries_.push_back(e);
  return font;
}

}  // namespace selvarin
