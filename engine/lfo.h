#pragma once
// LFO set-up operations on the engine state: activity, range, restart.
// They run under the plug-in lock, from parameter reactions or a reset (and
// so possibly on the audio thread): no allocation.
#include "engine/engine_state.h"

namespace selvarin {

// Parameter driven by each "LFO Target" entry; -1 for "No Assign".
constexpr int16_t kTargetParam[kNumLfoTargets] = {-1, kParamBaseFreq, kParamBinaural, kParamPan, kParamVolume};

// Called after LFO `lfo`'s target was applied. Two LFOs never drive the same
// quantity: on a clash LFO1 wins and LFO2 pauses with the conflict mark, and
// LFO2 comes back as soon as the targets differ.
void UpdateLfoActivity(EngineState& st, int lfo);

// Range of LFO `lfo`'s target and the centre and swing of its output, from
// the depth and the target's current value. "No Assign" changes nothing.
void ComputeLfoRange(EngineState& st, int lfo);

// Puts LFO `lfo` at its start phase.
void RestartLfo(EngineState& st, int lfo);

}  // namespace selvarin
