#pragma once
#include <cstdint>

namespace selvarin {

// -1: no host identified yet; 0: a host whose name matched no table entry.
using HostId = int32_t;
constexpr HostId kHostUnknown = -1;
constexpr HostId kHostOther = 0;

// Identifies a host application by substrings of its lower-cased name.
HostId HostIdFromName(const char* name);

// Transport state of the host's last processing call, as delivered.
struct TransportInfo {
  double tempo = 0.0;
  double samplePosition = 0.0;
  double quarterNotePosition = 0.0;
  double lastBarStart = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int32_t numerator = 0;
  int32_t denominator = 0;
  bool transportRunning = false;
  bool cycleActive = false;
};

// Values of TransportState().
enum TransportStateValue : int { kTransportStopped = 0, kTransportPlaying = 1, kTransportRecording = 2 };

}  // namespace selvarin
