#include "tools/standalone/plugin_session.h"

#include <algorithm>
#include <cstring>

#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"
#include "tools/render/param_catalog.h"
#include "tools/vst3host/host_transport.h"
#include "vst3/module_entry_platform.h"

namespace selvarin {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

// What the editor edits reaches the host here, on the UI thread.
class PluginSession::EditHandler : public sv::IComponentHandler {
 public:
  explicit EditHandler(PluginSession* session) : session_(session) {}
  virtual ~EditHandler() = default;
  sb::tresult PLUGIN_API beginEdit(sv::ParamID) override { return sb::kResultOk; }
  sb::tresult PLUGIN_API performEdit(sv::ParamID id, sv::ParamValue v) override {
    session_->ForwardEdit(id, v);
    return sb::kResultOk;
  }
  sb::tresult PLUGIN_API endEdit(sv::ParamID) override { return sb::kResultOk; }
  sb::tresult PLUGIN_API restartComponent(sb::int32) override { return sb::kResultOk; }
  SELVARIN_HOST_OWNED_UNKNOWN(sv::IComponentHandler)

 private:
  PluginSession* session_;
};

PluginSession::PluginSession(double tempo) : tempo_(tempo) {
  bus_.numChannels = 2;
  bus_.channelBuffers32 = channels_;
  data_.symbolicSampleSize = sv::kSample32;
  data_.processMode = sv::kRealtime;
  data_.numOutputs = 1;
  data_.outputs = &bus_;
  data_.processContext = &context_;
}

PluginSession::~PluginSession() {
  if (plugin_.controller) plugin_.controller->setComponentHandler(nullptr);
  plugin_.Destroy();
  delete handler_;
  if (factory_) factory_->release();
  if (entered_) ExitDll();
}

bool PluginSession::Create(std::string* error) {
  entered_ = InitDll();
  if (!entered_) {
    *error = "the plug-in module did not start";
    return false;
  }
  factory_ = GetPluginFactory();
  if (!plugin_.Create(factory_, &hostApp_, error)) return false;
  // As a host sets up an instrument: stereo out, its busses switched on.
  sv::SpeakerArrangement stereo = sv::SpeakerArr::kStereo;
  plugin_.processor->setBusArrangements(nullptr, 0, &stereo, 1);
  plugin_.component->activateBus(sv::kAudio, sv::kOutput, 0, true);
  if (plugin_.component->getBusCount(sv::kEvent, sv::kInput) > 0)
    plugin_.component->activateBus(sv::kEvent, sv::kInput, 0, true);
  handler_ = new EditHandler(this);
  plugin_.controller->setComponentHandler(handler_);
  catalog_ = BuildCatalog(plugin_);
  programs_ = plugin_.ProgramNames();
  for (const HostParamInfo& p : plugin_.Parameters()) {
    if (p.flags & sv::ParameterInfo::kIsProgramChange) {
      programParam_ = p.id;
      hasProgramParam_ = true;
    }
  }
  return true;
}

int64_t PluginSession::ParamIdByTitle(const std::string& title) const {
  for (const CatalogParam& p : catalog_)
    if (p.title == title) return p.id;
  return -1;
}

double PluginSession::PlainToNormalized(uint32_t id, double plain) const {
  return plugin_.controller ? plugin_.controller->plainParamToNormalized(id, plain) : 0.0;
}

bool PluginSession::Prepare(double sampleRate, int maxFrames) {
  if (!plugin_.processor) return false;
  plugin_.processor->setProcessing(false);
  plugin_.SetActive(false);
  if (!plugin_.Setup(sampleRate, maxFrames, sv::kSample32, sv::kRealtime)) return false;
  sampleRate_ = sampleRate;
  maxFrames_ = maxFrames;
  if (!plugin_.SetActive(true)) return false;
  plugin_.processor->setProcessing(true);
  return true;
}

void PluginSession::SetAudioThreadRunning(bool running) {
  audioThreadRunning_.store(running, std::memory_order_release);
  // What piled up while nothing processed goes through now.
  if (!running) Process(nullptr, 0);
}

void PluginSession::SetParam(uint32_t id, double normalized) {
  if (!plugin_.controller) return;
  plugin_.controller->setParamNormalized(id, normalized);
  ring_.Push(ParamChange{id, normalized});
  if (!audioThreadRunning_.load(std::memory_order_acquire)) Process(nullptr, 0);
}

void PluginSession::ForwardEdit(uint32_t id, double normalized) {
  ring_.Push(ParamChange{id, normalized});
  if (!audioThreadRunning_.load(std::memory_order_acquire)) Process(nullptr, 0);
  if (onEditorEdit) onEditorEdit(id, normalized);
}

double PluginSession::ParamNormalized(uint32_t id) const {
  return plugin_.controller ? plugin_.controller->getParamNormalized(id) : 0.0;
}

void PluginSession::ChooseProgram(int index) {
  if (!hasProgramParam_ || programs_.size() < 2 || index < 0 || index >= static_cast<int>(programs_.size())) return;
  SetParam(programParam_, static_cast<double>(index) / static_cast<double>(programs_.size() - 1));
}

bool PluginSession::SaveState(std::vector<uint8_t>* out) const {
  if (!plugin_.component) return false;
  sb::MemoryStream stream;
  if (plugin_.component->getState(&stream) != sb::kResultOk) return false;
  const sb::TSize n = stream.getSize();
  const char* bytes = stream.getData();
  out->assign(bytes, bytes + n);
  return true;
}

bool PluginSession::RestoreState(const std::vector<uint8_t>& bytes, std::string* error) {
  if (!plugin_.component) return false;
  sb::MemoryStream stream;
  sb::int32 written = 0;
  stream.write(const_cast<uint8_t*>(bytes.data()), static_cast<sb::int32>(bytes.size()), &written);
  stream.seek(0, sb::IBStream::kIBSeekSet, nullptr);
  const bool ok = plugin_.component->setState(&stream) == sb::kResultOk;
  // A single-component plug-in's controller shares the component's values;
  // it hears of the state as a host tells every controller.
  stream.seek(0, sb::IBStream::kIBSeekSet, nullptr);
  plugin_.controller->setComponentState(&stream);
  if (!ok) *error = "the plug-in did not accept the saved sound";
  return ok;
}

sb::IPlugView* PluginSession::CreateEditorView() {
  return plugin_.controller ? plugin_.controller->createView(sv::ViewType::kEditor) : nullptr;
}

void PluginSession::ProcessOnAudioThread(float* const* channels, int frames) { Process(channels, frames); }

void PluginSession::Process(float* const* channels, int frames) {
  if (!plugin_.processor) return;
  changes_.Clear();
  ParamChange c;
  // A change that finds its queue full waits for the next block.
  while (ring_.Peek(&c) && changes_.Add(c.id, 0, c.value)) ring_.Pop();
  HostTransport transport;
  transport.sampleRate = sampleRate_;
  transport.tempo = tempo_;
  transport.playing = false;  // a stopped transport: the sound follows PLAY
  FillContext(&context_, transport, 0);
  if (frames <= 0 || !channels) {
    channels_[0] = idle_[0];
    channels_[1] = idle_[1];
    data_.numSamples = 0;
    data_.inputParameterChanges = &changes_;
    plugin_.processor->process(data_);
    return;
  }
  const int block = maxFrames_ > 0 ? maxFrames_ : frames;
  for (int done = 0; done < frames;) {
    const int n = std::min(block, frames - done);
    channels_[0] = channels[0] + done;
    channels_[1] = channels[1] + done;
    data_.numSamples = n;
    data_.inputParameterChanges = done == 0 ? &changes_ : &noChanges_;
    if (plugin_.processor->process(data_) != sb::kResultOk) {
      std::memset(channels_[0], 0, sizeof(float) * static_cast<size_t>(n));
      std::memset(channels_[1], 0, sizeof(float) * static_cast<size_t>(n));
    }
    done += n;
  }
}

}  // namespace selvarin
