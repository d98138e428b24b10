#include "tools/render/plot_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace selvarin {

namespace {

// The value range a numeric lane shows: its pieces' values, with room above
// and below so that the line stays clear of the lane's edges.
void NumericRange(const PlotLane& lane, LaneBox* box) {
  double lo = lane.pieces.front().from, hi = lo;
  for (const TrackPiece& p : lane.pieces) {
    lo = std::min({lo, p.from, p.to});
    hi = std::max({hi, p.from, p.to});
  }
  if (hi - lo < 1e-9 * std::max(1.0, std::fabs(hi))) {
    lo -= 1.0;
    hi += 1.0;
  }
  const double room = (hi - lo) * 0.12;
  box->low = lo - room;
  box->high = hi + room;
}

// Named values: the ones the lane takes, evenly spaced.
void NamedLevels(const PlotLane& lane, LaneBox* box) {
  for (const TrackPiece& p : lane.pieces)
    if (std::find(box->levels.begin(), box->levels.end(), p.to) == box->levels.end()) box->levels.push_back(p.to);
  std::sort(box->levels.begin(), box->levels.end());
  // Level i sits at i + 1 of levels + 1 steps up the lane.
  box->low = 0.0;
  box->high = static_cast<double>(box->levels.size() + 1);
}

}  // namespace

double PlotLayout::X(double t) const {
  const double span = static_cast<double>(area.right - 1 - area.left);
  return area.left + (seconds > 0.0 ? t / seconds : 0.0) * span;
}

double PlotLayout::Y(size_t i, double value) const {
  const LaneBox& l = lanes[i];
  double v = value;
  if (!l.levels.empty()) {
    // A named value: its level's place.
    const auto it = std::lower_bound(l.levels.begin(), l.levels.end(), value);
    v = static_cast<double>(it - l.levels.begin()) + 1.0;
  }
  const double rows = static_cast<double>(l.box.bottom - 1 - l.box.top);
  return l.box.bottom - 1 - (v - l.low) / (l.high - l.low) * rows;
}

PlotLayout LayoutPlot(const PlotScene& scene, int width, int height, const std::function<int(const std::string&, int)>& textWidth) {
  PlotLayout p;
  p.width = width;
  p.height = height;
  p.seconds = scene.seconds > 0.0 ? scene.seconds : 1.0;
  // Text grows with the picture, from its size at 1200 x 600.
  const double scale = std::clamp(std::min(width / 1200.0, height / 600.0), 0.75, 3.0);
  p.font = static_cast<int>(std::lround(13 * scale));
  p.titleFont = static_cast<int>(std::lround(17 * scale));
  const int pad = static_cast<int>(std::lround(10 * scale));
  // The names, then the value labels beside the lanes (as plot_draw writes them).
  int names = 0, values = 0;
  for (const PlotLane& lane : scene.lanes) {
    names = std::max(names, textWidth(lane.name, p.font));
    if (lane.Named()) continue;
    const std::string unit = lane.unit.empty() ? "" : " " + lane.unit;
    double lo = lane.pieces.front().from, hi = lo;
    for (const TrackPiece& piece : lane.pieces) {
      lo = std::min({lo, piece.from, piece.to});
      hi = std::max({hi, piece.from, piece.to});
    }
    for (double v : {lo, hi}) values = std::max(values, textWidth(ValueLabel(v) + unit, p.font - 2));
  }
  p.nameColumn = std::max(names + values + 3 * pad, 6 * pad);
  // Title row, a row for the preset labels, the lanes, the time labels.
  p.area.left = p.nameColumn;
  p.area.right = width - 2 * pad;
  p.area.top = p.titleFont + 2 * pad + (scene.presets.empty() ? 0 : p.font + pad / 2);
  p.area.bottom = height - p.font - 2 * pad;
  if (p.area.right <= p.area.left + 10) p.area.right = p.area.left + 10;
  if (p.area.bottom <= p.area.top + 10) p.area.bottom = p.area.top + 10;
  const int n = static_cast<int>(scene.lanes.size());
  if (n == 0) return p;
  const int gap = std::max(3, pad * 3 / 4);
  const int laneHeight = std::max(8, (p.area.bottom - p.area.top - gap * (n - 1)) / n);
  for (int i = 0; i < n; ++i) {
    LaneBox box;
    box.box = {p.area.left, p.area.top + i * (laneHeight + gap), p.area.right,
               p.area.top + i * (laneHeight + gap) + laneHeight};
    const PlotLane& lane = scene.lanes[static_cast<size_t>(i)];
    if (lane.Named()) NamedLevels(lane, &box); else NumericRange(lane, &box);
    p.lanes.push_back(box);
  }
  return p;
}

std::vector<double> TimeTicks(double seconds, int most) {
  static const double kSteps[] = {1,    2,    5,    10,   15,   30,    60,    120,   300,
                                  600,  900,  1800, 3600, 7200, 10800, 21600, 43200};
  double step = kSteps[sizeof kSteps / sizeof kSteps[0] - 1];
  for (double s : kSteps) {
    if (seconds / s <= most) {
      step = s;
      break;
    }
  }
  std::vector<double> ticks;
  for (double t = 0.0; t <= seconds + 1e-9; t += step) ticks.push_back(t);
  return ticks;
}

std::string TimeLabel(double seconds, bool hours) {
  const long long s = std::llround(seconds);
  char buf[32];
  if (hours) std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

std::string ValueLabel(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

}  // namespace selvarin
