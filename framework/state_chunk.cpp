#include "framework/state_chunk.h"

#include <climits>
#include <cstring>

namespace selvarin {

namespace {
// The chunk's byte order is little-endian whatever the machine's.
void ToLittleEndian(unsigned char* p, int size) {
  const uint16_t probe = 1;
  if (*reinterpret_cast<const unsigned char*>(&probe) == 1) return;
  for (int i = 0; i < size / 2; ++i) {
    unsigned char t = p[i];
    p[i] = p[size - 1 - i];
    p[size - 1 - i] = t;
  }
}
}  // namespace

bool StateChunk::PutBytes(const void* data, int size) {
  if (size < 0) return false;
  if (size == 0) return true;
  const std::size_t old = buf_.Size();
  if (old + static_cast<std::size_t>(size) > static_cast<std::size_t>(INT_MAX)) return false;
  if (!buf_.Resize(old + static_cast<std::size_t>(size))) return false;
  std::memcpy(buf_.Data() + old, data, static_cast<std::size_t>(size));
  return true;
}

bool StateChunk::PutInt32(int32_t v) {
  unsigned char b[4];
  std::memcpy(b, &v, 4);
  ToLittleEndian(b, 4);
  return PutBytes(b, 4);
}

bool StateChunk::PutDouble(double v) {
  unsigned char b[8];
  std::memcpy(b, &v, 8);
  ToLittleEndian(b, 8);
  return PutBytes(b, 8);
}

bool StateChunk::PutString(const char* s) {
  const std::size_t n = s ? std::strlen(s) : 0;
  if (n > static_cast<std::size_t>(INT_MAX)) return false;
  return PutInt32(static_cast<int32_t>(n)) && PutBytes(s, static_cast<int>(n));
}

int StateChunk::GetBytes(void* out, int size, int pos) const {
  if (pos < 0 || size < 0) return -1;
  if (static_cast<int64_t>(pos) + size > Size()) return -1;
  if (size > 0) std::memcpy(out, buf_.Data() + pos, static_cast<std::size_t>(size));
  return pos + size;
}

int StateChunk::GetInt32(int32_t* out, int pos) const {
  unsigned char b[4];
  pos = GetBytes(b, 4, pos);
  if (pos < 0) return -1;
  ToLittleEndian(b, 4);
  std::memcpy(out, b, 4);
  return pos;
}

int StateChunk::GetDouble(double* out, int pos) const {
  unsigned char b[8];
  pos = GetBytes(b, 8, pos);
  if (pos < 0) return -1;
  ToLittleEndian(b, 8);
  std::memcpy(out, b, 8);
  return pos;
}

bool StateChunk::Resize(int n) {
  if (n < 0) return false;
  const std::size_t old = buf_.Size();
  if (!buf_.Resize(static_cast<std::size_t>(n))) return false;
  if (static_cast<std::size_t>(n) > old) std::memset(buf_.Data() + old, 0, static_cast<std::size_t>(n) - old);
  return true;
}

}  // namespace selvarin
