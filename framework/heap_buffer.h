#pragma once
#include <cstddef>

namespace selvarin {

// Growable heap block behind the framework's byte lists. Grows to
// n + max(n / 2, granularity) bytes when more is needed and keeps its old
// block when memory cannot be had; never throws.
class HeapBuffer {
 public:
  explicit HeapBuffer(std::size_t granularity = 4096) : granularity_(granularity) {}
  ~HeapBuffer();
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  // Sets the used size to n bytes, growing the block when needed. Returns
  // false (and changes nothing) when the block cannot grow.
  bool Resize(std::size_t n);
  // Releases the block.
  void Clear();

  unsigned char* Data() { return data_; }
  const unsigned char* Data() const { return data_; }
  std::size_t Size() const { return used_; }
  std::size_t Capacity() const { return allocated_; }

 private:
  unsigned char* data_ = nullptr;
  std::size_t allocated_ = 0;
  std::size_t used_ = 0;
  std::size_t granularity_;
};

}  // namespace selvarin
