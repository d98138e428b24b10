#pragma once
// The process-wide caches of decoded images and fonts, shared by every
// editor in the process. Each lookup and insertion holds the cache's own
// mutex; entries stay until the process (module) unloads.
#include <mutex>
#include <vector>

#include "graphics/igraphics_types.h"

namespace selvarin {

class RasterBitmap;
class RasterCachedFont;

class EditorImageCache {
 public:
  static EditorImageCache& Instance();
  // The raster cached under the id, or none.
  RasterBitmap* Find(int resourceId);
  // Adds the raster (taking ownership) unless another thread added the id
  // first; returns the cached raster for the id.
  RasterBitmap* Insert(int resourceId, RasterBitmap* raster);
  int Count();

 private:
  EditorImageCache() = default;
  ~EditorImageCache();
  struct Entry {
    int id;
    RasterBitmap* raster;
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
