#include "raster/raster_embedded.h"

namespace selvarin {

namespace {
// Constant-initialised, so tables registering during static initialisation
// of other files always find it ready.
RasterEmbeddedTable* g_firstTable = nullptr;
}  // namespace

RasterEmbeddedTable::RasterEmbeddedTable(const RasterEmbeddedImage* images, std::size_t count)
    : images_(images), count_(count), next_(g_firstTable) {
  g_firstTable = this;
}

bool RasterFindEmbeddedImage(int id, const unsigned char** data, std::size_t* size) {
  for (const RasterEmbeddedTable* t = g_firstTable; t; t = t->next_) {
    for (std::size_t i = 0; i < t->count_; ++i) {
      if (t->images_[i].id == id) {
        if (data) *data = t->images_[i].data;
        if (size) *size = t->images_[i].size;
        return true;
      }
    }
  }
  return false;
}

}  // namespace selvarin
