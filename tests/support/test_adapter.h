#pragma once
// An adapter for tests: implements the plug-in base's host-facing operations
// with plain fields, so plug-ins run without any host SDK.
#include <vector>

#include "framework/audio_plugin.h"
#include "framework/instance_info.h"

namespace selvarin {

class TestAdapter : public IAudioPlugin {
 public:
  TestAdapter(const InstanceInfo& /*info*/, int nParams, const char* channelIOStr, int nPresets,
              const char* effectName, const char* productName, const char* mfrName, int32_t vendorVersion,
              int32_t uniqueCode, int32_t mfrCode, int latency, bool doesMidi, bool doesChunks, bool isInstrument)
      : IAudioPlugin(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueCode,
                     mfrCode, latency, doesMidi, doesChunks, isInstrument, /*apiId=*/0) {}

  struct EditEvent {
    enum Kind { kBegin, kPerform, kEnd } kind;
    int paramIdx;
    double normalized;
  };
  std::vector<EditEvent> edits;  // host edit gestures, in order

  TransportInfo transport;          // what the host's context says
  int transportState = kTransportStopped;
  int64_t samplePosition = 0;
  bool offline = false;

  void BeginParamEdit(int idx) override { edits.push_back({EditEvent::kBegin, idx, 0.0}); }
  void ReportParamEdit(int idx, double x) override { edits.push_back({EditEvent::kPerform, idx, x}); }
  void EndParamEdit(int idx) override { edits.push_back({EditEvent::kEnd, idx, 0.0}); }
  int64_t HostSamplePosition() override { return samplePosition; }
  double HostTempo() override { return transport.tempo; }
  void HostTimeSignature(int* num, int* den) override {
    if (num) *num = transport.numerator;
    if (den) *den = transport.denominator;
  }
  void ResizeEditor(int, int) override {}
  bool SendMidiMessage(const MidiMessage&) override { return false; }
  bool IsOfflineRender() override { return offline; }
  int TransportState() override { return transportState; }
  void FillTransportInfo(TransportInfo* out) override {
    if (out) *out = transport;
  }

  // Test conveniences: a playing host at the given tempo.
  void Play(double tempo) {
    transport.tempo = tempo;
    transport.transportRunning = true;
    transportState = kTransportPlaying;
  }
  void Stop() {
    transport.transportRunning = false;
    transportState = kTransportStopped;
  }
};

}  // namespace selvarin
