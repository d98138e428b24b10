#pragma once
#include <cstddef>

namespace selvarin {

// Copies src into a fixed-size field of `capacity` bytes: at most capacity - 1
// characters, always NUL-terminated. A null src gives the empty string.
inline void CopyBounded(char* dst, std::size_t capacity, const char* src) {
  if (!dst || capacity == 0) return;
  std::size_t i = 0;
  if (src) {
    for (; i + 1 < capacity && src[i] != '\0'; ++i) dst[i] = src[i];
  }
  dst[i] = '\0';
}

template <std::size_t N>
inline void CopyBounded(char (&dst)[N], const char* src) {
  CopyBounded(dst, N, src);
}

}  // namespace selvarin
