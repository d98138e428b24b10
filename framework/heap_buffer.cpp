#include "framework/heap_buffer.h"

#include <cstdlib>

namespace selvarin {

HeapBuffer::~HeapBuffer() { std::free(data_); }

bool HeapBuffer::Resize(std::size_t n) {
  if (n > allocated_) {
    std::size_t grow = n / 2 > granularity_ ? n / 2 : granularity_;
    std::size_t want = n + grow;
    if (want < n) return false;  // overflow
    void* p = std::realloc(data_, want);
    if (!p) return false;
    data_ = static_cast<unsigned char*>(p);
    allocated_ = want;
  }
  used_ = n;
  return true;
}

void HeapBuffer::Clear() {
  std::free(data_);
  data_ = nullptr;
  allocated_ = used_ = 0;
}

}  // namespace selvarin
