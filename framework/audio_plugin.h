#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/editor_link.h"
#include "framework/host_info.h"
#include "framework/param_entry.h"
#include "framework/recursive_lock.h"
#include "framework/state_chunk.h"

namespace selvarin {

struct ChannelConfig {
  int32_t inputs = 0;
  int32_t outputs = 0;
};

struct MidiMessage {
  int32_t offset = 0;  // sample offset within the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct PresetSlot {
  bool initialized = false;
  char name[256] = {};
  StateChunk chunk;
};

// Packs a four-character code, first character in the most significant byte.
constexpr int32_t FourCC(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// The host-independent core of a plug-in: parameter table, preset slots,
// state chunk, channel plumbing, the plug-in lock and host information.
// Host-facing operations are pure here and implemented by an adapter.
//
// The plug-in lock orders the audio thread (processing) against the user
// interface thread (state, presets, editor edits). Hooks marked "lock" take
// it by default; it is recursive, so a hook may re-enter on the same thread.
class IAudioPlugin {
 public:
  IAudioPlugin(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
               const char* productName, const char* mfrName, int32_t vendorVersion, int32_t uniqueCode,
               int32_t mfrCode, int latency, bool doesMidi, bool doesChunks, bool isInstrument, int apiId);
  virtual ~IAudioPlugin();
  IAudioPlugin(const IAudioPlugin&) = delete;
  IAudioPlugin& operator=(const IAudioPlugin&) = delete;

  // ---- hooks (defaults do nothing, or only take and release the lock) ----
  virtual void OnReset();                          // lock
  virtual void OnParameterChanged(int paramIdx);   // lock
  void OnParameterChangedLocked(int paramIdx, double value);
  // Renders one block; called on the audio thread under the plug-in lock.
  // The default copies inputs to outputs and clears the remaining outputs.
  virtual void RenderBlock(double** inputs, double** outputs, int frames);
  virtual void OnEditorOpen() {}
  virtual void OnEditorClose() {}
  virtual void OnActiveChanged(bool active);       // lock
  virtual void OnMidiMessage(const MidiMessage& msg) { (void)msg; }
  virtual bool GetNoteName(int note, char* out);
  virtual bool WriteState(StateChunk* chunk) { return WriteParamState(chunk); }
  virtual int ReadState(const StateChunk* chunk, int pos) { return ReadParamState(chunk, pos); }
  virtual intptr_t OnWindowColorMessage(uintptr_t wParam, intptr_t lParam, unsigned message);
  virtual void OnStateStringRestored(int idx, int reserved);  // lock
  virtual void OnParamMouseOver(int paramIdx);                // lock
  virtual bool ShouldRestoreParam(int paramIdx, int presetIdx);  // lock, true
  virtual void OnEditorSizeChanged(int left, int top, int right, int bottom);
  virtual int ApiId() const { return apiId_; }
  virtual void OnParamWheelEdit(int paramIdx) { (void)paramIdx; }
  virtual void OnHostKnown() {}
  virtual int CurrentHostId() const { return hostId_; }
  virtual void AttachEditor(EditorLink* editor);
  virtual void SetMaxBlockSize(int frames);
  virtual void SetLatencySamples(int samples) { latency_ = samples; }
  virtual bool SendMidiMessages(const MidiMessage* msgs, int count);
  virtual bool SendSysEx(const void* data, int size);
  virtual bool WriteParamState(StateChunk* chunk);
  virtual int ReadParamState(const StateChunk* chunk, int pos);
  virtual bool WritePresetBank(StateChunk* chunk);
  virtual int ReadPresetBank(const StateChunk* chunk, int pos);

  // ---- host-facing operations, implemented by the adapter ----
  virtual void BeginParamEdit(int paramIdx) = 0;
  virtual void ReportParamEdit(int paramIdx, double normalized) = 0;
  virtual void EndParamEdit(int paramIdx) = 0;
  virtual int64_t HostSamplePosition() = 0;  // project time in samples (negative in a pre-roll)
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int* numerator, int* denominator) = 0;
  virtual void ResizeEditor(int width, int height) = 0;
  virtual bool SendMidiMessage(const MidiMessage& msg) = 0;
  virtual bool IsOfflineRender() = 0;
  virtual int TransportState() = 0;  // TransportStateValue
  virtual void FillTransportInfo(TransportInfo* out) = 0;

  // ---- editor path ----
  void SetParameterFromEditor(int paramIdx, double normalized);
  // Sets a parameter's plain value from the plug-in itself, as one host edit
  // gesture; with an editor the bound controls take it as if the user had
  // set them, without one it is applied directly.
  void SetParameterFromEngine(int paramIdx, double value);
  void DeferEndParamEdit(int paramIdx);
  void FlushDeferredEndEdit();
  void PushParamsToEditor();
  EditorLink* Editor() const { return editor_; }
  int PendingEndEditParam() const { return pendingEndEdit_; }

  // ---- presets ----
  void AddDefaultPreset(const char* name, int count = 1);
  // One value per parameter in index order; integer kinds are stored as
  // whole numbers converted to double.
  void AddPreset(const char* name, const double* values);
  bool LoadPreset(int idx);
  const char* PresetName(int idx) const;
  const PresetSlot* Preset(int idx) const;
  int PresetCount() const { return static_cast<int>(presets_.size()); }
  int CurrentPresetIdx() const { return currentPreset_.load(std::memory_order_relaxed); }
  // The host's program selection without loading it (VST3 setParamNormalized).
  void SetCurrentPresetIdx(int idx) {
    if (idx >= 0 && idx < PresetCount()) currentPreset_.store(idx, std::memory_order_relaxed);
  }

  // ---- state strings (none in this plug-in; kept for plug-ins that save text) ----
  int AddStateString(int maxLength);
  void SetCommonStateStringLength(int n) { commonStateStringLength_ = n; }
  char* StateString(int idx);
  int StateStringCount() const { return static_cast<int>(stateStrings_.size()); }

  // ---- host information ----
  void IdentifyHost(const char* name, int version);
  void VersionString(char out[16]) const;
  double SamplesPerBeat();
  int HostVersion() const { return hostVersion_; }

  // ---- audio channels (audio thread, under the plug-in lock) ----
  void SetInputConnections(int start, int count, bool connected);
  void SetOutputConnections(int start, int count, bool connected);
  void AttachInputs64(int start, int count, double* const* buffers);
  void AttachInputs32(int start, int count, float* const* buffers, int frames);
  void AttachOutputs64(int start, int count, double* const* buffers);
  void AttachOutputs32(int start, int count, float* const* buffers);
  void ProcessBlock64(int frames);
  void ProcessBlock32(int frames);
  void BypassBlock64(int frames);
  void BypassBlock32(int frames);
  void ZeroScratchBuffers();
  bool IsInputConnected(int idx) const;
  bool IsOutputConnected(int idx) const;

  // ---- bus labels ----
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  const char* InputBusLabel(int idx) const;
  const char* OutputBusLabel(int idx) const;

  // ---- accessors ----
  IParamEntry* Param(int idx) { return idx >= 0 && idx < NParams() ? params_[static_cast<size_t>(idx)].get() : nullptr; }
  const IParamEntry* Param(int idx) const {
    return idx >= 0 && idx < NParams() ? params_[static_cast<size_t>(idx)].get() : nullptr;
  }
  int NParams() const { return static_cast<int>(params_.size()); }
  RecursiveMutex& Mutex() { return mutex_; }
  double SampleRate() const { return sampleRate_; }
  void SetSampleRate(double sr) { sampleRate_ = sr; }
  int BlockSize() const { return blockSize_; }
  int Latency() const { return latency_; }
  int TailLength() const { return tailLength_; }
  bool ParamsReady() const { return paramsReady_; }
  void SetParamsReady(bool ready) { paramsReady_ = ready; }
  bool IsBypassed() const { return bypassed_.load(std::memory_order_relaxed); }
  void SetBypassed(bool b) { bypassed_.store(b, std::memory_order_relaxed); }
  bool IsInstrument() const { return isInstrument_; }
  bool DoesMidi() const { return doesMidi_ != 0; }
  bool DoesStateChunks() const { return doesChunks_; }
  const char* EffectName() const { return effectName_; }
  const char* ProductName() const { return productName_; }
  const char* MfrName() const { return mfrName_; }
  int32_t UniqueCode() const { return uniqueCode_; }
  int32_t MfrCode() const { return mfrCode_; }
  int32_t VendorVersion() const { return version_; }
  int NChannelConfigs() const { return static_cast<int>(channelConfigs_.size()); }
  const ChannelConfig* GetChannelConfig(int idx) const;
  int NInChannels() const { return static_cast<int>(inChannels_.size()); }
  int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
  std::vector<const char*>& ParamGroups() { return paramGroups_; }

 protected:
  // Copies frames from inputs to outputs and clears the remaining outputs.
  void PassThrough(double** inputs, double** outputs, int frames);

 private:
  // One input or output channel: the renderer reads or writes through *slot,
  // which points at the host's buffer while connected and at the scratch
  // buffer otherwise (and while a 32-bit output is converted into floatDest;
  // inputs never have one).
  struct Channel {
    bool connected = false;
    double** slot = nullptr;
    float* floatDest = nullptr;
    std::vector<double> scratch;
    double* Scratch() { return scratch.empty() ? nullptr : scratch.data(); }
  };
  using Channels = std::vector<Channel>;

  void NextUserPresetName(char out[256]) const;
  void ConvertOutputsTo32(int frames);
  static bool ChannelRange(int start, int count, int n, int* end);
  static void SetConnections(Channels& channels, int start, int count, bool connected);
  static void Attach64(Channels& channels, int start, int count, double* const* buffers);

  std::vector<ChannelConfig> channelConfigs_;
  std::vector<std::unique_ptr<IParamEntry>> params_;
  std::vector<std::unique_ptr<PresetSlot>> presets_;
  // The current preset and the bypass flag are read and set by the host's
  // controller calls without the lock, and by processing: relaxed atomics.
  std::atomic<int> currentPreset_{0};
  int pendingEndEdit_ = -1;
  RecursiveMutex mutex_;
  std::vector<std::vector<char>> stateStrings_;
  std::vector<int> stateStringLengths_;
  bool paramsReady_ = false;
  bool isInstrument_;
  std::atomic<bool> bypassed_{false};
  std::vector<const char*> paramGroups_;
  double sampleRate_ = 44100.0;
  int latency_;
  int commonStateStringLength_ = 0;
  char effectName_[128] = {};
  char productName_[128] = {};
  char mfrName_[128] = {};
  int32_t uniqueCode_;
  int32_t mfrCode_;
  int32_t version_;
  int hostId_ = kHostUnknown;
  int apiId_;
  int hostVersion_ = 0;
  bool doesChunks_;
  int doesMidi_;
  int blockSize_ = 0;
  int tailLength_ = 0;
  EditorLink* editor_ = nullptr;
  std::vector<double*> inPtrs_;
  std::vector<double*> outPtrs_;
  Channels inChannels_;
  Channels outChannels_;
  std::vector<std::vector<char>> inBusLabels_;
  std::vector<std::vector<char>> outBusLabels_;
};

}  // namespace selvarin
