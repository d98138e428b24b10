#include "tools/render/timeline_player.h"

#include <cmath>

#include "tools/render/block_processor.h"

namespace selvarin {

namespace {
bool Before(int64_t frameA, int orderA, int64_t frameB, int orderB) {
  return frameA < frameB || (frameA == frameB && orderA < orderB);
}
}  // namespace

TimelinePlayer::TimelinePlayer(const Timeline& timeline, ToNormalizedFn toNormalized, int presetCount)
    : timeline_(timeline), toNormalized_(std::move(toNormalized)), presetCount_(presetCount) {}

double TimelinePlayer::RampValue(const TimelineEvent& r, int64_t frame) {
  const double span = static_cast<double>(r.endFrame - r.startFrame);
  const double x = span > 0.0 ? static_cast<double>(frame - r.startFrame) / span : 1.0;
  return RampPlainValue(r.fromPlain, r.toPlain, r.exponential, x);
}

void TimelinePlayer::Put(uint32_t id, int64_t frame, int order, double normalized) {
  for (Point& p : points_) {
    if (p.id != id) continue;
    if (Before(p.frame, p.order, frame, order)) p = {id, frame, order, normalized};
    return;
  }
  points_.push_back({id, frame, order, normalized});
}

void TimelinePlayer::FillBlock(int64_t position, int n, HostParamChanges* changes) {
  const int64_t end = position + n;
  points_.clear();
  const TimelineEvent* preset = nullptr;
  const std::vector<TimelineEvent>& events = timeline_.events;
  for (; next_ < events.size() && events[next_].startFrame < end; ++next_) {
    const TimelineEvent& e = events[next_];
    switch (e.kind) {
      case SessionLineKind::kPreset:
        preset = &e;
        break;
      case SessionLineKind::kStep:
        Put(e.id, e.startFrame, e.order, toNormalized_(e.id, e.toPlain));
        break;
      case SessionLineKind::kRamp:
        running_.push_back(&e);
        break;
    }
  }
  for (size_t i = 0; i < running_.size();) {
    const TimelineEvent& r = *running_[i];
    const int64_t at = r.endFrame < end ? r.endFrame : end;
    double x = toNormalized_(r.id, RampValue(r, at));
    x = std::isfinite(x) ? (x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x) : 0.0;
    Put(r.id, at, r.order, x);
    if (r.endFrame <= end) running_.erase(running_.begin() + static_cast<long>(i));
    else ++i;
  }
  auto offset = [&](int64_t frame) {
    const int64_t o = frame - position;
    return static_cast<sb::int32>(o < 0 ? 0 : o >= n ? n - 1 : o);
  };
  if (preset) {
    const double x = presetCount_ > 1 ? static_cast<double>(preset->presetIndex) / (presetCount_ - 1) : 0.0;
    changes->Add(kPresetParamId, offset(preset->startFrame), x);
  }
  for (const Point& p : points_) {
    if (preset && Before(p.frame, p.order, preset->startFrame, preset->order)) continue;
    changes->Add(p.id, offset(p.frame), p.normalized);
  }
}

}  // namespace selvarin
