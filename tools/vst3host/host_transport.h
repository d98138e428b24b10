#pragma once
// The transport a host reports with each processing call.
#include <cmath>
#include <cstdint>

#include "pluginterfaces/vst/ivstprocesscontext.h"

namespace selvarin {

// A host's timeline in 4/4: its sample rate, its tempo, and whether it plays.
struct HostTransport {
  double sampleRate = 48000.0;
  double tempo = 120.0;
  bool playing = true;
};

// The process context of a block that starts `position` samples into the
// project: sample, quarter-note and bar positions, tempo and time signature.
inline void FillContext(Steinberg::Vst::ProcessContext* c, const HostTransport& t, int64_t position) {
  using Context = Steinberg::Vst::ProcessContext;
  *c = Context{};
  c->state = Context::kTempoValid | Context::kTimeSigValid | Context::kProjectTimeMusicValid |
             Context::kBarPositionValid | Context::kContTimeValid | (t.playing ? Context::kPlaying : 0);
  c->sampleRate = t.sampleRate;
  c->projectTimeSamples = position;
  c->continousTimeSamples = position;
  c->projectTimeMusic = static_cast<double>(position) / t.sampleRate * t.tempo / 60.0;
  c->barPositionMusic = std::floor(c->projectTimeMusic / 4.0) * 4.0;
  c->tempo = t.tempo;
  c->timeSigNumerator = 4;
  c->timeSigDenominator = 4;
}

}  // namespace selvarin
