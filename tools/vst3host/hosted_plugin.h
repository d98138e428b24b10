#pragma once
// One plug-in instance as a host holds it: the component with its processor,
// edit controller and unit interfaces, initialised with a host context.
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace selvarin {

// A parameter as the host lists it, names narrowed to 8-bit text.
struct HostParamInfo {
  Steinberg::Vst::ParamID id = 0;
  std::string title;
  std::string units;
  int stepCount = 0;
  double defaultNormalized = 0.0;
  int flags = 0;
};

std::string Narrow(const Steinberg::Vst::TChar* text);

class HostedPlugin {
 public:
  HostedPlugin() = default;
  ~HostedPlugin();
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  // Creates the first audio-module class of the factory (or the one with
  // the given name when name is not empty) and initialises it.
  bool Create(Steinberg::IPluginFactory* factory, Steinberg::FUnknown* hostContext, std::string* error);
  void Destroy();

  bool Setup(double sampleRate, int maxBlock, int symbolicSampleSize, int processMode = Steinberg::Vst::kOffline);
  bool SetActive(bool on);

  std::vector<HostParamInfo> Parameters() const;
  std::vector<std::string> ProgramNames() const;

  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;
  Steinberg::Vst::IUnitInfo* units = nullptr;

 private:
  bool active_ = false;
  bool initialised_ = false;
};

}  // namespace selvarin
