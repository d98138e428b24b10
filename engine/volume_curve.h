#pragma once
// The "Volume" parameter's gain curve: linear in decibels.
#include <cmath>
#include <cstdint>

namespace selvarin {

// 0 % lies 64 steps below 100 %; a step is a sixth of a doubling of the gain
// (about 1.003 dB), so each percent is about 0.64 dB and 0 % is a gain of
// 0.00061458 (about -64.2 dB), quiet but not silent.
constexpr int kVolumeSpanSteps = 64;
constexpr double kVolumeDoublingsPerStep = 0.16666666666666666;  // 1 / 6
// Full volume stays a little under 1, so a binaural tone's peaks stay inside
// full scale.
constexpr double kVolumeFullGain = 0.999;

// The gain of a "Volume" setting in whole percent, computed in double and
// stored single as the engine keeps it.
inline float VolumeGainFromPercent(int32_t percent) {
  return static_cast<float>(
      std::pow(2.0, (percent * kVolumeSpanSteps * 0.01 - kVolumeSpanSteps) * kVolumeDoublingsPerStep) *
      kVolumeFullGain);
}

}  // namespace selvarin
