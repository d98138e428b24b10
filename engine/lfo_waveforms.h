#pragma once
// The seven LFO waves as functions of phase (radians, [0, 2 pi)). Audio
// thread safe.
#include <cmath>

#include "engine/engine_math.h"
#include "engine/fast_trig.h"
#include "engine/param_ids.h"

namespace selvarin {

// Weights of the smoothed "Square": a one-pole low-pass of the raw square.
struct SquareSmoothing {
  double inputWeight = 0.0;
  double feedbackWeight = 0.0;
};

// Value of LFO wave `wave` at `phi`, -1 .. 1. The smoothed "Square" updates
// `squareState` and returns its new value; other waves leave it alone. An
// unknown wave gives 0. Trig supplies sin: the C library's (the reference)
// or FastTrig.
template <class Trig = LibmTrig>
inline double LfoWaveRT(int wave, double phi, double& squareState, const SquareSmoothing& sq) {
  switch (wave) {
    case kLfoSine:
      return Trig::Sin(phi);
    case kLfoTriangle: {
      const double x = 2.0 * phi / kPi;
      return phi < kPi ? x - 1.0 : 3.0 - x;
    }
    case kLfoSaw: {  // up in the first quarter, down over the rest
      const double x = 4.0 * phi / kPi;
      return phi < kHalfPi ? x - 1.0 : 1.6666666666666667 - x * 0.3333333333333333;
    }
    case kLfoSawFlip: {  // up over three quarters, down in the last
      const double x = 4.0 * phi / kPi;
      return phi < kThreeHalfPi ? x * 0.3333333333333333 - 1.0 : 7.0 - x;
    }
    case kLfoSquare: {
      const double raw = phi < kPi ? 1.0 : -1.0;
      squareState = sq.inputWeight * raw + sq.feedbackWeight * squareState;
      return squareState;
    }
    case kLfoSineHalf:
      return 2.0 * Trig::Sin(phi / 2.0) - 1.0;
    case kLfoHalfFlip:
      return 2.0 * Trig::Sin(phi / 2.0 + kPi) + 1.0;
    default:
      return 0.0;
  }
}

// The LFO waves that call sin.
constexpr bool LfoWaveUsesTrig(int wave) { return wave == kLfoSine || wave == kLfoSineHalf || wave == kLfoHalfFlip; }

// For the waves that call sin, two phases at once, lane by lane the same
// arithmetic as LfoWaveRT: the argument of sin at phase phi...
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair LfoSinArgPairRT(simd::Pair phi) {
  static_assert(LfoWaveUsesTrig(Wave), "only the waves that call sin");
  using simd::Splat;
  if constexpr (Wave == kLfoSine) return phi;
  else if constexpr (Wave == kLfoSineHalf) return phi * Splat(0.5);  // phi / 2 exactly
  else return phi * Splat(0.5) + Splat(kPi);
}

// ...the wave's value for that sine...
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair LfoValueOfSinPairRT(simd::Pair s) {
  using simd::Splat;
  if constexpr (Wave == kLfoSine) return s;
  else if constexpr (Wave == kLfoSineHalf) return Splat(2.0) * s - Splat(1.0);
  else return Splat(2.0) * s + Splat(1.0);
}

// ...and both with FastTrig's sine.
template <int Wave>
SELVARIN_FORCE_INLINE simd::Pair LfoWavePairRT(simd::Pair phi) {
  return LfoValueOfSinPairRT<Wave>(SinPairRT(LfoSinArgPairRT<Wave>(phi)));
}

// Phase at which an LFO restarts: its start fraction of a cycle plus an
// offset that depends on the wave.
inline double LfoRestartPhase(int wave, float start) {
  double offset = 0.0;
  switch (wave) {
    case kLfoSineHalf:
      offset = kThreeHalfPi;
      break;
    case kLfoTriangle:
    case kLfoSaw:
    case kLfoSquare:
    case kLfoHalfFlip:
      offset = kHalfPi;
      break;
    default:
      break;
  }
  double phase = static_cast<double>(start * 2.0f) * kPi + offset;
  if (phase >= kTwoPi) phase -= kTwoPi;
  return phase;
}

}  // namespace selvarin
