#include "vst3/single_component_effect.h"

namespace selvarin {

SingleComponentEffect::SingleComponentEffect()
    : audioInputs_(sv::kAudio, sv::kInput),
      audioOutputs_(sv::kAudio, sv::kOutput),
      eventInputs_(sv::kEvent, sv::kInput),
      eventOutputs_(sv::kEvent, sv::kOutput),
      processSetup_{sv::kRealtime, sv::kSample32, 1024, 44100.0} {}

SingleComponentEffect::~SingleComponentEffect() = default;

sb::tresult PLUGIN_API SingleComponentEffect::initialize(sb::FUnknown* context) {
  const sb::tresult r = sv::EditController::initialize(context);
  if (r != sb::kResultOk) return r;
  parameters.init();
  return sb::kResultOk;
}

sb::tresult PLUGIN_API SingleComponentEffect::terminate() {
  removeAllBusses();
  return sv::EditController::terminate();
}

sb::tresult PLUGIN_API SingleComponentEffect::getControllerClassId(sb::TUID) { return sb::kNotImplemented; }
sb::tresult PLUGIN_API SingleComponentEffect::setIoMode(sv::IoMode) { return sb::kNotImplemented; }
sb::tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(sv::RoutingInfo&, sv::RoutingInfo&) {
  return sb::kNotImplemented;
}

sv::BusList* SingleComponentEffect::busList(sv::MediaType type, sv::BusDirection dir) {
  if (type == sv::kAudio) return dir == sv::kInput ? &audioInputs_ : dir == sv::kOutput ? &audioOutputs_ : nullptr;
  if (type == sv::kEvent) return dir == sv::kInput ? &eventInputs_ : dir == sv::kOutput ? &eventOutputs_ : nullptr;
  return nullptr;
}

sb::int32 PLUGIN_API SingleComponentEffect::getBusCount(sv::MediaType type, sv::BusDirection dir) {
  sv::BusList* list = busList(type, dir);
  return list ? static_cast<sb::int32>(list->size()) : 0;
}

sb::tresult PLUGIN_API SingleComponentEffect::getBusInfo(sv::MediaType type, sv::BusDirection dir,
                                                         sb::int32 index, sv::BusInfo& info) {
  sv::BusList* list = busList(type, dir);
  if (!list || index < 0 || index >= static_cast<sb::int32>(list->size())) return sb::kInvalidArgument;
  sv::Bus* bus = list->at(static_cast<size_t>(index));
  info.mediaType = type;
  info.direction = dir;
  return bus && bus->getInfo(info) ? sb::kResultTrue : sb::kResultFalse;
}

sb::tresult PLUGIN_API SingleComponentEffect::activateBus(sv::MediaType type, sv::BusDirection dir,
                                                          sb::int32 index, sb::TBool state) {
  sv::BusList* list = busList(type, dir);
  if (!list || index < 0 || index >= static_cast<sb::int32>(list->size())) return sb::kInvalidArgument;
  sv::Bus* bus = list->at(static_cast<size_t>(index));
  if (!bus) return sb::kResultFalse;
  bus->setActive(state);
  return sb::kResultTrue;
}

sb::tresult PLUGIN_API SingleComponentEffect::setActive(sb::TBool) { return sb::kResultOk; }

sb::tresult PLUGIN_API SingleComponentEffect::setBusArrangements(sv::SpeakerArrangement*, sb::int32,
                                                                 sv::SpeakerArrangement*, sb::int32) {
  return sb::kResultFalse;
}

sb::tresult PLUGIN_API SingleComponentEffect::getBusArrangement(sv::BusDirection dir, sb::int32 index,
                                                                sv::SpeakerArrangement& arr) {
  sv::BusList* list = busList(sv::kAudio, dir);
  if (!list || index < 0 || index >= static_cast<sb::int32>(list->size())) return sb::kInvalidArgument;
  auto* bus = sb::FCast<sv::AudioBus>(list->at(static_cast<size_t>(index)));
  if (!bus) return sb::kResultFalse;
  arr = bus->getArrangement();
  return sb::kResultTrue;
}

sb::tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(sb::int32 size) {
  return size == sv::kSample32 || size == sv::kSample64 ? sb::kResultTrue : sb::kResultFalse;
}

sb::tresult PLUGIN_API SingleComponentEffect::setupProcessing(sv::ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != sb::kResultTrue) return sb::kResultFalse;
  processSetup_ = setup;
  return sb::kResultOk;
}

sb::tresult PLUGIN_API SingleComponentEffect::setProcessing(sb::TBool) { return sb::kNotImplemented; }
sb::tresult PLUGIN_API SingleComponentEffect::process(sv::ProcessData&) { return sb::kResultOk; }

sb::tresult SingleComponentEffect::setControllerState(sb::IBStream*) { return sb::kResultOk; }
sb::tresult SingleComponentEffect::getControllerState(sb::IBStream*) { return sb::kResultOk; }
sb::tresult SingleComponentEffect::setComponentStateFromHost(sb::IBStream*) { return sb::kNotImplemented; }
sb::tresult SingleComponentEffect::getComponentStateForHost(sb::IBStream*) { return sb::kNotImplemented; }

sv::AudioBus* SingleComponentEffect::addAudioInput(const sv::TChar* name, sv::SpeakerArrangement arr,
                                                   sv::BusType type, sb::int32 flags) {
  auto* bus = new sv::AudioBus(name, type, flags, arr);
  audioInputs_.emplace_back(sb::IPtr<sv::Bus>(bus, false));
  return bus;
}

sv::AudioBus* SingleComponentEffect::addAudioOutput(const sv::TChar* name, sv::SpeakerArrangement arr,
                                                    sv::BusType type, sb::int32 flags) {
  auto* bus = new sv::AudioBus(name, type, flags, arr);
  audioOutputs_.emplace_back(sb::IPtr<sv::Bus>(bus, false));
  return bus;
}

sv::EventBus* SingleComponentEffect::addEventInput(const sv::TChar* name, sb::int32 channels, sv::BusType type,
                                                   sb::int32 flags) {
  auto* bus = new sv::EventBus(name, type, flags, channels);
  eventInputs_.emplace_back(sb::IPtr<sv::Bus>(bus, false));
  return bus;
}

void SingleComponentEffect::removeAllBusses() {
  audioInputs_.clear();
  audioOutputs_.clear();
  eventInputs_.clear();
  eventOutputs_.clear();
}

}  // namespace selvarin
