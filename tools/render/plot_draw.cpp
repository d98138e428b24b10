#include "tools/render/plot_draw.h"

#include <algorithm>
#include <cmath>

#include "engine/band_label.h"
#include "raster/raster_draw.h"
#include "raster/raster_font.h"
#include "raster/raster_system_font.h"

namespace selvarin {

namespace {

constexpr RasterPixel kBackground = RasterPackArgb(255, 27, 32, 38);
constexpr RasterPixel kLaneBackground = RasterPackArgb(255, 35, 42, 49);
constexpr RasterPixel kGrid = RasterPackArgb(255, 54, 63, 72);
constexpr RasterPixel kText = RasterPackArgb(255, 200, 210, 220);
constexpr RasterPixel kDimText = RasterPackArgb(255, 138, 150, 163);
constexpr RasterPixel kPresetColour = RasterPackArgb(255, 224, 176, 80);

// A colour per brain-wave band, from the slowest up.
constexpr RasterPixel kBandColours[] = {
    RasterPackArgb(255, 110, 70, 170), RasterPackArgb(255, 60, 95, 170),  RasterPackArgb(255, 60, 150, 100),
    RasterPackArgb(255, 160, 160, 60), RasterPackArgb(255, 180, 120, 55), RasterPackArgb(255, 180, 70, 70),
    RasterPackArgb(255, 160, 60, 140),
};

RasterPixel Brighter(RasterPixel c) {
  auto up = [](int v) { return std::min(255, v + (255 - v) / 2); };
  return RasterPackArgb(255, up(RasterRed(c)), up(RasterGreen(c)), up(RasterBlue(c)));
}

void Fill(RasterBitmap* d, const RasterRect& r, RasterPixel c, float opacity = 1.0f) {
  RasterFillRect(d, r.left, r.top, r.right - r.left, r.bottom - r.top, c, opacity, kRasterCopy);
}

void DashedVertical(RasterBitmap* d, int x, int top, int bottom, RasterPixel c) {
  for (int y = top; y < bottom; y += 6) RasterLine(d, x, y, x, std::min(y + 3, bottom - 1), c, 1.0f, kRasterCopy, false);
}

// The beat's bands behind its lane, each named where it is tall enough, at
// the end of the lane the value line keeps clear of.
void DrawBands(RasterBitmap* d, const PlotLayout& l, size_t lane, const PlotLane& s, PlotFonts& fonts) {
  const LaneBox& b = l.lanes[lane];
  const double firstRow = l.Y(lane, s.pieces.front().from), lastRow = l.Y(lane, s.pieces.back().to);
  const int count = BeatBandCount();
  for (int i = 0; i < count; ++i) {
    const double low = BeatBandAt(i).lowHz;
    const double high = i + 1 < count ? BeatBandAt(i + 1).lowHz : HUGE_VAL;
    if (high <= b.low || low >= b.high) continue;
    const int top = std::max(b.box.top, static_cast<int>(std::floor(l.Y(lane, std::min(high, b.high)))) + 1);
    const int bottom = std::min(b.box.bottom, static_cast<int>(std::floor(l.Y(lane, std::max(low, b.low)))) + 1);
    if (bottom <= top) continue;
    const RasterPixel c = kBandColours[std::min<int>(i, static_cast<int>(sizeof kBandColours / sizeof kBandColours[0]) - 1)];
    Fill(d, {b.box.left, top, b.box.right, bottom}, c, 0.3f);
    const int size = std::max(8, l.font - 2);
    if (bottom - top < size + 2) continue;
    const int y = top + (bottom - top - size) / 2;
    const double middle = y + size / 2.0;
    const bool left = std::fabs(lastRow - middle) < size && std::fabs(firstRow - middle) > std::fabs(lastRow - middle);
    if (left) fonts.Draw(d, BeatBandAt(i).text, b.box.left + 6, y, size, Brighter(c));
    else fonts.Draw(d, BeatBandAt(i).text, b.box.right - 6, y, size, Brighter(c), 2);
  }
}

// The value line: every pixel column of a ramp follows the curve; steps
// are vertical.
void DrawValueLine(RasterBitmap* d, const PlotLayout& l, size_t lane, const PlotLane& s) {
  std::vector<std::pair<float, float>> points;
  for (const TrackPiece& p : s.pieces) {
    const double x0 = l.X(p.start), x1 = l.X(p.end);
    const int columns = std::max(1, static_cast<int>(std::ceil(x1 - x0)));
    const int samples = p.shape == TrackShape::kHold ? 1 : columns;
    for (int k = 0; k <= samples; ++k) {
      const double t = p.start + (p.end - p.start) * k / samples;
      points.push_back({static_cast<float>(l.X(t)), static_cast<float>(l.Y(lane, p.ValueAt(t)))});
    }
  }
  // Soft edges a row above and below, and a solid core in the line's own
  // colour.
  for (size_t i = 1; i < points.size(); ++i) {
    const auto& a = points[i - 1];
    const auto& b = points[i];
    for (float dy : {-1.0f, 1.0f})
      RasterLineF(d, a.first, a.second + dy, b.first, b.second + dy, kPlotValueColour, 1.0f, kRasterCopy, true);
  }
  for (size_t i = 1; i < points.size(); ++i) {
    const auto& a = points[i - 1];
    const auto& b = points[i];
    RasterLine(d, static_cast<int>(std::lround(a.first)), static_cast<int>(std::lround(a.second)),
               static_cast<int>(std::lround(b.first)), static_cast<int>(std::lround(b.second)), kPlotValueColour, 1.0f,
               kRasterCopy, false);
  }
}

// Named values: the text of each step just above it.
void DrawNamedMarks(RasterBitmap* d, const PlotLayout& l, size_t lane, const PlotLane& s, PlotFonts& fonts) {
  const LaneBox& b = l.lanes[lane];
  const int size = std::max(8, l.font - 2);
  int freeFrom = b.box.left;  // labels do not overlap: the next starts after the last
  double last = NAN;
  for (const TrackPiece& p : s.pieces) {
    if (p.to == last) continue;
    last = p.to;
    const std::string text = s.TextOf(p.to);
    const int x = static_cast<int>(std::lround(l.X(p.start))) + 4;
    if (text.empty() || x < freeFrom) continue;
    const int y = std::max(b.box.top + 1, static_cast<int>(std::lround(l.Y(lane, p.to))) - size - 2);
    fonts.Draw(d, text, x, y, size, kText);
    freeFrom = x + fonts.Width(text, size) + 6;
  }
}

// The lane's name and, for numbers, its lowest and highest values with the
// unit, at their rows.
void DrawLaneLabels(RasterBitmap* d, const PlotLayout& l, size_t lane, const PlotLane& s, PlotFonts& fonts) {
  const LaneBox& b = l.lanes[lane];
  const int pad = std::max(4, l.font / 2);
  const int nameY = b.box.top + (b.box.bottom - b.box.top - l.font) / 2;
  fonts.Draw(d, s.name, pad, nameY, l.font, kText);
  if (s.Named()) return;
  double lo = HUGE_VAL, hi = -HUGE_VAL;
  for (const TrackPiece& p : s.pieces) {
    lo = std::min({lo, p.from, p.to});
    hi = std::max({hi, p.from, p.to});
  }
  const int size = std::max(8, l.font - 2);
  const std::string unit = s.unit.empty() ? "" : " " + s.unit;
  for (double v : {lo, hi}) {
    const int row = static_cast<int>(std::lround(l.Y(lane, v)));
    for (int x = b.box.left; x < b.box.right; x += 4) RasterFillRect(d, x, row, 2, 1, kGrid, 1.0f, kRasterCopy);
    const int y = std::clamp(row - size / 2, b.box.top, std::max(b.box.top, b.box.bottom - size));
    fonts.Draw(d, ValueLabel(v) + unit, b.box.left - pad, y, size, kDimText, 2);
    if (hi == lo) break;
  }
}

void DrawTimeAxis(RasterBitmap* d, const PlotLayout& l, PlotFonts& fonts) {
  const int labelWidth = fonts.Width(TimeLabel(l.seconds, l.seconds >= 3600.0), l.font) + l.font;
  const int most = std::max(2, (l.area.right - l.area.left) / std::max(1, labelWidth * 2));
  const bool hours = l.seconds >= 3600.0;
  for (double t : TimeTicks(l.seconds, most)) {
    const int x = static_cast<int>(std::lround(l.X(t)));
    RasterLine(d, x, l.area.top, x, l.area.bottom - 1, kGrid, 1.0f, kRasterCopy, false);
    RasterLine(d, x, l.area.bottom, x, l.area.bottom + 4, kDimText, 1.0f, kRasterCopy, false);
    const std::string text = TimeLabel(t, hours);
    const int w = fonts.Width(text, l.font);
    // Centred on its tick, kept inside the picture.
    const int left = std::clamp(x - w / 2, 0, std::max(0, l.width - w - 2));
    fonts.Draw(d, text, left, l.area.bottom + 6, l.font, kDimText);
  }
}

void DrawPresets(RasterBitmap* d, const PlotScene& scene, const PlotLayout& l, PlotFonts& fonts) {
  int freeFrom = 0;
  for (const PlotMark& m : scene.presets) {
    const int x = static_cast<int>(std::lround(l.X(m.time)));
    DashedVertical(d, x, l.area.top - l.font / 2, l.area.bottom, kPresetColour);
    const std::string text = "preset " + m.label;
    if (x + 4 < freeFrom) continue;
    fonts.Draw(d, text, x + 4, l.area.top - l.font - l.font / 2, l.font, kPresetColour);
    freeFrom = x + 4 + fonts.Width(text, l.font) + l.font;
  }
}

}  // namespace

PlotFonts::~PlotFonts() {
  for (auto& f : fonts_) delete f.second;
}

RasterCachedFont* PlotFonts::Font(int size, bool bold) {
  const int key = bold ? -size : size;
  for (auto& f : fonts_)
    if (f.first == key) return f.second;
  RasterFontRequest request;
  request.face = "Arial";  // the editor's face
  request.cellHeight = size;
  request.weight = bold ? 700 : 400;
  request.quality = kRasterQualityAntialiased;
  RasterCachedFont* font = nullptr;
  if (RasterSystemFont* system = RasterCreateSystemFont(request)) {
    font = new RasterCachedFont();
    font->SetFromSystemFont(system, kRasterFontOwnsSystemFont);
  }
  // A face that cannot be made leaves the text out, not the plot.
  fonts_.push_back({key, font});
  return font;
}

int PlotFonts::Width(const std::string& text, int size, bool bold) {
  RasterCachedFont* font = Font(size, bold);
  if (!font) return static_cast<int>(text.size()) * size / 2;
  RasterRect r{0, 0, 0, 0};
  font->DrawText(nullptr, text.c_str(), -1, &r, kRasterTextMeasure);
  return r.right - r.left;
}

void PlotFonts::Draw(RasterBitmap* dest, const std::string& text, int x, int y, int size, RasterPixel colour,
                     int align, bool bold) {
  RasterCachedFont* font = Font(size, bold);
  if (!font) return;
  const int w = Width(text, size, bold);
  const int left = align == 1 ? x - w / 2 : align == 2 ? x - w : x;
  font->SetTextColor(colour);
  RasterRect r{left, y, left + w, y + size};
  font->DrawText(dest, text.c_str(), -1, &r, kRasterTextNoClip);
}

void DrawPlot(const PlotScene& scene, const PlotLayout& l, PlotFonts& fonts, RasterBitmap* d) {
  Fill(d, {0, 0, l.width, l.height}, kBackground);
  const int pad = std::max(4, l.font / 2);
  std::string title = scene.title.empty() ? "Session" : scene.title;
  title += "  \u00B7  " + TimeLabel(scene.seconds, scene.seconds >= 3600.0);
  fonts.Draw(d, title, pad, pad, l.titleFont, kText, 0, true);
  if (scene.lanes.empty()) {
    Fill(d, l.area, kLaneBackground);
    fonts.Draw(d, "No parameter changes over time", (l.area.left + l.area.right) / 2,
               (l.area.top + l.area.bottom - l.font) / 2, l.font, kDimText, 1);
  }
  for (const LaneBox& b : l.lanes) Fill(d, b.box, kLaneBackground);
  for (size_t i = 0; i < l.lanes.size(); ++i)
    if (scene.lanes[i].beatBands) DrawBands(d, l, i, scene.lanes[i], fonts);
  DrawTimeAxis(d, l, fonts);
  DrawPresets(d, scene, l, fonts);
  for (size_t i = 0; i < l.lanes.size(); ++i) {
    DrawLaneLabels(d, l, i, scene.lanes[i], fonts);
    DrawValueLine(d, l, i, scene.lanes[i]);
    if (scene.lanes[i].Named()) DrawNamedMarks(d, l, i, scene.lanes[i], fonts);
  }
}

}  // namespace selvarin
