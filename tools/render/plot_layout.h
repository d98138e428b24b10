#pragma once
// Where everything of the session plot goes: the time axis across, one lane
// per parameter stacked down, each with the value range it shows; and the
// times the axis labels.
#include <functional>
#include <string>
#include <vector>

#include "raster/raster_types.h"
#include "tools/render/plot_scene.h"

namespace selvarin {

struct LaneBox {
  RasterRect box;                // the lane's drawing area (right, bottom exclusive)
  double low = 0.0, high = 1.0;  // values at its bottom and top rows
  // Named values: the values the lane takes, bottom to top, evenly spaced.
  std::vector<double> levels;
};

struct PlotLayout {
  int width = 0, height = 0;
  int font = 12;         // text cell height in pixels
  int titleFont = 16;
  int nameColumn = 0;    // left of area: lane names and value labels
  RasterRect area;       // time runs from area.left (0:00) to area.right - 1 (the end)
  double seconds = 1.0;
  std::vector<LaneBox> lanes;

  double X(double seconds) const;
  // The row of a value in a lane (fractional).
  double Y(size_t lane, double value) const;
};

// textWidth: the width in pixels of a text at the plot's font size.
PlotLayout LayoutPlot(const PlotScene& scene, int width, int height, const std::function<int(const std::string&, int font)>& textWidth);

// The times the axis labels: round steps (1, 2, 5, 10, 15, 30 s, 1, 2, 5,
// 10, 15, 30 min, 1, 2, 3, 6, 12 h) with at most `most` of them.
std::vector<double> TimeTicks(double seconds, int most);
// "m:ss" or, for a render of an hour or more, "h:mm:ss" (whole seconds).
std::string TimeLabel(double seconds, bool hours);
// A value for the lane labels: a few significant digits, no trailing zeros.
std::string ValueLabel(double value);

}  // namespace selvarin
