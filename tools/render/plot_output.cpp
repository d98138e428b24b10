#include "tools/render/plot_output.h"

#include <cstdio>
#include <vector>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png_write.h"
#include "tools/platform/file_system.h"
#include "tools/render/output_target.h"
#include "tools/render/plot_draw.h"
#include "tools/render/plot_layout.h"
#include "tools/render/plot_scene.h"
#include "tools/render/session_tracks.h"

namespace selvarin {

namespace {

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string* error) {
  OutputTarget target;
  if (!target.Open(path, error)) return false;
  if (!target.Write(bytes.data(), bytes.size())) {
    *error = target.Error();
    return false;
  }
  return target.Commit(error);
}

}  // namespace

bool WriteSessionPlot(const RenderOptions& o, const Timeline& timeline, const TimelinePlugin& plugin,
                      std::string* error) {
  const SessionTracks tracks = BuildTracks(timeline, plugin.presetValues);
  std::string title = timeline.title;
  if (title.empty()) title = o.session.empty() || o.session == "-" ? "Selvarin" : PathStem(o.session);
  const PlotScene scene = BuildPlotScene(tracks, timeline.seconds, title, *plugin.catalog, *plugin.presets);
  PlotFonts fonts;
  const PlotLayout layout = LayoutPlot(scene, o.plotWidth, o.plotHeight,
                                       [&fonts](const std::string& text, int size) { return fonts.Width(text, size); });
  RasterMemBitmap bitmap(o.plotWidth, o.plotHeight);
  std::vector<unsigned char> png;
  if (bitmap.Width() != o.plotWidth || bitmap.Height() != o.plotHeight) {
    *error = "not enough memory for a plot of " + std::to_string(o.plotWidth) + " x " + std::to_string(o.plotHeight);
    return false;
  }
  DrawPlot(scene, layout, fonts, &bitmap);
  if (!RasterEncodePng(&bitmap, &png, true)) {
    *error = "cannot encode the plot as PNG";
    return false;
  }
  if (!WriteFile(o.plot, png, error)) return false;
  std::string lanes;
  for (const PlotLane& lane : scene.lanes) lanes += (lanes.empty() ? "" : ", ") + lane.name;
  // Standard output is the audio's with -o -, the JSON report's with
  // --report json, and a dry run's timeline, which reads back as a session.
  const bool toStderr = o.output == "-" || o.dryRun || o.report == ReportFormat::kJson;
  std::fprintf(toStderr ? stderr : stdout, "Wrote plot %s: %d x %d, lanes: %s\n", o.plot.c_str(), o.plotWidth,
               o.plotHeight, lanes.empty() ? "none (nothing changes over time)" : lanes.c_str());
  return true;
}

}  // namespace selvarin
