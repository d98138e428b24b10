#pragma once
// Code points as the UTF-16 units the wide Windows text calls take.
#include <cstdint>

namespace selvarin {

// Writes one or two units; returns how many. Code points beyond Unicode
// become the replacement character.
inline int RasterCodepointToUtf16(std::uint32_t codepoint, wchar_t out[2]) {
  if (codepoint >= 0x10000 && codepoint <= 0x10FFFF) {
    const std::uint32_t v = codepoint - 0x10000;
    out[0] = static_cast<wchar_t>(0xD800 + (v >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
    return 2;
  }
  out[0] = static_cast<wchar_t>(codepoint <= 0xFFFF ? codepoint : 0xFFFD);
  return 1;
}

}  // namespace selvarin
