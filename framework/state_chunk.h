#pragma once
#include <cstddef>
#include <cstdint>

#include "framework/heap_buffer.h"

namespace selvarin {

// Growable byte buffer of little-endian values. Put* append and report
// whether the buffer could grow; Get* take a byte position and return the
// position after what they read, or -1 when the data ran out (or pos < 0).
class StateChunk {
 public:
  StateChunk() : buf_(4096) {}

  bool PutBytes(const void* data, int size);
  bool PutInt32(int32_t v);
  bool PutDouble(double v);
  bool PutString(const char* s);  // 32-bit length, then the bytes, no terminator

  int GetBytes(void* out, int size, int pos) const;
  int GetInt32(int32_t* out, int pos) const;
  int GetDouble(double* out, int pos) const;

  // Sets the size to n bytes (new bytes are zero). False when it cannot grow.
  bool Resize(int n);
  void Clear() { buf_.Resize(0); }
  int Size() const { return static_cast<int>(buf_.Size()); }
  const unsigned char* Data() const { return buf_.Data(); }
  unsigned char* Data() { return buf_.Data(); }

 private:
  HeapBuffer buf_;
};

}  // namespace selvarin
