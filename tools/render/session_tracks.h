#pragma once
// What each parameter does over a resolved timeline, as pieces of its value
// against time: held, or ramped linearly or exponentially; and where the
// presets change. What the session plot draws.
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "tools/render/session_timeline.h"

namespace selvarin {

enum class TrackShape { kHold, kLinear, kExponential };

struct TrackPiece {
  double start = 0.0, end = 0.0;  // seconds
  double from = 0.0, to = 0.0;    // plain values (equal when held)
  TrackShape shape = TrackShape::kHold;

  // The value at a time within the piece, as the ramp sends it.
  double ValueAt(double t) const;
};

struct ParamTrack {
  uint32_t id = 0;
  std::vector<TrackPiece> pieces;  // in time order, covering 0:00 to the end
  bool named = false;   // the session names it in a step or ramp of its own
  bool moves = false;   // takes more than one value over the render
};

struct PresetChange {
  double time = 0.0;
  int index = 0;
};

struct SessionTracks {
  std::vector<ParamTrack> tracks;  // one per parameter with a start value, by id
  std::vector<PresetChange> presets;
};

// presetValues: every parameter's plain value once a preset is loaded.
SessionTracks BuildTracks(const Timeline& timeline,
                          const std::function<std::map<uint32_t, double>(int index)>& presetValues);

}  // namespace selvarin
