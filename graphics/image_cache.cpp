#include "graphics/image_cache.h"

#include <cstring>

#include "framework/bounded_copy.h"
#include "raster/raster_bitmap.h"
#include "raster/raster_font.h"
#include "raster/raster_system_font.h"

namespace selvarin {

EditorImageCache& EditorImageCache::Instance() {
  static EditorImageCache cache;
  return cache;
}

EditorImageCache::~EditorImageCache() {
  for (Entry& e : entries_) delete e.raster;
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
  entries_.push_back(Entry{resourceId, raster});
  return raster;
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
