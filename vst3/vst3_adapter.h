#pragma once
// IVST3Adapter presents a plug-in to a VST3 host as one object: processor,
// component, edit controller and unit information. It turns every host call
// into operations of the plug-in base.
#include <cstdint>
#include <vector>

#include "framework/audio_plugin.h"
#include "framework/instance_info.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "vst3/single_component_effect.h"
#include "vst3/fourcc_param_ids.h"
#include "vst3/host_thread_check.h"

namespace selvarin {

class IGraphics;
class IVST3View;

// Speaker arrangement for a bus of n channels (0 when there is none).
Steinberg::Vst::SpeakerArrangement ArrangementForChannels(int n);

class IVST3Adapter : public IAudioPlugin,
                     public Steinberg::Vst::IUnitInfo,
                     public SingleComponentEffect,
                     public Steinberg::Vst::IProcessContextRequirements {
 public:
  IVST3Adapter(const InstanceInfo& info, int nParams, const char* channelIOStr, int nPresets,
               const char* effectName, const char* productName, const char* mfrName, int32_t vendorVersion,
               int32_t uniqueCode, int32_t mfrCode, int latency, bool doesMidi, bool doesChunks, bool isInstrument,
               int sideChainChannels = 0);
  ~IVST3Adapter() override;

  // ---- plug-in base ----
  sb::tresult PLUGIN_API initialize(sb::FUnknown* context) override;
  sb::tresult PLUGIN_API terminate() override;

  // ---- component ----
  sb::tresult PLUGIN_API setActive(sb::TBool state) override;
  sb::tresult setComponentStateFromHost(sb::IBStream* stream) override;
  sb::tresult getComponentStateForHost(sb::IBStream* stream) override;

  // ---- audio processor ----
  sb::tresult PLUGIN_API setBusArrangements(sv::SpeakerArrangement* inputs, sb::int32 numIns,
                                            sv::SpeakerArrangement* outputs, sb::int32 numOuts) override;
  sb::uint32 PLUGIN_API getLatencySamples() override;
  sb::tresult PLUGIN_API setupProcessing(sv::ProcessSetup& setup) override;
  // Audio thread.
  sb::tresult PLUGIN_API process(sv::ProcessData& data) override;
  sb::uint32 PLUGIN_API getTailSamples() override;

  // ---- process context requirements ----
  sb::uint32 PLUGIN_API getProcessContextRequirements() override;

  // ---- edit controller ----
  sb::tresult setControllerState(sb::IBStream* stream) override;
  sb::tresult getControllerState(sb::IBStream* stream) override;
  sb::tresult PLUGIN_API getParameterInfo(sb::int32 paramIndex, sv::ParameterInfo& info) override;
  sb::tresult PLUGIN_API getParamStringByValue(sv::ParamID id, sv::ParamValue normalized,
                                               sv::String128 out) override;
  sb::tresult PLUGIN_API getParamValueByString(sv::ParamID id, sv::TChar* text,
                                               sv::ParamValue& normalized) override;
  sv::ParamValue PLUGIN_API normalizedParamToPlain(sv::ParamID id, sv::ParamValue normalized) override;
  sv::ParamValue PLUGIN_API plainParamToNormalized(sv::ParamID id, sv::ParamValue plain) override;
  sv::ParamValue PLUGIN_API getParamNormalized(sv::ParamID id) override;
  sb::tresult PLUGIN_API setParamNormalized(sv::ParamID id, sv::ParamValue value) override;
  sb::IPlugView* PLUGIN_API createView(sb::FIDString name) override;
  sb::tresult PLUGIN_API setKnobMode(sv::KnobMode mode) override;
  sb::tresult PLUGIN_API openHelp(sb::TBool) override { return sb::kResultFalse; }
  sb::tresult PLUGIN_API openAboutBox(sb::TBool) override { return sb::kResultFalse; }

  // ---- unit information ----
  sb::int32 PLUGIN_API getUnitCount() override;
  sb::tresult PLUGIN_API getUnitInfo(sb::int32 unitIndex, sv::UnitInfo& info) override;
  sb::int32 PLUGIN_API getProgramListCount() override;
  sb::tresult PLUGIN_API getProgramListInfo(sb::int32 listIndex, sv::ProgramListInfo& info) override;
  sb::tresult PLUGIN_API getProgramName(sv::ProgramListID listId, sb::int32 programIndex,
                                        sv::String128 name) override;
  sb::tresult PLUGIN_API getProgramInfo(sv::ProgramListID, sb::int32, sv::CString, sv::String128) override {
    return sb::kNotImplemented;
  }
  sb::tresult PLUGIN_API hasProgramPitchNames(sv::ProgramListID, sb::int32) override { return sb::kNotImplemented; }
  sb::tresult PLUGIN_API getProgramPitchName(sv::ProgramListID, sb::int32, sb::int16, sv::String128) override {
    return sb::kNotImplemented;
  }
  sv::UnitID PLUGIN_API getSelectedUnit() override { return 0; }
  sb::tresult PLUGIN_API selectUnit(sv::UnitID) override { return sb::kNotImplemented; }
  sb::tresult PLUGIN_API getUnitByBus(sv::MediaType, sv::BusDirection, sb::int32, sb::int32, sv::UnitID&) override {
    return sb::kNotImplemented;
  }
  sb::tresult PLUGIN_API setUnitProgramData(sb::int32, sb::int32, sb::IBStream*) override {
    return sb::kNotImplemented;
  }

  // ---- host-facing operations of the plug-in base ----
  void BeginParamEdit(int paramIdx) override;
  void ReportParamEdit(int paramIdx, double normalized) override;
  void EndParamEdit(int paramIdx) override;
  void SetLatencySamples(int samples) override;
  int64_t HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void ResizeEditor(int width, int height) override;
  bool SendMidiMessage(const MidiMessage& msg) override;
  bool IsOfflineRender() override;
  int TransportState() override;
  void FillTransportInfo(TransportInfo* out) override;

  // ---- editor views ----
  // The attached graphics object, or none.
  IGraphics* EditorGraphics() const;
  // Open views in creation order (not owned); a view leaves when destroyed.
  const std::vector<IVST3View*>& Views() const { return views_; }
  void RemoveView(IVST3View* view);
  // The editor is one window per instance: one view at a time holds it,
  // from its attach to its removal (or destruction). Claiming succeeds when
  // no view or this one holds it; only the holder lets go.
  bool ClaimEditor(IVST3View* view);
  void LetGoOfEditor(IVST3View* view);
  bool HoldsEditor(const IVST3View* view) const { return view && editorHolder_ == view; }

  // The editor view's entry points check their thread with the adapter's.
  void EnteredFromUi(const char* call) { threadCheck_.Enter(HostThread::kUi, call); }

  const sv::ProcessContext& HostContext() const { return context_; }
  sv::KnobMode KnobMode() const { return knobMode_; }

  OBJ_METHODS(IVST3Adapter, SingleComponentEffect)
  DEFINE_INTERFACES
    DEF_INTERFACE(sv::IUnitInfo)
    DEF_INTERFACE(sv::IProcessContextRequirements)
  END_DEFINE_INTERFACES(SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

 private:
  sb::tresult ArrangeBusses(sv::SpeakerArrangement* inputs, sb::int32 numIns, sv::SpeakerArrangement* outputs,
                           sb::int32 numOuts);
  void AddBusses();
  void AddParameters();
  // Audio thread; true when a preset was selected through the program parameter.
  bool ApplyParameterChanges(sv::IParameterChanges* changes);
  // Audio thread: every parameter's current value as an output change.
  void ReportAllParams(sv::IParameterChanges* out);
  void ForwardNoteEvents(sv::IEventList* events);               // audio thread
  void ConnectOutputs(sv::ProcessData& data, int offset);       // audio thread
  void RenderFrames(int frames);                                // audio thread
  // Audio thread: zeros in every channel buffer the host passed, by the
  // block's own sample size.
  static void SilenceHostOutputsRT(sv::ProcessData& data, int frames);
  int PresetIndexFromNormalized(double x) const;

  int sideChainChannels_;
  bool sideChainActive_ = false;
  bool initialized_ = false;  // between a successful initialize and terminate; under the plug-in lock
  sv::ProcessContext context_{};
  sv::KnobMode knobMode_ = sv::kCircularMode;
  std::vector<IVST3View*> views_;
  IVST3View* editorHolder_ = nullptr;  // the attached view, if any
  HostThreadCheck threadCheck_;
};

}  // namespace selvarin
