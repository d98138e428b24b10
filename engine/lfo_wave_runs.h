#pragma once
// The sine-type LFO waves over a run of recorded phases (audio thread).
// An LFO moves slowly: within a run its sine arguments often stay within a
// small span of the first one, and then a short series around that anchor
// costs much less than a full sine per sample.
#include "engine/lfo_waveforms.h"

namespace selvarin {

// Widest span of sine arguments one anchor serves. The Taylor series of
// sin(a + d) = S cos d + C sin d to degree 7 in d then leaves less than
// 0.03^8 / 8! = 1.6e-17; rounding adds about 2e-16. Spans up to
// kLfoAnchorSpanShort (LFO periods above about 1.7 s at 48 kHz) need only
// degree 5: 0.005^6 / 6! = 2.2e-17.
constexpr double kLfoAnchorSpan = 0.03;
constexpr double kLfoAnchorSpanShort = 0.005;

// out[j] = f(in[j]) for the m values, two at a time (an odd last one alone).
template <class F>
SELVARIN_FORCE_INLINE void ForPairsRT(const double* in, double* out, int m, F f) {
  int j = 0;
  for (; j + 1 < m; j += 2) simd::Store(out + j, f(simd::Load(in + j)));
  if (j < m) out[j] = simd::Low(f(simd::Splat(in[j])));
}

// The values of sine-type wave Wave at the m phases in `phase`, recorded
// from an LFO that advanced by `increment` per sample (`value` may be
// `phase`). A run whose arguments rise by at most kLfoAnchorSpan without a
// wrap uses the series around its first argument; any other run takes the
// full sine per sample.
template <int Wave>
inline void LfoSinWaveValuesRT(const double* phase, double* value, int m, double increment) {
  using simd::Pair;
  using simd::Splat;
  if (m <= 0) return;
  const double first = simd::Low(LfoSinArgPairRT<Wave>(Splat(phase[0])));
  const double last = simd::Low(LfoSinArgPairRT<Wave>(Splat(phase[m - 1])));
  // Without a wrap the arguments only rise; a wrap inside the run would
  // leave the last one below the first, since the run spans far less than a
  // cycle. NaN fails every test and takes the full sine.
  const bool slow = increment >= 0.0 && increment * m <= kLfoAnchorSpan && last >= first;
  if (!slow) {
    ForPairsRT(phase, value, m, [](Pair phi) { return LfoWavePairRT<Wave>(phi); });
    return;
  }
  const Pair anchor = SinAndCosRT(first);
  const double s = simd::Low(anchor);
  const double c = simd::High(anchor);
  const Pair k0 = Splat(s), k1 = Splat(c), k2 = Splat(-s * 0.5), k3 = Splat(-c / 6.0), k4 = Splat(s / 24.0),
             k5 = Splat(c / 120.0), k6 = Splat(-s / 720.0), k7 = Splat(-c / 5040.0), a = Splat(first);
  if (increment * m <= kLfoAnchorSpanShort) {
    ForPairsRT(phase, value, m, [&](Pair phi) {
      const Pair d = LfoSinArgPairRT<Wave>(phi) - a;
      Pair p = k5 * d + k4;
      p = p * d + k3;
      p = p * d + k2;
      p = p * d + k1;
      p = p * d + k0;
      return LfoValueOfSinPairRT<Wave>(p);
    });
    return;
  }
  ForPairsRT(phase, value, m, [&](Pair phi) {
    const Pair d = LfoSinArgPairRT<Wave>(phi) - a;
    Pair p = k7 * d + k6;
    p = p * d + k5;
    p = p * d + k4;
    p = p * d + k3;
    p = p * d + k2;
    p = p * d + k1;
    p = p * d + k0;
    return LfoValueOfSinPairRT<Wave>(p);
  });
}

inline void LfoSinWaveValuesRT(int wave, const double* phase, double* value, int m, double increment) {
  switch (wave) {
    case kLfoSine: LfoSinWaveValuesRT<kLfoSine>(phase, value, m, increment); break;
    case kLfoSineHalf: LfoSinWaveValuesRT<kLfoSineHalf>(phase, value, m, increment); break;
    case kLfoHalfFlip: LfoSinWaveValuesRT<kLfoHalfFlip>(phase, value, m, increment); break;
    default: break;
  }
}

}  // namespace selvarin
