#include "vst3/vst3_adapter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "graphics/igraphics.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/vstparameters.h"
#include "vst3/text16.h"
#include "vst3/vst3_parameter.h"
#include "vst3/vst3_view.h"

namespace selvarin {

namespace {

// Scratch buffers are sized to the host's maximum block, but never beyond
// this; longer blocks are rendered in pieces of this length.
constexpr int kMaxScratchFrames = 1 << 16;

// Sample rates a set-up may ask for: beyond these no host runs, and the
// derived increments lose all meaning (or their finiteness).
constexpr double kMinSampleRate = 1.0;
constexpr double kMaxSampleRate = 10e6;

int ChannelCount(sv::SpeakerArrangement arr) {
  int n = 0;
  for (uint64_t bits = arr; bits; bits &= bits - 1) ++n;
  return n;
}

// Puts a bus of `channels` channels in place of bus `index` when that one has
// another width; an absent bus stays absent.
void ReplaceBusOfOtherWidth(sv::BusList& busses, size_t index, const char* name, sv::BusType type,
                            sb::int32 flags, int channels) {
  if (busses.size() <= index) return;
  auto* bus = sb::FCast<sv::AudioBus>(busses.at(index));
  if (!bus || ChannelCount(bus->getArrangement()) == channels) return;
  sv::String128 wide;
  Widen8(name, wide, 128);
  busses[index] = sb::IPtr<sv::Bus>(new sv::AudioBus(wide, type, flags, ArrangementForChannels(channels)), false);
}

}  // namespace

sv::SpeakerArrangement ArrangementForChannels(int n) {
  switch (n) {
    case 1: return sv::SpeakerArr::kMono;
    case 2: return sv::SpeakerArr::kStereo;
    case 3: return 0x103;
    case 4: return 0xF00000;
    case 5: return 0x37;
    case 6: return 0x3F;
    default: return 0;
  }
}

IVST3Adapter::IVST3Adapter(const InstanceInfo& /*info*/, int nParams, const char* channelIOStr, int nPresets,
                           const char* effectName, const char* productName, const char* mfrName,
                           int32_t vendorVersion, int32_t uniqueCode, int32_t mfrCode, int latency, bool doesMidi,
                           bool doesChunks, bool isInstrument, int sideChainChannels)
    : IAudioPlugin(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueCode,
                   mfrCode, latency, doesMidi, doesChunks, isInstrument, /*apiId=*/1),
      sideChainChannels_(sideChainChannels) {
  SetInputConnections(0, NInChannels(), true);
  SetOutputConnections(0, NOutChannels(), true);
  SetInputBusLabel(0, "Main Input");
  if (sideChainChannels_ != 0) SetInputBusLabel(1, "Aux Input");
  if (IsInstrument()) {
    char label[32];
    for (int j = 0; j * 2 < NOutChannels(); ++j) {
      std::snprintf(label, sizeof label, "Output %i", j + 1);
      SetOutputBusLabel(j, label);
    }
  } else {
    SetOutputBusLabel(0, "Output");
  }
}

IVST3Adapter::~IVST3Adapter() = default;

sb::tresult PLUGIN_API IVST3Adapter::initialize(sb::FUnknown* context) {
  threadCheck_.Enter(HostThread::kUi, "initialize");
  const sb::tresult result = SingleComponentEffect::initialize(context);

  sb::FUnknownPtr<sv::IHostApplication> app(context);
  if (app) {
    sv::String128 name16 = {};
    if (app->getName(name16) == sb::kResultOk) {
      name16[127] = 0;
      char name[129];
      Narrow16(name16, name, sizeof name, 128);
      IdentifyHost(name, 0);
    }
  }

  if (result != sb::kResultOk) {
    OnHostKnown();
    return result;
  }
  try {
    AddBusses();
    AddParameters();
  } catch (...) {
    return sb::kOutOfMemory;  // nothing may leave towards the host as an exception
  }
  {
    ScopedLock lock(Mutex());
    initialized_ = true;
  }
  OnHostKnown();
  return result;
}

void IVST3Adapter::AddBusses() {
  sv::String128 name;
  const int mainInputs = NInChannels() - sideChainChannels_;
  if (mainInputs >= 1 && mainInputs <= 6) {
    Widen8(InputBusLabel(0), name, 128);
    addAudioInput(name, ArrangementForChannels(mainInputs), sv::kMain, sv::BusInfo::kDefaultActive);
  }
  if (IsInstrument()) {
    for (int j = 0; j * 2 < NOutChannels(); ++j) {
      Widen8(OutputBusLabel(j), name, 128);
      addAudioOutput(name, sv::SpeakerArr::kStereo, sv::kMain, sv::BusInfo::kDefaultActive);
    }
  } else {
    Widen8(OutputBusLabel(0), name, 128);
    addAudioOutput(name, ArrangementForChannels(NOutChannels()), sv::kMain, sv::BusInfo::kDefaultActive);
  }
  if (sideChainChannels_ != 0) {
    if (sideChainChannels_ > 2) sideChainChannels_ = 2;
    Widen8(InputBusLabel(1), name, 128);
    addAudioInput(name, sideChainChannels_ == 1 ? sv::SpeakerArr::kMono : sv::SpeakerArr::kStereo, sv::kAux, 0);
  }
  if (DoesMidi()) {
    Widen8("MIDI Input", name, 128);
    addEventInput(name, 1, sv::kMain, sv::BusInfo::kDefaultActive);
  }
}

void IVST3Adapter::AddParameters() {
  if (PresetCount() > 0) {
    sv::String128 title;
    Widen8("Presets", title, 128);
    auto* list = new sv::StringListParameter(title, kPresetParamId, nullptr,
                                             sv::ParameterInfo::kIsProgramChange | sv::ParameterInfo::kIsList,
                                             sv::kRootUnitId);
    sv::String128 empty = {};
    for (int i = 0; i < PresetCount(); ++i) list->appendString(empty);
    parameters.addParameter(list);  // the container takes over the reference
  }
  std::vector<const char*>& groups = ParamGroups();
  for (int i = 0; i < NParams(); ++i) {
    IParamEntry* entry = Param(i);
    sv::UnitID unit = sv::kRootUnitId;
    const char* group = entry->Group();
    if (group && group[0]) {
      size_t g = 0;
      while (g < groups.size() && std::strcmp(groups[g], group) != 0) ++g;
      if (g == groups.size()) groups.push_back(group);
      unit = static_cast<sv::UnitID>(g + 1);
    }
    auto* param = new IVST3Parameter(entry, static_cast<sv::ParamID>(i), unit);
    parameters.addParameter(param);
    OnParameterChanged(i);
  }
}

sb::tresult PLUGIN_API IVST3Adapter::terminate() {
  threadCheck_.Enter(HostThread::kUi, "terminate");
  views_.clear();  // views still held by the host leave on their own
  // The busses go: processing must not run meanwhile, nor render after.
  ScopedLock lock(Mutex());
  initialized_ = false;
  return SingleComponentEffect::terminate();
}

sb::tresult PLUGIN_API IVST3Adapter::setActive(sb::TBool state) {
  threadCheck_.Enter(HostThread::kUi, "setActive");
  threadCheck_.ForgetAudioThread();
  OnActiveChanged(state != 0);
  return sb::kResultOk;
}

sb::tresult PLUGIN_API IVST3Adapter::setBusArrangements(sv::SpeakerArrangement* inputs, sb::int32 numIns,
                                                        sv::SpeakerArrangement* outputs, sb::int32 numOuts) {
  threadCheck_.Enter(HostThread::kUi, "setBusArrangements");
  try {
    return ArrangeBusses(inputs, numIns, outputs, numOuts);
  } catch (...) {
    return sb::kOutOfMemory;
  }
}

sb::tresult IVST3Adapter::ArrangeBusses(sv::SpeakerArrangement* inputs, sb::int32 numIns,
                                        sv::SpeakerArrangement* outputs, sb::int32 numOuts) {
  ScopedLock lock(Mutex());
  SetInputConnections(0, NInChannels(), false);
  SetOutputConnections(0, NOutChannels(), false);
  const int nIn = numIns > 0 && inputs ? ChannelCount(inputs[0]) : 0;
  const int nOut = numOuts > 0 && outputs ? ChannelCount(outputs[0]) : 0;

  bool match = false;
  for (int c = 0; c < NChannelConfigs() && !match; ++c) {
    const ChannelConfig* cfg = GetChannelConfig(c);
    match = cfg && cfg->inputs == nIn && cfg->outputs == nOut;
  }
  if (!match) return sb::kResultFalse;

  ReplaceBusOfOtherWidth(audioInputs_, 0, "Input", sv::kMain, sv::BusInfo::kDefaultActive, nIn);
  ReplaceBusOfOtherWidth(audioOutputs_, 0, "Output", sv::kMain, sv::BusInfo::kDefaultActive, nOut);

  if (sideChainChannels_ == 0) {
    // One main input bus of a matching configuration is accepted, and so is
    // the layout the plug-in already has: as many input busses as it has
    // (none for an instrument) and as many output busses.
    if (numIns == 1) return sb::kResultOk;
    const bool insOk = numIns == static_cast<sb::int32>(audioInputs_.size());
    const bool outsOk = numOuts == static_cast<sb::int32>(audioOutputs_.size());
    return insOk && outsOk ? sb::kResultOk : sb::kResultFalse;
  }
  if (numIns != 2) return sb::kResultFalse;
  const int nSide = inputs ? ChannelCount(inputs[1]) : 0;
  ReplaceBusOfOtherWidth(audioInputs_, 1, "Sidechain Input", sv::kAux, 0, nSide);
  return sb::kResultOk;
}

sb::uint32 PLUGIN_API IVST3Adapter::getLatencySamples() {
  return static_cast<sb::uint32>(Latency() > 0 ? Latency() : 0);
}

sb::uint32 PLUGIN_API IVST3Adapter::getTailSamples() {
  return static_cast<sb::uint32>(TailLength() > 0 ? TailLength() : 0);
}

sb::tresult PLUGIN_API IVST3Adapter::setupProcessing(sv::ProcessSetup& setup) {
  threadCheck_.Enter(HostThread::kUi, "setupProcessing");
  threadCheck_.ForgetAudioThread();
  if (setup.symbolicSampleSize != sv::kSample32 && setup.symbolicSampleSize != sv::kSample64)
    return sb::kResultFalse;
  // A rate the tone cannot be derived from is refused and changes nothing.
  if (!(setup.sampleRate >= kMinSampleRate && setup.sampleRate <= kMaxSampleRate)) return sb::kResultFalse;
  ScopedLock lock(Mutex());
  SetBypassed(false);
  SetSampleRate(setup.sampleRate);
  int frames = setup.maxSamplesPerBlock;
  if (frames < 1) frames = 1;
  if (frames > kMaxScratchFrames) frames = kMaxScratchFrames;
  SetMaxBlockSize(frames);
  OnReset();
  processSetup_ = setup;
  return sb::kResultOk;
}

sb::uint32 PLUGIN_API IVST3Adapter::getProcessContextRequirements() {
  using R = sv::IProcessContextRequirements::Flags;
  return R::kNeedTempo | R::kNeedTransportState | R::kNeedProjectTimeMusic | R::kNeedBarPositionMusic |
         R::kNeedTimeSignature;
}

sb::IPlugView* PLUGIN_API IVST3Adapter::createView(sb::FIDString name) {
  threadCheck_.Enter(HostThread::kUi, "createView");
  if (!name || std::strcmp(name, sv::ViewType::kEditor) != 0) return nullptr;
  IVST3View* view = nullptr;
  try {
    view = new IVST3View(this);  // holds a reference on this adapter
    views_.push_back(view);
  } catch (...) {
    if (view) view->release();  // out of memory: nothing is left behind
    return nullptr;
  }
  return view;
}

IGraphics* IVST3Adapter::EditorGraphics() const { return dynamic_cast<IGraphics*>(Editor()); }

void IVST3Adapter::RemoveView(IVST3View* view) {
  const auto it = std::find(views_.begin(), views_.end(), view);
  if (it != views_.end()) views_.erase(it);
  LetGoOfEditor(view);
}

bool IVST3Adapter::ClaimEditor(IVST3View* view) {
  if (!view || (editorHolder_ && editorHolder_ != view)) return false;
  editorHolder_ = view;
  return true;
}

void IVST3Adapter::LetGoOfEditor(IVST3View* view) {
  if (view && editorHolder_ == view) editorHolder_ = nullptr;
}

sb::tresult PLUGIN_API IVST3Adapter::setKnobMode(sv::KnobMode mode) {
  knobMode_ = mode;
  return sb::kResultOk;
}

// ---- host-facing operations of the plug-in base ----

void IVST3Adapter::BeginParamEdit(int paramIdx) {
  if (componentHandler) componentHandler->beginEdit(static_cast<sv::ParamID>(paramIdx));
}

void IVST3Adapter::ReportParamEdit(int paramIdx, double normalized) {
  if (componentHandler) componentHandler->performEdit(static_cast<sv::ParamID>(paramIdx), normalized);
}

void IVST3Adapter::EndParamEdit(int paramIdx) {
  if (componentHandler) componentHandler->endEdit(static_cast<sv::ParamID>(paramIdx));
}

void IVST3Adapter::SetLatencySamples(int samples) {
  IAudioPlugin::SetLatencySamples(samples);
  if (!componentHandler) return;
  sb::FUnknownPtr<sv::IComponentHandler> handler(componentHandler);
  if (handler) handler->restartComponent(sv::kLatencyChanged);
}

int64_t IVST3Adapter::HostSamplePosition() { return context_.projectTimeSamples; }

double IVST3Adapter::HostTempo() { return context_.tempo; }

void IVST3Adapter::HostTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = context_.timeSigNumerator;
  if (denominator) *denominator = context_.timeSigDenominator;
}

void IVST3Adapter::ResizeEditor(int width, int height) {
  // The first view speaks for the editor; its host answers through onSize.
  if (EditorGraphics() && !views_.empty() && views_.front()->HasFrame()) views_.front()->RequestResize(width, height);
}

bool IVST3Adapter::SendMidiMessage(const MidiMessage& /*msg*/) { return false; }

bool IVST3Adapter::IsOfflineRender() { return processSetup_.processMode == sv::kOffline; }

int IVST3Adapter::TransportState() {
  if (context_.state & sv::ProcessContext::kPlaying) return kTransportPlaying;
  if (context_.state & sv::ProcessContext::kRecording) return kTransportRecording;
  return kTransportStopped;
}

void IVST3Adapter::FillTransportInfo(TransportInfo* out) {
  if (!out) return;
  out->tempo = context_.tempo;
  out->samplePosition = static_cast<double>(context_.projectTimeSamples);
  out->quarterNotePosition = context_.projectTimeMusic;
  out->lastBarStart = context_.barPositionMusic;
  out->cycleStart = context_.cycleStartMusic;
  out->cycleEnd = context_.cycleEndMusic;
  out->numerator = context_.timeSigNumerator;
  out->denominator = context_.timeSigDenominator;
  out->transportRunning = (context_.state & sv::ProcessContext::kPlaying) != 0;
  out->cycleActive = (context_.state & sv::ProcessContext::kCycleActive) != 0;
}

int IVST3Adapter::PresetIndexFromNormalized(double x) const {
  return static_cast<int>((PresetCount() - 1) * x + 0.5);
}

}  // namespace selvarin
