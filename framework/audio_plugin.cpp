#include "framework/audio_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/bounded_copy.h"

namespace selvarin {

IAudioPlugin::IAudioPlugin(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                           const char* productName, const char* mfrName, int32_t vendorVersion, int32_t uniqueCode,
                           int32_t mfrCode, int latency, bool doesMidi, bool doesChunks, bool isInstrument, int apiId)
    : isInstrument_(isInstrument),
      latency_(latency),
      uniqueCode_(uniqueCode),
      mfrCode_(mfrCode),
      version_(vendorVersion),
      apiId_(apiId),
      doesChunks_(doesChunks),
      doesMidi_(doesMidi ? 1 : 0) {
  for (int i = 0; i < nParams; ++i) params_.push_back(std::make_unique<IParamEntry>());
  for (int i = 0; i < nPresets; ++i) {
    auto slot = std::make_unique<PresetSlot>();
    std::snprintf(slot->name, sizeof(slot->name), "- %d -", i + 1);
    presets_.push_back(std::move(slot));
  }
  CopyBounded(effectName_, effectName);
  CopyBounded(productName_, productName);
  CopyBounded(mfrName_, mfrName);

  // "in-out" tokens separated by blanks; a missing number reads as 0.
  int maxIn = 0, maxOut = 0;
  const char* p = channelIOStr;
  while (p && *p) {
    ChannelConfig cfg;
    char* end = nullptr;
    long in = std::strtol(p, &end, 10);
    if (end != p) {
      cfg.inputs = static_cast<int32_t>(in);
      p = end;
    }
    if (*p == '-') {
      ++p;
      long out = std::strtol(p, &end, 10);
      if (end != p) {
        cfg.outputs = static_cast<int32_t>(out);
        p = end;
      }
    }
    if (cfg.inputs < 0) cfg.inputs = 0;
    if (cfg.outputs < 0) cfg.outputs = 0;
    channelConfigs_.push_back(cfg);
    if (cfg.inputs > maxIn) maxIn = cfg.inputs;
    if (cfg.outputs > maxOut) maxOut = cfg.outputs;
    p = std::strchr(p, ' ');
    if (p) ++p;
  }

  inPtrs_.assign(static_cast<size_t>(maxIn), nullptr);
  outPtrs_.assign(static_cast<size_t>(maxOut), nullptr);
  inChannels_.resize(static_cast<size_t>(maxIn));
  outChannels_.resize(static_cast<size_t>(maxOut));
  for (int i = 0; i < maxIn; ++i) inChannels_[static_cast<size_t>(i)].slot = &inPtrs_[static_cast<size_t>(i)];
  for (int i = 0; i < maxOut; ++i) outChannels_[static_cast<size_t>(i)].slot = &outPtrs_[static_cast<size_t>(i)];
}

IAudioPlugin::~IAudioPlugin() {
  delete editor_;
  editor_ = nullptr;
}

// ---- hooks ----

void IAudioPlugin::OnReset() { ScopedLock lock(mutex_); }
void IAudioPlugin::OnParameterChanged(int) { ScopedLock lock(mutex_); }

void IAudioPlugin::OnParameterChangedLocked(int paramIdx, double) {
  ScopedLock lock(mutex_);
  OnParameterChanged(paramIdx);
}

void IAudioPlugin::RenderBlock(double** inputs, double** outputs, int frames) { PassThrough(inputs, outputs, frames); }

void IAudioPlugin::OnActiveChanged(bool) { ScopedLock lock(mutex_); }

bool IAudioPlugin::GetNoteName(int, char* out) {
  if (out) out[0] = '\0';
  return false;
}

intptr_t IAudioPlugin::OnWindowColorMessage(uintptr_t, intptr_t, unsigned) { return 0; }
void IAudioPlugin::OnStateStringRestored(int, int) { ScopedLock lock(mutex_); }
void IAudioPlugin::OnParamMouseOver(int) { ScopedLock lock(mutex_); }

bool IAudioPlugin::ShouldRestoreParam(int, int) {
  ScopedLock lock(mutex_);
  return true;
}

void IAudioPlugin::OnEditorSizeChanged(int, int, int, int) {}

bool IAudioPlugin::SendMidiMessages(const MidiMessage* msgs, int count) {
  bool ok = true;
  for (int i = 0; i < count && msgs; ++i) ok = SendMidiMessage(msgs[i]) && ok;
  return ok;
}

bool IAudioPlugin::SendSysEx(const void*, int) { return false; }

// ---- editor path ----

void IAudioPlugin::AttachEditor(EditorLink* editor) {
  ScopedLock lock(mutex_);
  if (editor) {
    for (int i = 0; i < NParams(); ++i) editor->PushParamToControls(i, Param(i)->NormalizedValue(), true);
    editor->PrepareSurface();
  }
  if (editor_ != editor) delete editor_;
  editor_ = editor;
}

void IAudioPlugin::SetParameterFromEditor(int paramIdx, double normalized) {
  IParamEntry* p = Param(paramIdx);
  if (!p) return;
  ScopedLock lock(mutex_);
  p->SetFromNormalized(normalized);
  ReportParamEdit(paramIdx, normalized);
  OnParameterChanged(paramIdx);
}

void IAudioPlugin::SetParameterFromEngine(int paramIdx, double value) {
  IParamEntry* p = Param(paramIdx);
  if (!p) return;
  ScopedLock lock(mutex_);
  BeginParamEdit(paramIdx);
  p->SetFromReal(value);
  const double normalized = p->NormalizedValue();
  if (editor_) {
    editor_->ForwardControlValue(paramIdx, normalized);
  } else {
    ReportParamEdit(paramIdx, normalized);
    OnParameterChanged(paramIdx);
  }
  EndParamEdit(paramIdx);
}

void IAudioPlugin::DeferEndParamEdit(int paramIdx) {
  ScopedLock lock(mutex_);
  if (editor_) {
    pendingEndEdit_ = paramIdx;
    const int half = editor_->FrameRate() / 2;
    editor_->StartEditEndTimer(half > 1 ? half : 1);
  } else {
    EndParamEdit(paramIdx);
  }
}

void IAudioPlugin::FlushDeferredEndEdit() {
  ScopedLock lock(mutex_);
  if (editor_) editor_->CancelEditEndTimer();
  if (pendingEndEdit_ >= 0) {
    EndParamEdit(pendingEndEdit_);
    pendingEndEdit_ = -1;
  }
}

void IAudioPlugin::PushParamsToEditor() {
  if (!editor_) return;
  for (int i = 0; i < NParams(); ++i) editor_->PushParamToControls(i, Param(i)->Value(), false);
}

// ---- host information ----

void IAudioPlugin::IdentifyHost(const char* name, int version) {
  hostId_ = HostIdFromName(name);
  hostVersion_ = version;
}

void IAudioPlugin::VersionString(char out[16]) const {
  std::snprintf(out, 16, "v%d.%02d", static_cast<int>(static_cast<uint32_t>(version_) >> 16),
                static_cast<int>((version_ >> 8) & 0xFF));
}

double IAudioPlugin::SamplesPerBeat() {
  const double tempo = HostTempo();
  return tempo > 0.0 ? sampleRate_ * 60.0 / tempo : 0.0;
}

// ---- bus labels and accessors ----

namespace {
void SetLabel(std::vector<std::vector<char>>& labels, int idx, const char* label) {
  if (idx < 0) return;
  if (labels.size() <= static_cast<size_t>(idx)) labels.resize(static_cast<size_t>(idx) + 1);
  const size_t n = label ? std::strlen(label) : 0;
  labels[static_cast<size_t>(idx)].assign(label ? label : "", (label ? label : "") + n);
  labels[static_cast<size_t>(idx)].push_back('\0');
}
const char* GetLabel(const std::vector<std::vector<char>>& labels, int idx) {
  if (idx < 0 || static_cast<size_t>(idx) >= labels.size()) return "";
  return labels[static_cast<size_t>(idx)].data();
}
}  // namespace

void IAudioPlugin::SetInputBusLabel(int idx, const char* label) { SetLabel(inBusLabels_, idx, label); }
void IAudioPlugin::SetOutputBusLabel(int idx, const char* label) { SetLabel(outBusLabels_, idx, label); }
const char* IAudioPlugin::InputBusLabel(int idx) const { return GetLabel(inBusLabels_, idx); }
const char* IAudioPlugin::OutputBusLabel(int idx) const { return GetLabel(outBusLabels_, idx); }

const ChannelConfig* IAudioPlugin::GetChannelConfig(int idx) const {
  if (idx < 0 || idx >= NChannelConfigs()) return nullptr;
  return &channelConfigs_[static_cast<size_t>(idx)];
}

}  // namespace selvarin
