#include "tools/render/block_processor.h"

#include <cmath>

#include "pluginterfaces/vst/vstspeaker.h"

namespace selvarin {

namespace {

// The host's transport at a project position: 4/4, tempo, playing or not.
void FillContext(sv::ProcessContext* c, const RenderOptions& o, int64_t position) {
  *c = sv::ProcessContext{};
  c->state = sv::ProcessContext::kTempoValid | sv::ProcessContext::kTimeSigValid |
             sv::ProcessContext::kProjectTimeMusicValid | sv::ProcessContext::kBarPositionValid |
             sv::ProcessContext::kContTimeValid | (o.playing ? sv::ProcessContext::kPlaying : 0);
  c->sampleRate = o.sampleRate;
  c->projectTimeSamples = position;
  c->continousTimeSamples = position;
  c->projectTimeMusic = static_cast<double>(position) / o.sampleRate * o.tempo / 60.0;
  c->barPositionMusic = std::floor(c->projectTimeMusic / 4.0) * 4.0;
  c->tempo = o.tempo;
  c->timeSigNumerator = 4;
  c->timeSigDenominator = 4;
}

}  // namespace

bool StartProcessing(const RenderOptions& o, HostedPlugin& plugin, std::string* error) {
  const int sampleSize = o.precision == 64 ? sv::kSample64 : sv::kSample32;
  if (plugin.processor->canProcessSampleSize(sampleSize) != sb::kResultOk) {
    *error = "the plug-in cannot process " + std::to_string(o.precision) + "-bit samples";
    return false;
  }
  sv::SpeakerArrangement stereo = sv::SpeakerArr::kStereo;
  plugin.processor->setBusArrangements(nullptr, 0, &stereo, 1);
  plugin.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  if (plugin.component->getBusCount(sv::kEvent, sv::kInput) > 0)
    plugin.component->activateBus(sv::kEvent, sv::kInput, 0, true);
  if (!plugin.Setup(o.sampleRate, o.blockSize, sampleSize, sv::kOffline)) {
    *error = "the plug-in refused the processing set-up";
    return false;
  }
  if (!plugin.SetActive(true)) {
    *error = "the plug-in refused activation";
    return false;
  }
  plugin.processor->setProcessing(true);
  return true;
}

BlockProcessor::BlockProcessor(const RenderOptions& o, HostedPlugin& plugin)
    : o_(o), plugin_(plugin), left64_(Size(o)), right64_(Size(o)), left32_(Size(o)), right32_(Size(o)) {
  ch64_[0] = left64_.data();
  ch64_[1] = right64_.data();
  ch32_[0] = left32_.data();
  ch32_[1] = right32_.data();
  out_.numChannels = 2;
  if (o.precision == 64) out_.channelBuffers64 = ch64_; else out_.channelBuffers32 = ch32_;
  data_.processMode = sv::kOffline;
  data_.symbolicSampleSize = o.precision == 64 ? sv::kSample64 : sv::kSample32;
  data_.numInputs = 0;
  data_.numOutputs = 1;
  data_.outputs = &out_;
  data_.inputParameterChanges = &changes_;
  data_.inputEvents = &events_;
  data_.processContext = &context_;
}

bool BlockProcessor::Process(int64_t position, int n) {
  FillContext(&context_, o_, position);
  data_.numSamples = n;
  const bool ok = plugin_.processor->process(data_) == sb::kResultOk;
  changes_.Clear();
  return ok;
}

}  // namespace selvarin
