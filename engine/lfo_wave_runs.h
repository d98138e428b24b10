#pragma once
// The sine-type LFO waves over a run of samples (audio thread). An LFO
// moves slowly: within a run its sine arguments often stay within a small
// span of the first one, and then a short series around that anchor, or a
// table of the multiples of its exact step, costs much less than a full
// sine per sample.
#include <cstdint>
#include <cstring>

#include "engine/lfo_step_table.h"
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

// The values of sine-type wave Wave at m phases of an LFO that advanced by
// `increment` per sample, from `phases` (first, last and pairs in order;
// the m values go to `value`, two at a time, an odd last one alone). A run
// whose arguments rise by at most kLfoAnchorSpan without a wrap uses the
// series around its first argument; any other run takes the full sine per
// sample.
template <int Wave, class Phases>
SELVARIN_FORCE_INLINE void LfoSinWaveValuesOfRT(Phases phases, double* value, int m, double increment) {
  using simd::Pair;
  using simd::Splat;
  if (m <= 0) return;
  const double first = simd::Low(LfoSinArgPairRT<Wave>(Splat(phases.First())));
  const double last = simd::Low(LfoSinArgPairRT<Wave>(Splat(phases.Last())));
  const auto forPairs = [&](auto f) {
    int j = 0;
    for (; j + 1 < m; j += 2) simd::Store(value + j, f(phases.Next()));
    if (j < m) value[j] = simd::Low(f(phases.Next()));
  };
  // Without a wrap the arguments only rise; a wrap inside the run would
  // leave the last one below the first, since the run spans far less than a
  // cycle. NaN fails every test and takes the full sine.
  const bool slow = increment >= 0.0 && increment * m <= kLfoAnchorSpan && last >= first;
  if (!slow) {
    forPairs([](Pair phi) { return LfoWavePairRT<Wave>(phi); });
    return;
  }
  const Pair anchor = SinAndCosRT(first);
  const double s = simd::Low(anchor);
  const double c = simd::High(anchor);
  const Pair k0 = Splat(s), k1 = Splat(c), k2 = Splat(-s * 0.5), k3 = Splat(-c / 6.0), k4 = Splat(s / 24.0),
             k5 = Splat(c / 120.0), k6 = Splat(-s / 720.0), k7 = Splat(-c / 5040.0), a = Splat(first);
  if (increment * m <= kLfoAnchorSpanShort) {
    forPairs([&](Pair phi) {
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
  forPairs([&](Pair phi) {
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

// Recorded phases (`value` may be `phase`).
struct RecordedLfoPhases {
  const double* phase;
  int m;
  int j = 0;
  double First() const { return phase[0]; }
  double Last() const { return phase[m - 1]; }
  SELVARIN_FORCE_INLINE simd::Pair Next() {
    const simd::Pair p = j + 1 < m ? simd::Load(phase + j) : simd::Splat(phase[j]);
    j += 2;
    return p;
  }
};

template <int Wave>
inline void LfoSinWaveValuesRT(const double* phase, double* value, int m, double increment) {
  LfoSinWaveValuesOfRT<Wave>(RecordedLfoPhases{phase, m}, value, m, increment);
}

// An LFO's phase over a stretch of samples without a wrap, by a step that
// needs no sample before it. Within one binade [2^e, 2^(e+1)) every double
// is a multiple of u = 2^(e-52), so phi + increment rounds to phi + r with
// the same r for every phi there (r: the increment rounded to a multiple of
// u), unless the increment lies exactly halfway between two multiples.
// Then the phases the sequential advance gives are exactly phi0 + j r.
// Returns r when that holds for the next n advances from `phase` (they stay
// below 2 pi and within the binade of `phase`); otherwise a negative value.
inline double LfoLinearStepRT(double phase, double increment, int n) {
  if (!(increment >= 0.0) || !(phase > 0.0) || !(phase < kTwoPi) || n <= 0) return -1.0;
  const double r = (phase + increment) - phase;
  const double last = phase + static_cast<double>(n) * r;
  uint64_t bits, lastBits;
  std::memcpy(&bits, &phase, sizeof bits);
  std::memcpy(&lastBits, &last, sizeof lastBits);
  const uint64_t exponent = bits & 0x7FF0000000000000ull;
  if (exponent == 0 || (lastBits & 0x7FF0000000000000ull) != exponent || !(last < kTwoPi)) return -1.0;
  double binade;
  std::memcpy(&binade, &exponent, sizeof binade);
  if (std::fabs(increment - r) == binade * 0x1p-53) return -1.0;  // halfway: rounds by the parity of phi
  return r;
}

// The m phases from `phase` by a step from LfoLinearStepRT, two at a time
// (each sum is exact).
struct LinearLfoPhases {
  double phase;
  double step;
  int m;
  simd::Pair next = simd::Set(phase, phase + step);
  simd::Pair twoSteps = simd::Splat(step + step);
  double First() const { return phase; }
  double Last() const { return phase + static_cast<double>(m - 1) * step; }
  SELVARIN_FORCE_INLINE simd::Pair Next() {
    const simd::Pair p = next;
    next = next + twoSteps;
    return p;
  }
};

// The values of sine-type wave `wave` over the next m samples of an LFO at
// `phase` whose phases grow by `step` (from LfoLinearStepRT); `phase` moves
// on to the phase after them.
template <int Wave>
inline void LfoSinLinearValuesRT(double& phase, double step, double* value, int m, double increment) {
  LfoSinWaveValuesOfRT<Wave>(LinearLfoPhases{phase, step, m}, value, m, increment);
  phase += static_cast<double>(m) * step;
}

// Makes `table` hold cos(j step) - 1 (as -2 sin^2(j step / 2), which keeps
// its relative precision) and sin(j step) for every j (each j step is
// exact: step is a multiple of a power of two, j small).
inline void BuildLfoStepTableRT(double step, LfoStepTable& table) {
  if (table.step == step) return;
  for (int j = 0; j < kLfoStepTableLength; j += 2) {
    const simd::Pair x = simd::Set(j * step, (j + 1) * step);
    const simd::Pair half = SinPairRT(x * simd::Splat(0.5));
    simd::Store(table.cosineMinusOne + j, simd::Splat(-2.0) * (half * half));
    simd::Store(table.sine + j, SinPairRT(x));
  }
  table.step = step;
}

// The same values for "Sine" and "Sine Half", whose sine arguments then
// grow by exactly step (or step / 2) per sample, from cosines and sines of
// the multiples of that: sin(a + j d) = sin a + (sin a (cos(j d) - 1) +
// cos a sin(j d)), as close to the sine as the series. m is at most
// kLfoStepTableLength.
template <int Wave>
inline void LfoSinTableValuesRT(double& phase, double step, LfoStepTable& table, double* value, int m) {
  static_assert(Wave == kLfoSine || Wave == kLfoSineHalf, "arguments that grow by an exact step");
  using simd::Pair;
  const double argStep = Wave == kLfoSine ? step : step * 0.5;
  BuildLfoStepTableRT(argStep, table);
  const Pair anchor = SinAndCosRT(simd::Low(LfoSinArgPairRT<Wave>(simd::Splat(phase))));
  const Pair s = simd::Splat(simd::Low(anchor)), c = simd::Splat(simd::High(anchor));
  int j = 0;
  for (; j + 1 < m; j += 2)
    simd::Store(value + j, LfoValueOfSinPairRT<Wave>(
                               s + (s * simd::Load(table.cosineMinusOne + j) + c * simd::Load(table.sine + j))));
  if (j < m) {
    const Pair w = s + (s * simd::Splat(table.cosineMinusOne[j]) + c * simd::Splat(table.sine[j]));
    value[j] = simd::Low(LfoValueOfSinPairRT<Wave>(w));
  }
  phase += static_cast<double>(m) * step;
}

// The values of an LFO whose phases grow by `step` (from LfoLinearStepRT)
// over the next m samples, m at most kLfoStepTableLength; `phase` moves on.
inline void LfoSinLinearValuesRT(int wave, double& phase, double step, LfoStepTable& table, double* value, int m,
                                 double increment) {
  switch (wave) {
    case kLfoSine: LfoSinTableValuesRT<kLfoSine>(phase, step, table, value, m); break;
    case kLfoSineHalf: LfoSinTableValuesRT<kLfoSineHalf>(phase, step, table, value, m); break;
    // Its argument, half the phase plus pi, is rounded: the series follows it.
    case kLfoHalfFlip: LfoSinLinearValuesRT<kLfoHalfFlip>(phase, step, value, m, increment); break;
    default: break;
  }
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
