#include "tests/fuzz/fuzz_support.h"

#include <cmath>

#include "framework/instance_info.h"
#include "vst3/plugin_instance.h"

namespace selvarin::fuzz {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

FuzzPlugin::FuzzPlugin(const char* hostName) : host_(hostName) {
  IVST3Adapter* plugin = CreatePluginInstance(InstanceInfo{});
  SELVARIN_FUZZ_REQUIRE(plugin);
  sb::FUnknown* unknown = static_cast<sv::IAudioProcessor*>(plugin);
  void* obj = nullptr;
  SELVARIN_FUZZ_REQUIRE(unknown->queryInterface(sv::IComponent::iid, &obj) == sb::kResultOk);
  component = static_cast<sv::IComponent*>(obj);
  SELVARIN_FUZZ_REQUIRE(unknown->queryInterface(sv::IAudioProcessor::iid, &obj) == sb::kResultOk);
  processor = static_cast<sv::IAudioProcessor*>(obj);
  SELVARIN_FUZZ_REQUIRE(unknown->queryInterface(sv::IEditController::iid, &obj) == sb::kResultOk);
  controller = static_cast<sv::IEditController*>(obj);
  unknown->release();  // the interfaces hold it now
  SELVARIN_FUZZ_REQUIRE(component->initialize(&host_) == sb::kResultOk);
  component->activateBus(sv::kAudio, sv::kOutput, 0, true);
}

FuzzPlugin::~FuzzPlugin() {
  component->setActive(false);
  component->terminate();
  controller->release();
  processor->release();
  component->release();
}

template <typename T>
double WorstOf(const T* left, const T* right, int frames) {
  double worst = 0.0;
  for (int i = 0; i < frames; ++i) {
    const double l = left[i], r = right[i];
    if (!std::isfinite(l) || !std::isfinite(r)) return INFINITY;
    worst = std::fmax(worst, std::fmax(std::fabs(l), std::fabs(r)));
  }
  return worst;
}

double WorstSample(const double* left, const double* right, int frames) { return WorstOf(left, right, frames); }
double WorstSample(const float* left, const float* right, int frames) { return WorstOf(left, right, frames); }

double ProcessInto(sv::IAudioProcessor* processor, int sampleSize, int frames, sv::IParameterChanges* changes,
                   sv::ProcessContext* context) {
  const size_t n = frames > 0 ? static_cast<size_t>(frames) : 0;
  // Filled with what a host's buffers might hold from before.
  std::vector<double> l64(n, 7.0), r64(n, 7.0);
  std::vector<float> l32(n, 7.0f), r32(n, 7.0f);
  double* ch64[2] = {l64.data(), r64.data()};
  float* ch32[2] = {l32.data(), r32.data()};
  sv::AudioBusBuffers bus;
  bus.numChannels = 2;
  if (sampleSize == sv::kSample64) bus.channelBuffers64 = ch64; else bus.channelBuffers32 = ch32;
  HostParamChanges reported;
  sv::ProcessData data;
  data.processMode = sv::kRealtime;
  data.symbolicSampleSize = sampleSize;
  data.numSamples = frames;
  data.numOutputs = 1;
  data.outputs = &bus;
  data.inputParameterChanges = changes;
  data.outputParameterChanges = &reported;
  data.processContext = context;
  SELVARIN_FUZZ_REQUIRE(processor->process(data) == sb::kResultOk);
  if (sampleSize == sv::kSample64) return WorstSample(l64.data(), r64.data(), frames);
  return WorstSample(l32.data(), r32.data(), frames);
}

}  // namespace selvarin::fuzz
