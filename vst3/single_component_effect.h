#pragma once
// One object that is processor, component and edit controller at once, built
// on the SDK's EditController and bus lists. The SDK package ships no such
// class, so this is ours: it keeps the busses and the processing set-up and
// answers the component and processor queries that need nothing plug-in
// specific.
#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace selvarin {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

// The component interface and the edit controller interface both declare
// setState/getState with the same signature. These two bridges give each its
// own name, so the component's state (the plug-in's) and the controller's
// state (nothing) stay apart.
class ComponentStateBridge : public sv::IComponent {
 public:
  sb::tresult PLUGIN_API setState(sb::IBStream* state) final { return setComponentStateFromHost(state); }
  sb::tresult PLUGIN_API getState(sb::IBStream* state) final { return getComponentStateForHost(state); }
  virtual sb::tresult setComponentStateFromHost(sb::IBStream* state) = 0;
  virtual sb::tresult getComponentStateForHost(sb::IBStream* state) = 0;
};

class ControllerStateBridge : public sv::EditController {
 public:
  sb::tresult PLUGIN_API setState(sb::IBStream* state) final { return setControllerState(state); }
  sb::tresult PLUGIN_API getState(sb::IBStream* state) final { return getControllerState(state); }
  virtual sb::tresult setControllerState(sb::IBStream* state) = 0;
  virtual sb::tresult getControllerState(sb::IBStream* state) = 0;
};

class SingleComponentEffect : public ControllerStateBridge,
                              public ComponentStateBridge,
                              public sv::IAudioProcessor {
 public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // ---- plug-in base ----
  sb::tresult PLUGIN_API initialize(sb::FUnknown* context) override;
  sb::tresult PLUGIN_API terminate() override;

  // ---- component ----
  sb::tresult PLUGIN_API getControllerClassId(sb::TUID classId) override;
  sb::tresult PLUGIN_API setIoMode(sv::IoMode mode) override;
  sb::int32 PLUGIN_API getBusCount(sv::MediaType type, sv::BusDirection dir) override;
  sb::tresult PLUGIN_API getBusInfo(sv::MediaType type, sv::BusDirection dir, sb::int32 index,
                                    sv::BusInfo& info) override;
  sb::tresult PLUGIN_API getRoutingInfo(sv::RoutingInfo& inInfo, sv::RoutingInfo& outInfo) override;
  sb::tresult PLUGIN_API activateBus(sv::MediaType type, sv::BusDirection dir, sb::int32 index,
                                     sb::TBool state) override;
  sb::tresult PLUGIN_API setActive(sb::TBool state) override;

  // ---- audio processor ----
  sb::tresult PLUGIN_API setBusArrangements(sv::SpeakerArrangement* inputs, sb::int32 numIns,
                                            sv::SpeakerArrangement* outputs, sb::int32 numOuts) override;
  sb::tresult PLUGIN_API getBusArrangement(sv::BusDirection dir, sb::int32 index,
                                           sv::SpeakerArrangement& arr) override;
  sb::tresult PLUGIN_API canProcessSampleSize(sb::int32 symbolicSampleSize) override;
  sb::uint32 PLUGIN_API getLatencySamples() override { return 0; }
  sb::tresult PLUGIN_API setupProcessing(sv::ProcessSetup& setup) override;
  sb::tresult PLUGIN_API setProcessing(sb::TBool state) override;
  sb::tresult PLUGIN_API process(sv::ProcessData& data) override;
  sb::uint32 PLUGIN_API getTailSamples() override { return sv::kNoTail; }

  // ---- controller state: nothing of its own ----
  sb::tresult setControllerState(sb::IBStream* state) override;
  sb::tresult getControllerState(sb::IBStream* state) override;
  sb::tresult setComponentStateFromHost(sb::IBStream* state) override;
  sb::tresult getComponentStateForHost(sb::IBStream* state) override;

  OBJ_METHODS(SingleComponentEffect, sv::EditController)
  DEFINE_INTERFACES
    DEF_INTERFACE(sv::IComponent)
    DEF_INTERFACE(sv::IAudioProcessor)
  END_DEFINE_INTERFACES(sv::EditController)
  REFCOUNT_METHODS(sv::EditController)

 protected:
  sv::AudioBus* addAudioInput(const sv::TChar* name, sv::SpeakerArrangement arr, sv::BusType type,
                              sb::int32 flags);
  sv::AudioBus* addAudioOutput(const sv::TChar* name, sv::SpeakerArrangement arr, sv::BusType type,
                               sb::int32 flags);
  sv::EventBus* addEventInput(const sv::TChar* name, sb::int32 channels, sv::BusType type, sb::int32 flags);
  void removeAllBusses();
  sv::BusList* busList(sv::MediaType type, sv::BusDirection dir);

  sv::BusList audioInputs_;
  sv::BusList audioOutputs_;
  sv::BusList eventInputs_;
  sv::BusList eventOutputs_;
  sv::ProcessSetup processSetup_;
};

}  // namespace selvarin
