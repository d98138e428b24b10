#include "tools/render/plot_scene.h"

#include <cmath>

namespace selvarin {

std::string PlotLane::TextOf(double value) const {
  const long k = std::lround(value - firstValue);
  return k >= 0 && k < static_cast<long>(texts.size()) ? texts[static_cast<size_t>(k)] : std::string();
}

PlotScene BuildPlotScene(const SessionTracks& tracks, double seconds, const std::string& title,
                         const std::vector<CatalogParam>& catalog, const std::vector<std::string>& presetNames) {
  PlotScene scene;
  scene.title = title;
  scene.seconds = seconds;
  // Lanes in the plug-in's parameter order.
  for (const CatalogParam& p : catalog) {
    for (const ParamTrack& t : tracks.tracks) {
      if (t.id != p.id || !t.named || !t.moves) continue;
      PlotLane lane;
      lane.id = p.id;
      lane.name = p.title;
      lane.unit = p.units;
      lane.pieces = t.pieces;
      lane.texts = p.texts;
      lane.firstValue = p.minPlain;
      // The parameter whose value the editor's band label names.
      lane.beatBands = p.title == "Binaural" && p.texts.empty();
      scene.lanes.push_back(lane);
    }
  }
  for (const PresetChange& c : tracks.presets) {
    const size_t i = static_cast<size_t>(c.index);
    scene.presets.push_back({c.time, i < presetNames.size() ? presetNames[i] : "preset " + std::to_string(c.index)});
  }
  return scene;
}

}  // namespace selvarin
