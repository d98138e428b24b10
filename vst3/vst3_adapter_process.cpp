// The processing call (audio thread): parameter changes, note events,
// transport context and buffers, then one render of the block.
#include <cmath>
#include <cstring>

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "vst3/normalized.h"
#include "vst3/vst3_adapter.h"

namespace selvarin {

sb::tresult PLUGIN_API IVST3Adapter::process(sv::ProcessData& data) {
  threadCheck_.Enter(HostThread::kAudio, "process");
  ScopedLock lock(Mutex());
  if (data.processContext) context_ = *data.processContext;
  // A preset chosen through the program parameter changes the values behind
  // the host's back: report them so its controls and automation follow.
  if (ApplyParameterChanges(data.inputParameterChanges)) ReportAllParams(data.outputParameterChanges);
  if (DoesMidi()) ForwardNoteEvents(data.inputEvents);

  const int frames = data.numSamples > 0 ? data.numSamples : 0;
  // Nothing is rendered before set-up, after terminate, before the
  // parameters are in, or into buffers of another sample size than the
  // set-up's (doubles would overrun floats): the host then hears silence
  // instead of whatever its buffers held.
  const bool renders = BlockSize() > 0 && initialized_ && ParamsReady() &&
                       data.symbolicSampleSize == processSetup_.symbolicSampleSize;
  if (!renders) {
    SilenceHostOutputsRT(data, frames);
    return sb::kResultOk;
  }
  // A block without samples still ends like one: pan at its target, block
  // clock taken, and on the very first call the start-up.
  if (frames == 0) {
    RenderFrames(0);
    return sb::kResultOk;
  }

  // Blocks longer than the scratch buffers are rendered in pieces.
  for (int done = 0; done < frames;) {
    const int n = frames - done < BlockSize() ? frames - done : BlockSize();
    ConnectOutputs(data, done);
    RenderFrames(n);
    done += n;
  }
  return sb::kResultOk;
}

bool IVST3Adapter::ApplyParameterChanges(sv::IParameterChanges* changes) {
  if (!changes) return false;
  bool presetSelected = false;
  const sb::int32 queues = changes->getParameterCount();
  for (sb::int32 q = 0; q < queues; ++q) {
    sv::IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const sb::int32 points = queue->getPointCount();
    if (points <= 0) continue;
    sb::int32 offset = 0;
    sv::ParamValue value = 0.0;
    if (queue->getPoint(points - 1, offset, value) != sb::kResultOk) continue;
    if (!std::isfinite(value)) continue;
    value = SafeNormalized(value);
    const sv::ParamID id = queue->getParameterId();
    if (id == kBypassParamId) {
      SetBypassed(value > 0.5);
    } else if (id == kPresetParamId) {
      // Even a slot that fails to load may have changed a value.
      if (PresetCount() > 0) {
        LoadPreset(PresetIndexFromNormalized(value));
        presetSelected = true;
      }
    } else if (id < static_cast<sv::ParamID>(NParams())) {
      const int idx = static_cast<int>(id);
      Param(idx)->SetFromNormalized(value);
      if (Editor()) Editor()->PushParamToControls(idx, value, true);
      OnParameterChanged(idx);
    }
  }
  return presetSelected;
}

void IVST3Adapter::ReportAllParams(sv::IParameterChanges* out) {
  if (!out) return;
  for (int i = 0; i < NParams(); ++i) {
    sb::int32 queueIndex = 0;
    sv::IParamValueQueue* queue = out->addParameterData(static_cast<sv::ParamID>(i), queueIndex);
    if (!queue) continue;
    sb::int32 pointIndex = 0;
    queue->addPoint(0, Param(i)->NormalizedValue(), pointIndex);
  }
}

void IVST3Adapter::ForwardNoteEvents(sv::IEventList* events) {
  if (!events) return;
  const sb::int32 count = events->getEventCount();
  for (sb::int32 i = 0; i < count; ++i) {
    sv::Event e{};
    if (events->getEvent(i, e) != sb::kResultOk) continue;
    MidiMessage msg;
    msg.offset = e.sampleOffset;
    if (e.type == sv::Event::kNoteOnEvent) {
      const double velocity = SafeNormalized(e.noteOn.velocity);
      msg.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
      msg.data1 = static_cast<uint8_t>(e.noteOn.pitch & 0x7F);
      msg.data2 = static_cast<uint8_t>(static_cast<int>(velocity * 127));
    } else if (e.type == sv::Event::kNoteOffEvent) {
      msg.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
      msg.data1 = static_cast<uint8_t>(e.noteOff.pitch & 0x7F);
      msg.data2 = 0;
    } else {
      continue;
    }
    OnMidiMessage(msg);
  }
}

// Points the base's output channels at the host's buffers from frame offset
// on. A channel without a buffer (an inactive bus, a missing bus, a null
// pointer) renders into its scratch buffer instead.
void IVST3Adapter::ConnectOutputs(sv::ProcessData& data, int offset) {
  const bool use64 = processSetup_.symbolicSampleSize == sv::kSample64;
  const int total = NOutChannels();
  int p = 0;
  // Buffers of another sample size than the set-up announced would be
  // overrun (doubles into floats): such a block renders into scratch only.
  const bool sizeMatches = data.symbolicSampleSize == processSetup_.symbolicSampleSize;
  const int busses = sizeMatches && data.outputs && data.numOutputs > 0 ? data.numOutputs : 0;
  for (int j = 0; j < busses && p < total; ++j) {
    const sv::AudioBusBuffers& bus = data.outputs[j];
    int n = bus.numChannels > 0 ? bus.numChannels : 0;
    if (n > total - p) n = total - p;
    const bool active = j < static_cast<int>(audioOutputs_.size()) && audioOutputs_[static_cast<size_t>(j)] &&
                        audioOutputs_[static_cast<size_t>(j)]->isActive();
    for (int c = 0; c < n; ++c) {
      void* buffer = nullptr;
      if (use64) {
        if (bus.channelBuffers64) buffer = bus.channelBuffers64[c];
      } else {
        if (bus.channelBuffers32) buffer = bus.channelBuffers32[c];
      }
      const bool connected = active && buffer != nullptr;
      SetOutputConnections(p + c, 1, connected);
      if (!connected) continue;
      if (use64) {
        double* ptr = static_cast<double*>(buffer) + offset;
        AttachOutputs64(p + c, 1, &ptr);
      } else {
        float* ptr = static_cast<float*>(buffer) + offset;
        AttachOutputs32(p + c, 1, &ptr);
      }
    }
    p += n;
  }
  SetOutputConnections(p, total - p, false);
}

void IVST3Adapter::SilenceHostOutputsRT(sv::ProcessData& data, int frames) {
  if (frames <= 0 || !data.outputs || data.numOutputs <= 0) return;
  const bool is64 = data.symbolicSampleSize == sv::kSample64;
  if (!is64 && data.symbolicSampleSize != sv::kSample32) return;
  const size_t bytes = static_cast<size_t>(frames) * (is64 ? sizeof(sv::Sample64) : sizeof(sv::Sample32));
  for (sb::int32 j = 0; j < data.numOutputs; ++j) {
    const sv::AudioBusBuffers& bus = data.outputs[j];
    for (sb::int32 c = 0; c < bus.numChannels; ++c) {
      void* buffer = nullptr;
      if (is64) {
        if (bus.channelBuffers64) buffer = bus.channelBuffers64[c];
      } else {
        if (bus.channelBuffers32) buffer = bus.channelBuffers32[c];
      }
      if (buffer) std::memset(buffer, 0, bytes);
    }
  }
}

void IVST3Adapter::RenderFrames(int frames) {
  const bool use64 = processSetup_.symbolicSampleSize == sv::kSample64;
  if (IsBypassed()) {
    if (use64) BypassBlock64(frames); else BypassBlock32(frames);
  } else {
    if (use64) ProcessBlock64(frames); else ProcessBlock32(frames);
  }
}

}  // namespace selvarin
