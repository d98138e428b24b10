#pragma once
// Two doubles side by side, as a plain array: the same operations as the
// SSE2 pair, for processors without it. Each lane rounds exactly as the
// SSE2 lanes do.
#include <cstdint>
#include <cstring>

namespace selvarin::simd {

struct Pair {
  double v[2];
};

inline Pair Load(const double* p) { return {{p[0], p[1]}}; }
inline void Store(double* p, Pair a) {
  p[0] = a.v[0];
  p[1] = a.v[1];
}
inline void StoreLow(double* p, Pair a) { p[0] = a.v[0]; }
inline Pair Splat(double x) { return {{x, x}}; }
inline Pair Set(double low, double high) { return {{low, high}}; }
inline double Low(Pair a) { return a.v[0]; }
inline double High(Pair a) { return a.v[1]; }
inline Pair LoadFloats(const float* p) { return {{p[0], p[1]}}; }

// Both lanes rounded to single precision, plus `add` in single precision,
// stored to p[0] and p[1].
inline void StoreFloatsPlus(float* p, Pair x, float add) {
  p[0] = static_cast<float>(x.v[0]) + add;
  p[1] = static_cast<float>(x.v[1]) + add;
}

inline Pair operator+(Pair a, Pair b) { return {{a.v[0] + b.v[0], a.v[1] + b.v[1]}}; }
inline Pair operator-(Pair a, Pair b) { return {{a.v[0] - b.v[0], a.v[1] - b.v[1]}}; }
inline Pair operator*(Pair a, Pair b) { return {{a.v[0] * b.v[0], a.v[1] * b.v[1]}}; }

inline Pair SelectLess(Pair a, Pair b, Pair x, Pair y) {
  return {{a.v[0] < b.v[0] ? x.v[0] : y.v[0], a.v[1] < b.v[1] ? x.v[1] : y.v[1]}};
}

// -x where a < b, else x, lane by lane.
inline Pair NegateWhereLess(Pair a, Pair b, Pair x) {
  return {{a.v[0] < b.v[0] ? -x.v[0] : x.v[0], a.v[1] < b.v[1] ? -x.v[1] : x.v[1]}};
}

// Whether lo <= a < hi in both lanes (false for NaN).
inline bool BothWithin(Pair a, double lo, double hi) {
  return a.v[0] >= lo && a.v[0] < hi && a.v[1] >= lo && a.v[1] < hi;
}

inline Pair NegateWhereOdd(Pair a, Pair rounded, bool flipAll) {
  Pair out;
  for (int i = 0; i < 2; ++i) {
    uint64_t bits, value;
    std::memcpy(&bits, &rounded.v[i], sizeof bits);
    std::memcpy(&value, &a.v[i], sizeof value);
    value ^= (bits << 63) ^ (flipAll ? 0x8000000000000000ull : 0u);
    std::memcpy(&out.v[i], &value, sizeof value);
  }
  return out;
}

}  // namespace selvarin::simd
