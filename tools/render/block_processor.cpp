#include "tools/render/block_processor.h"

#include "pluginterfaces/vst/vstspeaker.h"

namespace selvarin {

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
    : plugin_(plugin),
      transport_{o.sampleRate, o.tempo, o.playing},
      output_(o.precision == 64 ? sv::kSample64 : sv::kSample32, o.blockSize) {
  output_.SetInputs(&changes_, &events_, &context_);
  output_.data.processMode = sv::kOffline;
}

bool BlockProcessor::Process(int64_t position, int n) {
  FillContext(&context_, transport_, position);
  output_.data.numSamples = n;
  const bool ok = plugin_.processor->process(output_.data) == sb::kResultOk;
  changes_.Clear();
  return ok;
}

}  // namespace selvarin
