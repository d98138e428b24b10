#pragma once
// The eight tone waveforms as functions of phase (radians, [0, 2 pi)). The
// golden shapes change segment at `split` instead of at pi. All evaluation is
// audio thread safe.
#include <cmath>

#include "engine/engine_math.h"
#include "engine/fast_trig.h"
#include "engine/param_ids.h"

namespace selvarin {

// Segment coefficients of the golden shapes and the phase where they change.
struct GoldenShape {
  double split = 0.0;
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
};

// Recomputes the coefficients for "Wave" entry `wave` from the golden fraction
// g. Entries other than 4, 5 and 6 leave `shape` unchanged.
void SetGoldenCoefficients(int wave, float g, GoldenShape* shape);

// The argument of cos ("Golden Sine") or sin ("Sine Half") at phase phi:
// the first segment's while phi is below the split, else the second's.
inline double GoldenArgument(double phi, const GoldenShape& g) { return phi < g.split ? phi * g.a : phi * g.b + g.c; }

// One waveform, chosen at compile time so the render loop has no dispatch.
// Trig supplies sin and cos: the C library's (the reference) or FastTrig.
template <int Wave, class Trig = LibmTrig>
inline double ToneWaveRT(double phi, const GoldenShape& g) {
  if constexpr (Wave == kToneSine) {
    return Trig::Sin(phi);
  } else if constexpr (Wave == kToneTriangle) {
    const double x = 2.0 * phi / kPi;
    return phi < kPi ? x - 1.0 : 3.0 - x;
  } else if constexpr (Wave == kToneSaw) {
    return 1.0 - phi / kPi;
  } else if constexpr (Wave == kToneSquare) {
    return phi < kPi ? 1.0 : -1.0;
  } else if constexpr (Wave == kToneGoldenSine) {
    return Trig::Cos(GoldenArgument(phi, g));
  } else if constexpr (Wave == kToneSineHalf) {
    return 2.0 * Trig::Sin(GoldenArgument(phi, g)) - 1.0;
  } else if constexpr (Wave == kToneGoldenTriangle) {
    return phi < g.split ? phi * g.a - 1.0 : g.b - phi * g.c;
  } else {  // "Gold. Square", and any unknown entry
    return phi < g.split ? 1.0 : -1.0;
  }
}

// The waveforms that call sin or cos.
constexpr bool ToneWaveUsesTrig(int wave) {
  return wave == kToneSine || wave == kToneGoldenSine || wave == kToneSineHalf;
}

// The waveforms whose argument of sin or cos depends on the segment.
constexpr bool ToneWaveIsGoldenTrig(int wave) { return wave == kToneGoldenSine || wave == kToneSineHalf; }

// Two samples at once with FastTrig, lane by lane the same arithmetic as
// ToneWaveRT<Wave, FastTrig>, for the waveforms that use sin or cos: the
// value from the argument of sin or cos (the phase itself for "Sine",
// GoldenArgument for the golden shapes)...
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair ToneWaveOfArgumentPairRT(simd::Pair arg) {
  static_assert(ToneWaveUsesTrig(Wave), "the other waveforms have no pair form");
  using simd::Splat;
  if constexpr (Wave == kToneSine) return SinPairRT(arg);
  else if constexpr (Wave == kToneGoldenSine) return CosPairRT(arg);
  else return Splat(2.0) * SinPairRT(arg) - Splat(1.0);
}

// The golden shapes' value at phases within the cycle, [0, 2 pi). There
// each segment's argument stays within a known half cycle, so the sine
// needs no general reduction: "Golden Sine" is cos t = -sin(t - pi/2) on
// the first segment (t in [0, pi]) and sin(t - 3 pi/2) on the second (t in
// [pi, 2 pi]); "Sine Half" takes sin t on the first (t in [0, pi/2]) and
// sin(pi - t) on the second (t in [pi/2, pi]). Each differs from the
// general form by a rounding of the argument, below 2e-16.
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair GoldenPairInCycleRT(simd::Pair phi, const GoldenShape& g) {
  static_assert(ToneWaveIsGoldenTrig(Wave), "only the golden shapes that use sin or cos");
  using simd::Splat;
  const simd::Pair split = Splat(g.split);
  const simd::Pair first = phi * Splat(g.a);
  const simd::Pair second = phi * Splat(g.b) + Splat(g.c);
  if constexpr (Wave == kToneGoldenSine) {
    const simd::Pair r = simd::SelectLess(phi, split, first - Splat(kHalfPi), second - Splat(kThreeHalfPi));
    return simd::NegateWhereLess(phi, split, trig_detail::SinReducedRT(r));
  } else {
    const simd::Pair r = simd::SelectLess(phi, split, first, Splat(kPi) - second);
    return Splat(2.0) * trig_detail::SinReducedRT(r) - Splat(1.0);
  }
}

// Whether both phases lie within the cycle. Every phase advance leaves one
// there, so only a block's first phase (set from the host's position) can
// lie outside.
SELVARIN_FORCE_INLINE bool PhasesInCycle(simd::Pair phi) { return simd::BothWithin(phi, 0.0, kTwoPi); }

// ...and from the phase.
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair ToneWavePairRT(simd::Pair phi, const GoldenShape& g) {
  using simd::Splat;
  if constexpr (Wave == kToneSine) {
    return ToneWaveOfArgumentPairRT<Wave>(phi);
  } else {
    const simd::Pair inCycle = GoldenPairInCycleRT<Wave>(phi, g);
    if (PhasesInCycle(phi)) return inCycle;
    // A phase outside the cycle takes the general form; each lane as it
    // would be alone, so that how phases are paired never matters.
    const simd::Pair general = ToneWaveOfArgumentPairRT<Wave>(
        simd::SelectLess(phi, Splat(g.split), phi * Splat(g.a), phi * Splat(g.b) + Splat(g.c)));
    const double low = simd::Low(phi), high = simd::High(phi);
    return simd::Set(low >= 0.0 && low < kTwoPi ? simd::Low(inCycle) : simd::Low(general),
                     high >= 0.0 && high < kTwoPi ? simd::High(inCycle) : simd::High(general));
  }
}

// The same for phases known to lie within the cycle (or NaN).
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair ToneWaveInCyclePairRT(simd::Pair phi, const GoldenShape& g) {
  if constexpr (Wave == kToneSine) return ToneWaveOfArgumentPairRT<Wave>(phi);
  else return GoldenPairInCycleRT<Wave>(phi, g);
}

// The same, chosen at run time; an index outside 0..6 is "Gold. Square".
template <class Trig = LibmTrig>
inline double ToneWave(int wave, double phi, const GoldenShape& g) {
  switch (wave) {
    case kToneSine: return ToneWaveRT<kToneSine, Trig>(phi, g);
    case kToneTriangle: return ToneWaveRT<kToneTriangle, Trig>(phi, g);
    case kToneSaw: return ToneWaveRT<kToneSaw, Trig>(phi, g);
    case kToneSquare: return ToneWaveRT<kToneSquare, Trig>(phi, g);
    case kToneGoldenSine: return ToneWaveRT<kToneGoldenSine, Trig>(phi, g);
    case kToneSineHalf: return ToneWaveRT<kToneSineHalf, Trig>(phi, g);
    case kToneGoldenTriangle: return ToneWaveRT<kToneGoldenTriangle, Trig>(phi, g);
    default: return ToneWaveRT<kToneGoldenSquare, Trig>(phi, g);
  }
}

}  // namespace selvarin
