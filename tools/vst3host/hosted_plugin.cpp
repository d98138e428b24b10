#include "tools/vst3host/hosted_plugin.h"

#include <cstring>

namespace selvarin {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

std::string Narrow(const sv::TChar* text) {
  std::string out;
  if (!text) return out;
  for (int i = 0; i < 128 && text[i]; ++i) out += text[i] > 0xFF ? '?' : static_cast<char>(text[i]);
  return out;
}

HostedPlugin::~HostedPlugin() { Destroy(); }

bool HostedPlugin::Create(sb::IPluginFactory* factory, sb::FUnknown* hostContext, std::string* error) {
  Destroy();
  if (!factory) {
    if (error) *error = "no factory";
    return false;
  }
  const sb::int32 n = factory->countClasses();
  for (sb::int32 i = 0; i < n && !component; ++i) {
    sb::PClassInfo info;
    if (factory->getClassInfo(i, &info) != sb::kResultOk) continue;
    if (std::strcmp(info.category, kVstAudioEffectClass) != 0) continue;
    void* obj = nullptr;
    if (factory->createInstance(info.cid, sv::IComponent::iid, &obj) == sb::kResultOk && obj)
      component = static_cast<sv::IComponent*>(obj);
  }
  if (!component) {
    if (error) *error = "the module offers no audio module class that can be created";
    return false;
  }
  if (component->initialize(hostContext) != sb::kResultOk) {
    if (error) *error = "the plug-in refused initialisation";
    Destroy();
    return false;
  }
  initialised_ = true;
  void* obj = nullptr;
  if (component->queryInterface(sv::IAudioProcessor::iid, &obj) == sb::kResultOk) processor = static_cast<sv::IAudioProcessor*>(obj);
  obj = nullptr;
  if (component->queryInterface(sv::IEditController::iid, &obj) == sb::kResultOk) controller = static_cast<sv::IEditController*>(obj);
  obj = nullptr;
  if (component->queryInterface(sv::IUnitInfo::iid, &obj) == sb::kResultOk) units = static_cast<sv::IUnitInfo*>(obj);
  if (!processor || !controller) {
    if (error) *error = "the plug-in is not a single-component processor and controller";
    Destroy();
    return false;
  }
  return true;
}

void HostedPlugin::Destroy() {
  if (component && active_) component->setActive(false);
  active_ = false;
  if (units) units->release();
  if (controller) controller->release();
  if (processor) processor->release();
  units = nullptr;
  controller = nullptr;
  processor = nullptr;
  if (component) {
    if (initialised_) component->terminate();
    component->release();
  }
  component = nullptr;
  initialised_ = false;
}

bool HostedPlugin::Setup(double sampleRate, int maxBlock, int symbolicSampleSize, int processMode) {
  if (!processor) return false;
  sv::ProcessSetup setup{processMode, symbolicSampleSize, maxBlock, sampleRate};
  return processor->setupProcessing(setup) == sb::kResultOk;
}

bool HostedPlugin::SetActive(bool on) {
  if (!component) return false;
  const bool ok = component->setActive(on) == sb::kResultOk;
  if (ok) active_ = on;
  return ok;
}

std::vector<HostParamInfo> HostedPlugin::Parameters() const {
  std::vector<HostParamInfo> out;
  if (!controller) return out;
  const sb::int32 n = controller->getParameterCount();
  for (sb::int32 i = 0; i < n; ++i) {
    sv::ParameterInfo info{};
    if (controller->getParameterInfo(i, info) != sb::kResultOk) continue;
    out.push_back({info.id, Narrow(info.title), Narrow(info.units), info.stepCount, info.defaultNormalizedValue,
                   info.flags});
  }
  return out;
}

std::vector<std::string> HostedPlugin::ProgramNames() const {
  std::vector<std::string> out;
  if (!units || units->getProgramListCount() < 1) return out;
  sv::ProgramListInfo list{};
  if (units->getProgramListInfo(0, list) != sb::kResultOk) return out;
  for (sb::int32 i = 0; i < list.programCount; ++i) {
    sv::String128 name = {};
    if (units->getProgramName(list.id, i, name) != sb::kResultOk) name[0] = 0;
    out.push_back(Narrow(name));
  }
  return out;
}

}  // namespace selvarin
