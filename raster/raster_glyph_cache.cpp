#include "raster/raster_glyph_cache.h"

#include <cstdlib>
#include <cstring>

namespace selvarin {

RasterGlyphCache::~RasterGlyphCache() {
  std::free(others_);
  std::free(store_);
}

void RasterGlyphCache::Clear() {
  for (RasterGlyph& g : ascii_) g = RasterGlyph{};
  otherCount_ = 0;
  storeUsed_ = 0;
}

std::size_t RasterGlyphCache::LowerBound(std::uint32_t codepoint) const {
  std::size_t lo = 0, hi = otherCount_;
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (others_[mid].codepoint < codepoint) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

const RasterGlyph* RasterGlyphCache::Find(std::uint32_t codepoint) const {
  if (codepoint < 128) return ascii_[codepoint].ready ? &ascii_[codepoint] : nullptr;
  const std::size_t lo = LowerBound(codepoint);
  return lo < otherCount_ && others_[lo].codepoint == codepoint ? &others_[lo].glyph : nullptr;
}

const RasterGlyph* RasterGlyphCache::Insert(std::uint32_t codepoint, const RasterGlyph& glyph) {
  if (codepoint < 128) {
    ascii_[codepoint] = glyph;
    ascii_[codepoint].ready = true;
    return &ascii_[codepoint];
  }
  const std::size_t lo = LowerBound(codepoint);
  if (lo < otherCount_ && others_[lo].codepoint == codepoint) {
    others_[lo].glyph = glyph;
    others_[lo].glyph.ready = true;
    return &others_[lo].glyph;
  }
  if (otherCount_ == otherCapacity_) {
    const std::size_t capacity = otherCapacity_ ? otherCapacity_ * 2 : 32;
    Entry* grown = static_cast<Entry*>(std::realloc(others_, capacity * sizeof(Entry)));
    if (!grown) return nullptr;
    others_ = grown;
    otherCapacity_ = capacity;
  }
  std::memmove(others_ + lo + 1, others_ + lo, (otherCount_ - lo) * sizeof(Entry));
  others_[lo].codepoint = codepoint;
  others_[lo].glyph = glyph;
  others_[lo].glyph.ready = true;
  ++otherCount_;
  return &others_[lo].glyph;
}

unsigned char* RasterGlyphCache::ReserveCoverage(std::size_t bytes, std::size_t& offset) {
  if (storeUsed_ + bytes > storeSize_) {
    const std::size_t size = (storeUsed_ + bytes + kStoreStep - 1) / kStoreStep * kStoreStep;
    unsigned char* grown = static_cast<unsigned char*>(std::realloc(store_, size));
    if (!grown) return nullptr;
    store_ = grown;
    storeSize_ = size;
  }
  offset = storeUsed_;
  storeUsed_ += bytes;
  return store_ + offset;
}

}  // namespace selvarin
