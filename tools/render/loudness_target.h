#pragma once
// The one constant gain of a render: the gain that brings the measured
// audio to the integrated loudness asked for, lowered where it would put the
// true peak above the ceiling. Never a compressor or limiter: the sound
// keeps its shape.
#include <string>

#include "tools/render/loudness_meter.h"

namespace selvarin {

struct GainRequest {
  bool loudnessGiven = false;
  double loudness = -16.0;  // LUFS
  bool ceilingGiven = false;
  double ceiling = -1.0;    // dBTP
};

struct GainPlan {
  double gain = 1.0;         // linear
  LoudnessResult expected;   // what the audio times the gain measures
  bool limitedByPeak = false;
  double missedLu = 0.0;     // how far below the loudness asked for the ceiling keeps it
};

// False with the reason when no gain reaches the loudness (silence).
bool PlanGain(const LoudnessMeter& measured, const GainRequest& request, GainPlan* plan, std::string* error);

}  // namespace selvarin
