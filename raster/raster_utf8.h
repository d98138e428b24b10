#pragma once
// Reading 8-bit text: valid UTF-8 with non-ASCII bytes is read as Unicode,
// anything else byte by byte (Latin-1).
#include <cstdint>

namespace selvarin {

class RasterTextReader {
 public:
  RasterTextReader(const char* text, int length);
  // Next code point; false at the end.
  bool Next(std::uint32_t& codepoint);
  void Rewind() { pos_ = 0; }
  bool IsUtf8() const { return utf8_; }

 private:
  const unsigned char* text_;
  int length_;
  int pos_ = 0;
  bool utf8_ = false;
};

// Length of the valid UTF-8 sequence at s (1 to 4), 0 when invalid.
int RasterUtf8SequenceLength(const unsigned char* s, int available);

}  // namespace selvarin
