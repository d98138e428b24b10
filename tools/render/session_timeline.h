#pragma once
// A session resolved against the loaded plug-in: every line's parameter,
// values and preset found, ramps given their start values, the whole
// checked for overlaps; and printed back in the session format.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/render/param_resolve.h"
#include "tools/render/session_file.h"

namespace selvarin {

struct TimelineEvent {
  SessionLineKind kind = SessionLineKind::kStep;
  int line = 0;
  int order = 0;  // position in the session: later lines win at equal times
  double start = 0.0, end = 0.0;  // seconds
  int64_t startFrame = 0, endFrame = 0;
  uint32_t id = 0;       // parameter
  int presetIndex = -1;  // preset events
  double fromPlain = 0.0;  // ramp start: the value in effect then
  double toPlain = 0.0;    // step value, ramp end
  bool exponential = false;
};

// A ramp's plain value at `x` of its way (kept to 0..1), exactly `to` at its
// end: linear, or exponential (equal ratios in equal times).
double RampPlainValue(double from, double to, bool exponential, double x);

struct Timeline {
  std::vector<TimelineEvent> events;  // in time order
  double seconds = 0.0;               // render length
  std::string title;
  // Every parameter's plain value at 0:00 before the session's own lines.
  std::map<uint32_t, double> start;
  // The highest plain value each parameter takes (start, steps, ramps,
  // presets), for advice such as a volume that avoids clipping.
  std::map<uint32_t, double> highest;
};

// What resolution needs from the plug-in.
struct TimelinePlugin {
  const std::vector<CatalogParam>* catalog = nullptr;
  const std::vector<std::string>* presets = nullptr;
  ToNormalizedFn toNormalized;
  std::function<double(uint32_t id, double normalized)> toPlain;
  // Every parameter's plain value once preset index is loaded.
  std::function<std::map<uint32_t, double>(int index)> presetValues;
  // The display text of a plain value.
  std::function<std::string(uint32_t id, double plain)> displayText;
};

// start: each parameter's plain value at 0:00 before the session's own
// lines (defaults, -P, -p). fixedSeconds > 0: the length given with -d.
bool ResolveTimeline(const SessionScript& script, const TimelinePlugin& plugin, const std::map<uint32_t, double>& start,
                     double sampleRate, double fixedSeconds, Timeline* out, std::vector<SessionError>* errors);

// The timeline as a session file that reads back to the same timeline,
// each line commented with the parameter, plain value and display text.
std::string FormatTimeline(const Timeline& timeline, const TimelinePlugin& plugin);

}  // namespace selvarin
