#pragma once
// Coverage masks of one font's characters, each rendered once: codes 0 to
// 127 by direct index, all others in a list sorted by code point. Masks live
// in one store that grows in 64 KiB steps.
#include <cstddef>
#include <cstdint>

namespace selvarin {

struct RasterGlyph {
  int advance = 0;
  int offsetX = 0;  // ink box relative to the pen position at the cell's top
  int offsetY = 0;
  int width = 0;
  int height = 0;
  std::size_t storeOffset = 0;
  bool ready = false;
};

class RasterGlyphCache {
 public:
  RasterGlyphCache() = default;
  ~RasterGlyphCache();
  RasterGlyphCache(const RasterGlyphCache&) = delete;
  RasterGlyphCache& operator=(const RasterGlyphCache&) = delete;

  void Clear();
  // The glyph of the code point, or none when it has not been rendered.
  const RasterGlyph* Find(std::uint32_t codepoint) const;
  // Keeps a rendered glyph (its mask already copied with StoreCoverage);
  // returns the kept record, or none when memory ran out.
  const RasterGlyph* Insert(std::uint32_t codepoint, const RasterGlyph& glyph);
  // Reserves bytes in the coverage store; none when memory ran out.
  unsigned char* ReserveCoverage(std::size_t bytes, std::size_t& offset);
  const unsigned char* Coverage(std::size_t offset) const { return store_ + offset; }

 private:
  struct Entry {
    std::uint32_t codepoint;
    RasterGlyph glyph;
  };
  static constexpr std::size_t kStoreStep = 65536;

  // Index of the first listed entry whose code point is not below codepoint.
  std::size_t LowerBound(std::uint32_t codepoint) const;

  RasterGlyph ascii_[128];
  Entry* others_ = nullptr;
  std::size_t otherCount_ = 0;
  std::size_t otherCapacity_ = 0;
  unsigned char* store_ = nullptr;
  std::size_t storeUsed_ = 0;
  std::size_t storeSize_ = 0;
};

}  // namespace selvarin
