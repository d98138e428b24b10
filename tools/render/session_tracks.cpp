#include "tools/render/session_tracks.h"

namespace selvarin {

double TrackPiece::ValueAt(double t) const {
  if (shape == TrackShape::kHold || end <= start) return to;
  return RampPlainValue(from, to, shape == TrackShape::kExponential, (t - start) / (end - start));
}

namespace {

// One parameter's value as the timeline plays: held since `since`, or
// ramping until `since` (a ramp ends there).
struct Follower {
  ParamTrack* track;
  double value;
  double since = 0.0;

  void Hold(double until) {
    if (until > since || track->pieces.empty()) track->pieces.push_back({since, until, value, value, TrackShape::kHold});
    since = until;
  }
  void Step(double t, double v) {
    Hold(t);
    value = v;
  }
  void Ramp(const TimelineEvent& e) {
    Hold(e.start);
    track->pieces.push_back(
        {e.start, e.end, e.fromPlain, e.toPlain, e.exponential ? TrackShape::kExponential : TrackShape::kLinear});
    value = e.toPlain;
    since = e.end;
  }
};

}  // namespace

SessionTracks BuildTracks(const Timeline& timeline,
                          const std::function<std::map<uint32_t, double>(int index)>& presetValues) {
  SessionTracks out;
  out.tracks.reserve(timeline.start.size());
  std::map<uint32_t, Follower> follow;
  for (const auto& kv : timeline.start) {
    out.tracks.push_back({kv.first, {}, false, false});
  }
  for (ParamTrack& t : out.tracks) follow.emplace(t.id, Follower{&t, timeline.start.at(t.id)});
  for (const TimelineEvent& e : timeline.events) {
    if (e.kind == SessionLineKind::kPreset) {
      out.presets.push_back({e.start, e.presetIndex});
      for (const auto& kv : presetValues(e.presetIndex)) {
        auto f = follow.find(kv.first);
        // A parameter a ramp is moving keeps following the ramp.
        if (f == follow.end() || f->second.since > e.start) continue;
        if (kv.second != f->second.value) f->second.Step(e.start, kv.second);
      }
      continue;
    }
    auto f = follow.find(e.id);
    if (f == follow.end()) continue;
    f->second.track->named = true;
    if (e.kind == SessionLineKind::kRamp) f->second.Ramp(e);
    else f->second.Step(e.start, e.toPlain);
  }
  for (auto& kv : follow) {
    Follower& f = kv.second;
    f.Hold(timeline.seconds > f.since ? timeline.seconds : f.since);
    ParamTrack& t = *f.track;
    // Pieces past the end of the render (a -d shorter than the session)
    // are cut at the end.
    std::vector<TrackPiece> kept;
    for (TrackPiece p : t.pieces) {
      if (p.start >= timeline.seconds && !kept.empty()) break;
      if (p.end > timeline.seconds) {
        p.to = p.ValueAt(timeline.seconds);
        p.end = timeline.seconds;
      }
      kept.push_back(p);
    }
    // Lines at the same time leave pieces of no length: what sounds is the last.
    t.pieces.clear();
    for (const TrackPiece& p : kept)
      if (p.end > p.start) t.pieces.push_back(p);
    if (t.pieces.empty()) t.pieces.push_back(kept.back());
    // Whether it moves: any value other than the one it has once the
    // lines at 0:00 have set it.
    const double first = t.pieces.front().from;
    for (const TrackPiece& p : t.pieces)
      if (p.from != first || p.to != first) t.moves = true;
  }
  return out;
}

}  // namespace selvarin
