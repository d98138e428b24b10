#include "tools/render/session_timeline.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace selvarin {

namespace {

const CatalogParam* FindParam(const std::vector<CatalogParam>& catalog, uint32_t id) {
  for (const CatalogParam& p : catalog)
    if (p.id == id) return &p;
  return nullptr;
}

std::string Number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// The shortest text of v that reads back as v ("2.5", "20000", "1e-07").
std::string Shortest(double v) {
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// A number as a session line writes it: the fewest significant digits that
// resolve to the same plain value again, through the plug-in's conversions.
std::string ValueText(const CatalogParam& p, double plain, const TimelinePlugin& plugin) {
  for (int digits = 1; digits <= 17; ++digits) {
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.*e", digits - 1, plain);
    const std::string text = Shortest(std::strtod(rounded, nullptr));
    ResolvedParam r;
    std::string error;
    if (ResolveParam(*plugin.catalog, {p.title, text}, plugin.toNormalized, &r, &error) && r.id == p.id &&
        plugin.toPlain(p.id, r.normalized) == plain)
      return text;
  }
  return Shortest(plain);
}

std::string Pad(const std::string& s, size_t width) {
  return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

class Resolver {
 public:
  Resolver(const TimelinePlugin& plugin, const std::map<uint32_t, double>& start,
           double sampleRate, Timeline* out, std::vector<SessionError>* errors)
      : plugin_(plugin), state_(start), rate_(sampleRate), out_(out), errors_(errors) {
    for (const auto& kv : start) Raise(kv.first, kv.second);
  }

  void Line(const SessionLine& l, int order) {
    line_ = l.line;
    TimelineEvent ev;
    ev.kind = l.kind;
    ev.line = l.line;
    ev.order = order;
    ev.start = l.start;
    ev.end = l.kind == SessionLineKind::kRamp ? l.end : l.start;
    ev.startFrame = std::llround(ev.start * rate_);
    ev.endFrame = std::llround(ev.end * rate_);
    ev.exponential = l.exponential;
    std::string error;
    if (l.kind == SessionLineKind::kPreset) {
      if (!ResolvePreset(*plugin_.presets, l.value, &ev.presetIndex, &error)) return Fail(error);
      for (const auto& kv : plugin_.presetValues(ev.presetIndex)) {
        // A parameter a ramp is moving keeps following the ramp.
        if (RampAt(kv.first, ev.start, nullptr)) continue;
        Set(kv.first, kv.second);
      }
      out_->events.push_back(ev);
      return;
    }
    ResolvedParam r;
    if (!ResolveParam(*plugin_.catalog, {l.target, l.value}, plugin_.toNormalized, &r, &error)) return Fail(error);
    const CatalogParam* p = FindParam(*plugin_.catalog, r.id);
    ev.id = r.id;
    ev.toPlain = plugin_.toPlain(r.id, r.normalized);
    const TimelineEvent* ramp = nullptr;
    if (l.kind == SessionLineKind::kStep) {
      if (RampAt(r.id, ev.start, &ramp) && ev.start > ramp->start) {
        return Fail("'" + p->title + "' is set during its ramp on line " + std::to_string(ramp->line) + " (until " +
                    FormatSessionTime(ramp->end) + ")");
      }
      Set(r.id, ev.toPlain);
      out_->events.push_back(ev);
      return;
    }
    if (!p->texts.empty()) {
      return Fail("'" + p->title + "' has named values and changes in steps only (TIME " + p->title + " = VALUE)");
    }
    // Ramps of a parameter that were accepted follow each other without
    // overlapping: only the last one can reach into this one.
    if (const TimelineEvent* other = LastRamp(r.id); other && other->end > ev.start) {
      return Fail("this ramp of '" + p->title + "' overlaps the one on line " + std::to_string(other->line) + " (" +
                  FormatSessionTime(other->start) + "-" + FormatSessionTime(other->end) + ")");
    }
    ev.fromPlain = state_.count(r.id) ? state_[r.id] : p->defaultPlain;
    if (ev.exponential && (ev.fromPlain <= 0.0 || ev.toPlain <= 0.0)) {
      return Fail("an exponential ramp (->~) needs values above 0; '" + p->title + "' goes from " +
                  Number(ev.fromPlain) + " to " + Number(ev.toPlain));
    }
    Set(r.id, ev.toPlain);
    Raise(r.id, ev.fromPlain);
    lastRamp_[r.id] = out_->events.size();
    out_->events.push_back(ev);
  }

 private:
  void Fail(const std::string& what) { errors_->push_back({line_, what}); }

  void Set(uint32_t id, double plain) {
    state_[id] = plain;
    Raise(id, plain);
  }

  void Raise(uint32_t id, double plain) {
    auto it = out_->highest.find(id);
    if (it == out_->highest.end() || plain > it->second) out_->highest[id] = plain;
  }

  const TimelineEvent* LastRamp(uint32_t id) const {
    const auto it = lastRamp_.find(id);
    return it == lastRamp_.end() ? nullptr : &out_->events[it->second];
  }

  // Whether a ramp of id runs at time t (from its start up to its end). The
  // lines come in time order, so t is at or after every ramp's start, and
  // of a parameter's ramps only the last one can still run.
  bool RampAt(uint32_t id, double t, const TimelineEvent** found) const {
    const TimelineEvent* e = LastRamp(id);
    if (!e || !(e->start <= t && t < e->end)) return false;
    if (found) *found = e;
    return true;
  }

  const TimelinePlugin& plugin_;
  std::map<uint32_t, double> state_;
  double rate_;
  Timeline* out_;
  std::vector<SessionError>* errors_;
  int line_ = 0;
  std::map<uint32_t, size_t> lastRamp_;  // parameter: index of its last ramp in out_->events
};

}  // namespace

bool ResolveTimeline(const SessionScript& script, const TimelinePlugin& plugin, const std::map<uint32_t, double>& start,
                     double sampleRate, double fixedSeconds, Timeline* out, std::vector<SessionError>* errors) {
  *out = Timeline{};
  out->title = script.title;
  out->start = start;
  const size_t before = errors->size();
  out->events.reserve(script.lines.size());
  Resolver resolver(plugin, start, sampleRate, out, errors);
  for (size_t i = 0; i < script.lines.size(); ++i) resolver.Line(script.lines[i], static_cast<int>(i));

  double last = 0.0;
  for (const TimelineEvent& e : out->events) last = e.end > last ? e.end : last;
  out->seconds = fixedSeconds > 0.0 ? fixedSeconds : script.length > 0.0 ? script.length : last;
  if (out->seconds <= 0.0) {
    errors->push_back({script.lengthLine, "the session has no length: add a line such as 'length 30:00', or give -d"});
  } else if (std::llround(out->seconds * sampleRate) < 1) {
    errors->push_back({script.lengthLine, "the session is shorter than one frame at " + Number(sampleRate) + " Hz"});
  }
  return errors->size() == before;
}

std::string FormatTimeline(const Timeline& timeline, const TimelinePlugin& plugin) {
  std::string out = "# Session as selvarin-render resolved it: " + std::to_string(timeline.events.size()) +
                    " events, " + FormatSessionTime(timeline.seconds) + " long\n";
  if (!timeline.title.empty()) out += "title \"" + timeline.title + "\"\n";
  // Long sessions repeat their values: each is worked out once.
  std::map<std::pair<uint32_t, double>, std::string> values;
  auto line = [&out](const std::string& when, const std::string& what, const std::string& comment) {
    out += Pad(when, 20);
    out += ' ';
    out += Pad(what, 34);
    out += " # ";
    out += comment;
    out += '\n';
  };
  for (const TimelineEvent& e : timeline.events) {
    const std::string when = e.kind == SessionLineKind::kRamp
                                 ? FormatSessionTime(e.start) + "-" + FormatSessionTime(e.end)
                                 : FormatSessionTime(e.start);
    if (e.kind == SessionLineKind::kPreset) {
      const std::string& name = (*plugin.presets)[static_cast<size_t>(e.presetIndex)];
      line(when, "preset " + std::to_string(e.presetIndex), "\"" + name + "\"");
      continue;
    }
    const CatalogParam* p = FindParam(*plugin.catalog, e.id);
    // Named values are written as their text, numbers as numbers: both
    // read back to the same parameter of a same-named pair.
    std::string value;
    if (!p->texts.empty()) {
      const long k = std::lround(e.toPlain - p->minPlain);
      if (k >= 0 && k < static_cast<long>(p->texts.size())) value = p->texts[static_cast<size_t>(k)];
    }
    if (value.empty()) {
      std::string& known = values[{e.id, e.toPlain}];
      if (known.empty()) known = ValueText(*p, e.toPlain, plugin);
      value = known;
    }
    const std::string change = p->title + (e.kind == SessionLineKind::kRamp ? (e.exponential ? " ->~ " : " -> ") : " = ") + value;
    std::string comment = p->title + " (" + std::to_string(p->id) + "): ";
    if (e.kind == SessionLineKind::kRamp) comment += Number(e.fromPlain) + " to ";
    comment += Number(e.toPlain) + (p->units.empty() ? "" : " " + p->units) + ", \"" +
               plugin.displayText(e.id, e.toPlain) + "\"";
    line(when, change, comment);
  }
  out += "length " + FormatSessionTime(timeline.seconds) + "\n";
  return out;
}

double RampPlainValue(double from, double to, bool exponential, double x) {
  x = x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x;
  if (x >= 1.0) return to;
  if (exponential) return from * std::pow(to / from, x);
  return from + (to - from) * x;
}

}  // namespace selvarin
