#include "engine/lfo.h"

#include <algorithm>
#include <cmath>

#include "engine/editor_links.h"
#include "engine/lfo_waveforms.h"
#include "engine/volume_curve.h"

namespace selvarin {

namespace {
// Target ranges, in radians per second for the frequencies (2 pi x 20 Hz,
// 2 pi x 20000 Hz, 2 pi x 512 Hz) and as gains for the volume: from about
// -50.9 dB up to full volume.
constexpr double kBaseLowPerSecond = 125.66370614359172;
constexpr double kBaseHighPerSecond = 125663.70614359173;
constexpr double kBeatHighPerSecond = 3216.990877275948;
constexpr float kVolumeLow = 0.0028495172f;
constexpr float kVolumeHigh = static_cast<float>(kVolumeFullGain);
}  // namespace

void UpdateLfoActivity(EngineState& st, int lfo) {
  LfoIndicatorValues* ind2 = st.lfoIndicator[1];
  if (ind2) ind2->SetConflictRT(false);

  const bool active = st.lfoTarget[lfo] > 0;
  st.lfoActive[lfo] = active;
  if (LfoIndicatorValues* ind = st.lfoIndicator[lfo]) ind->SetActiveRT(active);

  if (st.lfoTarget[1] > 0) {
    if (st.lfoTarget[1] == st.lfoTarget[0]) {
      if (ind2) ind2->SetConflictRT(true);
      st.lfoActive[1] = false;
      if (ind2) ind2->SetActiveRT(false);
    } else if (!st.lfoActive[1]) {
      st.lfoActive[1] = true;
      if (ind2) ind2->SetActiveRT(true);
    }
  }
}

void ComputeLfoRange(EngineState& st, int lfo) {
  double r = st.sampleRate > 0.0 ? 1.0 / st.sampleRate : 0.0;
  if (!std::isfinite(r)) r = 0.0;
  const float d = st.lfoDepth[lfo];
  float low, high, u, e;
  switch (st.lfoTarget[lfo]) {
    case kTargetBaseFreq: {
      low = static_cast<float>(kBaseLowPerSecond * r);
      high = static_cast<float>(kBaseHighPerSecond * r);
      u = static_cast<float>(st.toneAIncrementTarget);
      const float d2 = d * d;  // d^4: small depths sweep gently on the log-like range
      e = d2 * d2;
      break;
    }
    case kTargetBinaural:
      low = 0.0f;
      high = static_cast<float>(kBeatHighPerSecond * r);
      u = static_cast<float>(st.beatIncrement);
      e = d;
      break;
    case kTargetPan:
      low = -1.0f;
      high = 1.0f;
      u = st.panTarget;
      e = d;
      break;
    case kTargetVolume:
      low = kVolumeLow;
      high = kVolumeHigh;
      u = st.volumeTarget;
      e = d;
      break;
    default:
      return;
  }
  const float swing = (high - low) * e * 0.5f;
  // The current value, clamped so that the whole swing stays inside the range.
  const float centre = std::max(low + swing, std::min(u, high - swing));
  // A range beyond single precision (a sample rate far below 1 Hz) has no
  // meaning: the LFO keeps the swing it had.
  if (!std::isfinite(swing) || !std::isfinite(centre)) return;
  st.lfoSwing[lfo] = swing;
  st.lfoCentre[lfo] = centre;
  if (LfoIndicatorValues* ind = st.lfoIndicator[lfo]) ind->SetRangeRT(low, high);
}

void RestartLfo(EngineState& st, int lfo) { st.lfoPhase[lfo] = LfoRestartPhase(st.lfoWave[lfo], st.lfoStart[lfo]); }

}  // namespace selvarin
