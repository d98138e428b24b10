#pragma once
// What the session plot shows, in words and numbers: one lane per
// parameter the session moves (its pieces of value over time, its unit, its
// named values), the preset changes, and the title. Built from the tracks
// of a resolved timeline; drawn by plot_draw.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/param_resolve.h"
#include "tools/render/session_tracks.h"

namespace selvarin {

struct PlotLane {
  uint32_t id = 0;
  std::string name;   // "Binaural"
  std::string unit;   // "Hz"; empty for named values
  std::vector<TrackPiece> pieces;
  // Named values: the text of each step (value - firstValue), else empty.
  std::vector<std::string> texts;
  double firstValue = 0.0;
  bool beatBands = false;  // the beat frequency: its brain-wave bands behind it

  bool Named() const { return !texts.empty(); }
  // The text of a named value ("" when out of range).
  std::string TextOf(double value) const;
};

struct PlotMark {
  double time = 0.0;
  std::string label;  // "preset 12 \"Sound sleep\""
};

struct PlotScene {
  std::string title;  // the session's title, else its file name
  double seconds = 0.0;
  std::vector<PlotLane> lanes;
  std::vector<PlotMark> presets;
};

PlotScene BuildPlotScene(const SessionTracks& tracks, double seconds, const std::string& title,
                         const std::vector<CatalogParam>& catalog, const std::vector<std::string>& presetNames);

}  // namespace selvarin
