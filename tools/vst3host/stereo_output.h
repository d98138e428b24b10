#pragma once
// A host's stereo output bus in 32- or 64-bit samples, and the data of a
// processing call that renders into it. The buffers are made once, so block
// after block of processing through it allocates nothing.
#include <cstddef>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

namespace selvarin {

struct StereoOutput {
  // Buffers of maxFrames samples each in the width that symbolicSampleSize
  // (kSample32 or kSample64) names, every sample set to `fill`. data has no
  // input bus and this one output bus; numSamples, processMode and the
  // inputs (SetInputs) are the caller's to set.
  StereoOutput(int symbolicSampleSize, int maxFrames, double fill = 0.0)
      : is64(symbolicSampleSize == Steinberg::Vst::kSample64) {
    const size_t n = maxFrames > 0 ? static_cast<size_t>(maxFrames) : 0;
    for (int c = 0; c < 2; ++c) {
      if (is64) {
        samples64[c].assign(n, fill);
        ch64[c] = samples64[c].data();
      } else {
        samples32[c].assign(n, static_cast<float>(fill));
        ch32[c] = samples32[c].data();
      }
    }
    bus.numChannels = 2;
    if (is64) bus.channelBuffers64 = ch64; else bus.channelBuffers32 = ch32;
    data.symbolicSampleSize = symbolicSampleSize;
    data.numOutputs = 1;
    data.outputs = &bus;
  }
  // data points at bus, and bus at the buffers: the object stays where it is.
  StereoOutput(const StereoOutput&) = delete;
  StereoOutput& operator=(const StereoOutput&) = delete;

  // What the call brings the plug-in besides the buffers (any may be null).
  void SetInputs(Steinberg::Vst::IParameterChanges* changes, Steinberg::Vst::IEventList* events,
                 Steinberg::Vst::ProcessContext* context) {
    data.inputParameterChanges = changes;
    data.inputEvents = events;
    data.processContext = context;
  }

  // Sample i of channel c (0 left, 1 right), in either width.
  double Sample(int c, size_t i) const { return is64 ? samples64[c][i] : samples32[c][i]; }

  const bool is64;
  std::vector<double> samples64[2];  // filled when is64
  std::vector<float> samples32[2];   // filled otherwise
  double* ch64[2] = {nullptr, nullptr};
  float* ch32[2] = {nullptr, nullptr};
  Steinberg::Vst::AudioBusBuffers bus;
  Steinberg::Vst::ProcessData data;
};

}  // namespace selvarin
