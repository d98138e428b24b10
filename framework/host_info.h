#pragma once
#include <cstdint>

namespace selvarin {

// -1: no host identified yet; 0: a host whose name matched no table entry.
using HostId = int32_t;
constexpr HostId kHostUnknown = -1;
constexpr HostId kHostOther = 0;
// The hosts the name table knows, named after their keys. Numbers 2, 6, 10,
// 11 and 19 are not used.
constexpr HostId kHostReaper = 1;
constexpr HostId kHostCubase = 3;
constexpr HostId kHostNuendo = 4;
constexpr HostId kHostCakewalk = 5;
constexpr HostId kHostFruity = 7;
constexpr HostId kHostSamplitude = 8;
constexpr HostId kHostLive = 9;
constexpr HostId kHostMelodyne = 12;
constexpr HostId kHostVstManLib = 13;
constexpr HostId kHostAuLab = 14;
constexpr HostId kHostForte = 15;
constexpr HostId kHostChainer = 16;
constexpr HostId kHostAudition = 17;
constexpr HostId kHostOrion = 18;
constexpr HostId kHostSawStudio = 20;
constexpr HostId kHostLogic = 21;
constexpr HostId kHostDigital = 22;
constexpr HostId kHostAudioMulch = 23;
constexpr HostId kHostPresonus = 24;
constexpr HostId kHostAcoustica = 25;
constexpr HostId kHostGarageBand = 26;
constexpr HostId kHostArdour = 27;
constexpr HostId kHostWavelab = 28;
constexpr HostId kHostEntrainStudio = 29;
constexpr HostId kHostGold = 30;

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
