#pragma once
// The plug-in as this application hosts it: the module linked into the
// executable, entered and asked for its factory as a host would, one
// instance driven only through its VST3 interfaces (component, processor,
// controller, view, state), a transport that stands still at a tempo, and
// the parameter changes the window makes, delivered to the processor in the
// next block as a DAW delivers them.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/render/param_resolve.h"
#include "tools/standalone/param_ring.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/hosted_plugin.h"

namespace selvarin {

class PluginSession {
 public:
  explicit PluginSession(double tempo);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Enters the module, creates and initialises the instance.
  bool Create(std::string* error);

  // ---- what the instance offers (after Create) ----
  const std::vector<CatalogParam>& Catalog() const { return catalog_; }
  // The program list in order; entry i is chosen as program i.
  const std::vector<std::string>& Programs() const { return programs_; }
  // The parameter a parameter title names; -1 when none does.
  int64_t ParamIdByTitle(const std::string& title) const;
  double PlainToNormalized(uint32_t id, double plain) const;

  // ---- UI thread ----
  // Processing set-up for a rate and the largest block, then active.
  bool Prepare(double sampleRate, int maxFrames);
  // Whether the audio thread calls ProcessOnAudioThread from now on. While
  // it does not, changes are processed on this thread at once (a block of
  // no samples), so the editor follows them without any audio device.
  void SetAudioThreadRunning(bool running);
  // A change the application makes (a key, a preset, a start setting): to
  // the controller now, to the processor with the next block.
  void SetParam(uint32_t id, double normalized);
  double ParamNormalized(uint32_t id) const;
  void ChooseProgram(int index);
  bool SaveState(std::vector<uint8_t>* out) const;
  // False with a reason when the plug-in did not take the state whole.
  bool RestoreState(const std::vector<uint8_t>& bytes, std::string* error);
  // The editor view (a reference for the caller), or null.
  Steinberg::IPlugView* CreateEditorView();
  // Called for each value the editor sends (after it went to the processor).
  std::function<void(uint32_t id, double normalized)> onEditorEdit;

  // ---- audio thread ----
  // Renders `frames` samples into the two channels; never allocates, locks
  // (beyond the plug-in's own lock) or waits for the window.
  void ProcessOnAudioThread(float* const* channels, int frames);

 private:
  class EditHandler;
  void ForwardEdit(uint32_t id, double normalized);
  void Process(float* const* channels, int frames);

  HostApp hostApp_{"Selvarin"};
  HostedPlugin plugin_;
  Steinberg::IPluginFactory* factory_ = nullptr;
  bool entered_ = false;
  EditHandler* handler_ = nullptr;
  std::vector<CatalogParam> catalog_;
  std::vector<std::string> programs_;
  uint32_t programParam_ = 0;
  bool hasProgramParam_ = false;

  double tempo_;
  double sampleRate_ = 48000.0;
  int maxFrames_ = 0;
  std::atomic<bool> audioThreadRunning_{false};
  ParamRing<1024> ring_;
  // The audio thread's (or, while it does not run, the UI thread's).
  HostParamChanges changes_;
  HostParamChanges noChanges_{1};
  Steinberg::Vst::ProcessContext context_{};
  Steinberg::Vst::AudioBusBuffers bus_{};
  Steinberg::Vst::ProcessData data_{};
  float* channels_[2] = {nullptr, nullptr};
  float idle_[2][1] = {{0.0f}, {0.0f}};  // where a block of no samples points
};

}  // namespace selvarin
