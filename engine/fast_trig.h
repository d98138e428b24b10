#pragma once
// Sine and cosine without branches, two lanes at a time, for the waveforms
// of the render loop (audio thread safe). The C library's sin and cos stay
// the reference (LibmTrig); FastTrig agrees with them within 2.3e-16 for
// |x| up to 2^20 (the engine's phases and waveform arguments stay below 13).
#include <cmath>

#include "engine/compiler_hints.h"
#include "simd_pair.h"  // SSE2 or generic, chosen by the build


namespace selvarin {

namespace trig_detail {
// pi in three parts: kPiHi has 32 significant bits, so m x kPiHi is exact
// for the half-integers m of the reduction; kPiHi + kPiMid is the double
// nearest pi and kPiLo the rest.
constexpr double kPiHi = 0x1.921fb544p+1;
constexpr double kPiMid = 0x1.0b46p-33;
constexpr double kPiLo = 0x1.1a62633145c07p-53;
constexpr double kInvPi = 0x1.45f306dc9c883p-2;
// Adding 1.5 x 2^52 rounds to an integer kept in the low mantissa bits.
constexpr double kRoundMagic = 6755399441055744.0;
// sin r = r + r^3 (c3 + c5 r^2 + ... + c17 r^14) on |r| <= pi/2: Taylor
// series economised with Chebyshev polynomials, error below 2e-19.
constexpr double kC3 = -0.16666666666666663;
constexpr double kC5 = 0.008333333333332993;
constexpr double kC7 = -0.00019841269841159366;
constexpr double kC9 = 2.7557319204569073e-06;
constexpr double kC11 = -2.505210638019331e-08;
constexpr double kC13 = 1.6058918604693812e-10;
constexpr double kC15 = -7.642510757405212e-13;
constexpr double kC17 = 2.716656541109749e-15;

// sin r for |r| up to pi/2 (and the hair more that rounding of the
// reduction leaves).
SELVARIN_FORCE_INLINE simd::Pair SinReducedRT(simd::Pair r) {
  using simd::Splat;
  const simd::Pair r2 = r * r;
  simd::Pair p = Splat(kC17);
  p = p * r2 + Splat(kC15);
  p = p * r2 + Splat(kC13);
  p = p * r2 + Splat(kC11);
  p = p * r2 + Splat(kC9);
  p = p * r2 + Splat(kC7);
  p = p * r2 + Splat(kC5);
  p = p * r2 + Splat(kC3);
  return r + r * (r2 * p);
}

// r = x - m pi, in three steps so that it stays exact to the last bits.
SELVARIN_FORCE_INLINE simd::Pair ReduceRT(simd::Pair x, simd::Pair m) {
  using simd::Splat;
  const simd::Pair r = (x - m * Splat(kPiHi)) - m * Splat(kPiMid);
  return r - m * Splat(kPiLo);
}
}  // namespace trig_detail

// sin x (Cosine false) or cos x in both lanes. x = m pi + r with |r| at
// most pi/2: m = k for the sine and k + 1/2 for the cosine (cos x =
// sin(x + pi/2)), and the result is sin r with the sign of (-1)^k, flipped
// once more for the cosine.
template <bool Cosine>
SELVARIN_FORCE_INLINE simd::Pair SinCosPairRT(simd::Pair x) {
  using namespace trig_detail;
  using simd::Splat;
  simd::Pair q = x * Splat(kInvPi);
  if constexpr (Cosine) q = q - Splat(0.5);
  const simd::Pair rounded = q + Splat(kRoundMagic);
  simd::Pair m = rounded - Splat(kRoundMagic);
  if constexpr (Cosine) m = m + Splat(0.5);
  return simd::NegateWhereOdd(SinReducedRT(ReduceRT(x, m)), rounded, Cosine);
}

SELVARIN_FORCE_INLINE simd::Pair SinPairRT(simd::Pair x) { return SinCosPairRT<false>(x); }
SELVARIN_FORCE_INLINE simd::Pair CosPairRT(simd::Pair x) { return SinCosPairRT<true>(x); }

// sin x in the low lane and cos x in the high lane, each exactly as
// SinPairRT and CosPairRT give them.
inline simd::Pair SinAndCosRT(double x) {
  using namespace trig_detail;
  using simd::Splat;
  const simd::Pair offset = simd::Set(0.0, 0.5);
  const simd::Pair xx = Splat(x);
  const simd::Pair rounded = (xx * Splat(kInvPi) - offset) + Splat(kRoundMagic);
  const simd::Pair m = (rounded - Splat(kRoundMagic)) + offset;
  return simd::NegateWhereOdd(SinReducedRT(ReduceRT(xx, m)), rounded, false) * simd::Set(1.0, -1.0);
}

// The waveforms take their sine and cosine from one of these.
struct LibmTrig {
  static double Sin(double x) { return std::sin(x); }
  static double Cos(double x) { return std::cos(x); }
};

struct FastTrig {
  static double Sin(double x) { return simd::Low(SinPairRT(simd::Splat(x))); }
  static double Cos(double x) { return simd::Low(CosPairRT(simd::Splat(x))); }
};

}  // namespace selvarin
