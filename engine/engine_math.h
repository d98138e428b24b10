#pragma once
// Numeric helpers shared by the tone engine. All are safe on the audio thread.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/compiler_hints.h"

namespace selvarin {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kThreeHalfPi = 4.71238898038469;
constexpr double kInvTwoPi = 0.15915494309189535;

// Below this a volume counts as silent and an increment difference as none.
constexpr double kAudibleThreshold = 1e-24;

// Rounds half away from zero to a 32-bit integer. NaN gives 0 and values
// beyond the integer range saturate, so the conversion is always defined.
inline int32_t RoundHalfAway(double x) {
  if (std::isnan(x)) return 0;
  const double r = x >= 0.0 ? x + 0.5 : x - 0.5;
  if (!(r < 2147483648.0)) return INT32_MAX;
  if (!(r > -2147483649.0)) return INT32_MIN;
  return static_cast<int32_t>(r);
}

// Same rounding into an unsigned 32-bit count; negatives and NaN give 0.
inline uint32_t RoundHalfAwayUnsigned(double x) {
  if (!(x > 0.0)) return 0;
  const double r = x + 0.5;
  if (!(r < 4294967296.0)) return UINT32_MAX;
  return static_cast<uint32_t>(r);
}

// The rare wraps of a phase advance, kept out of the sample loops: below 0
// (wrapped upwards), or still a cycle or more above 2 pi.
SELVARIN_NOINLINE inline double WrapNegativePhaseRT(double phase) {
  phase += kTwoPi;
  if (phase < 0.0) phase = std::fmod(phase, kTwoPi) + kTwoPi;
  if (phase >= kTwoPi) phase = 0.0;  // -0 or a rounding onto 2 pi
  return phase;
}

SELVARIN_NOINLINE inline double WrapFarPhaseRT(double phase) { return std::fmod(phase, kTwoPi); }

// Advances a phase by one sample's increment (audio thread). One subtraction
// of 2 pi is the normal case; an increment of a whole cycle or more (a tone
// above the sample rate) wraps by the whole number of cycles instead. A
// negative increment (a glide step on top of an LFO can leave one for a
// while) wraps the other way: the waveforms are only bounded on [0, 2 pi).
SELVARIN_FORCE_INLINE double AdvancePhaseRT(double phase, double increment) {
  phase += increment;
  // Most samples stay within the cycle; keep that path straight.
  if (SELVARIN_UNLIKELY(!(phase >= 0.0 && phase < kTwoPi))) {
    if (phase >= kTwoPi) {
      phase -= kTwoPi;
      if (phase >= kTwoPi) phase = WrapFarPhaseRT(phase);
    } else if (phase < 0.0) {
      phase = WrapNegativePhaseRT(phase);
    }
  }
  return phase;
}

}  // namespace selvarin
