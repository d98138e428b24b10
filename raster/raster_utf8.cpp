#include "raster/raster_utf8.h"

#include <cstring>

namespace selvarin {

int RasterUtf8SequenceLength(const unsigned char* s, int available) {
  if (available < 1) return 0;
  const unsigned c = s[0];
  if (c < 0x80) return 1;
  int n = 0;
  std::uint32_t min = 0, cp = 0;
  if ((c & 0xE0) == 0xC0) { n = 2; min = 0x80; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { n = 3; min = 0x800; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { n = 4; min = 0x10000; cp = c & 0x07; }
  else return 0;
  if (available < n) return 0;
  for (int i = 1; i < n; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

RasterTextReader::RasterTextReader(const char* text, int length)
    : text_(reinterpret_cast<const unsigned char*>(text ? text : "")) {
  length_ = length < 0 ? static_cast<int>(std::strlen(reinterpret_cast<const char*>(text_))) : length;
  bool nonAscii = false, valid = true;
  for (int i = 0; i < length_ && valid;) {
    const int n = RasterUtf8SequenceLength(text_ + i, length_ - i);
    if (n == 0) valid = false;
    if (n > 1) nonAscii = true;
    i += n;
  }
  utf8_ = valid && nonAscii;
}

bool RasterTextReader::Next(std::uint32_t& codepoint) {
  if (pos_ >= length_) return false;
  const unsigned char* s = text_ + pos_;
  if (!utf8_ || s[0] < 0x80) {
    codepoint = s[0];
    ++pos_;
    return true;
  }
  const int n = RasterUtf8SequenceLength(s, length_ - pos_);
  std::uint32_t cp = n == 2 ? (s[0] & 0x1F) : n == 3 ? (s[0] & 0x0F) : (s[0] & 0x07);
  for (int i = 1; i < n; ++i) cp = (cp << 6) | (s[i] & 0x3F);
  codepoint = cp;
  pos_ += n;
  return true;
}

}  // namespace selvarin
