#pragma once
// Two doubles side by side in one SSE2 register; every x86-64 processor has
// SSE2, so this needs no run-time check. The generic/ twin has the same
// operations on a plain array.
#include <emmintrin.h>

namespace selvarin::simd {

struct Pair {
  __m128d v;
};

inline Pair Load(const double* p) { return {_mm_loadu_pd(p)}; }
inline void Store(double* p, Pair a) { _mm_storeu_pd(p, a.v); }
inline void StoreLow(double* p, Pair a) { _mm_store_sd(p, a.v); }
inline Pair Splat(double x) { return {_mm_set1_pd(x)}; }
inline Pair Set(double low, double high) { return {_mm_set_pd(high, low)}; }
inline double Low(Pair a) { return _mm_cvtsd_f64(a.v); }
inline double High(Pair a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }
// Two floats, widened to double.
inline Pair LoadFloats(const float* p) {
  return {_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))))};
}

// Both lanes rounded to single precision, plus `add` in single precision,
// stored to p[0] and p[1].
inline void StoreFloatsPlus(float* p, Pair x, float add) {
  const __m128 f = _mm_add_ps(_mm_cvtpd_ps(x.v), _mm_set1_ps(add));
  _mm_storel_pi(reinterpret_cast<__m64*>(p), f);
}

inline Pair operator+(Pair a, Pair b) { return {_mm_add_pd(a.v, b.v)}; }
inline Pair operator-(Pair a, Pair b) { return {_mm_sub_pd(a.v, b.v)}; }
inline Pair operator*(Pair a, Pair b) { return {_mm_mul_pd(a.v, b.v)}; }

// a < b ? x : y, lane by lane.
inline Pair SelectLess(Pair a, Pair b, Pair x, Pair y) {
  const __m128d less = _mm_cmplt_pd(a.v, b.v);
  return {_mm_or_pd(_mm_and_pd(less, x.v), _mm_andnot_pd(less, y.v))};
}

// -x where a < b, else x, lane by lane.
inline Pair NegateWhereLess(Pair a, Pair b, Pair x) {
  const __m128d sign = _mm_and_pd(_mm_cmplt_pd(a.v, b.v), _mm_set1_pd(-0.0));
  return {_mm_xor_pd(x.v, sign)};
}

// Whether lo <= a < hi in both lanes (false for NaN).
inline bool BothWithin(Pair a, double lo, double hi) {
  const __m128d in = _mm_and_pd(_mm_cmpge_pd(a.v, _mm_set1_pd(lo)), _mm_cmplt_pd(a.v, _mm_set1_pd(hi)));
  return _mm_movemask_pd(in) == 3;
}

// Negates the lanes of `a` whose `rounded` holds an odd integer in the low
// bit of its mantissa (a value rounded by adding 1.5 x 2^52), and all lanes
// once more when `flipAll` is set.
inline Pair NegateWhereOdd(Pair a, Pair rounded, bool flipAll) {
  __m128i sign = _mm_slli_epi64(_mm_castpd_si128(rounded.v), 63);
  if (flipAll) sign = _mm_xor_si128(sign, _mm_set1_epi64x(static_cast<long long>(0x8000000000000000ull)));
  return {_mm_xor_pd(a.v, _mm_castsi128_pd(sign))};
}

}  // namespace selvarin::simd
