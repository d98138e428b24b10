#pragma once
// The per-sample part of a block (audio thread): LFOs, ramps, waveforms,
// mix and phase advance. No allocation, no lock, no framework call.
#include "engine/engine_state.h"

namespace selvarin {

// What a block's set-up hands to the sample loop.
struct BlockRamps {
  float v = 0.0f;  // block volume target (0 while the transport gates the tone)
  double stepA = 0.0;
  double stepB = 0.0;
  float panStep = 0.0f;
  float volumeStep = 0.0f;
};

struct BlockIO {
  double* outL = nullptr;
  double* outR = nullptr;
  const double* inL = nullptr;  // both null unless the input is passed through
  const double* inR = nullptr;
};

// Renders n > 0 samples and leaves the state where the last sample left it.
void RenderSamplesRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n);

// The same samples, always computed one sample at a time (the plain form of
// the loop; RenderSamplesRT may stage the work when every sample sounds).
void RenderSamplesOneByOneRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n);

// The plain loop with the C library's sin and cos: the reference that the
// faster forms are compared against. RenderSamplesRT uses it while the
// state's referenceTrig is set.
void RenderSamplesReferenceRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n);

}  // namespace selvarin
