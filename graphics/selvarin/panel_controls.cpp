#include "graphics/selvarin/panel_controls.h"

#include "graphics/igraphics.h"

namespace selvarin {

// ---- LiveTextControl ----

void LiveTextControl::PullPublished() {
  const uint32_t serial = slot_.Serial();
  if (serial == seenSerial_) return;
  seenSerial_ = serial;
  ReceiveEnteredText(slot_.Text());
}

// ---- GRAPH ----

GRAPH::GRAPH(IAudioPlugin* plug, int left, int right) : IControl(plug, IArea{left, 322, right, 324}) {}

int GRAPH::MarkerOffset() const {
  const float low = values_.rangeLow.load(std::memory_order_relaxed);
  const float high = values_.rangeHigh.load(std::memory_order_relaxed);
  const float out = values_.value.load(std::memory_order_relaxed);
  const float p = (out - low) * 195.0f / (high - low);
  // An empty range (before the engine set one) or a value read while the
  // range was being replaced keeps the marker on its track.
  if (!(p >= 0.0f)) return 0;  // NaN too
  if (p >= 195.0f) return 195;
  return RoundNearestF(p);
}

int GRAPH::Shown() const {
  if (values_.active.load(std::memory_order_relaxed)) return MarkerOffset();
  // Only LFO2's indicator shows the conflict mark.
  if (rect.L == 326 && values_.conflict.load(std::memory_order_relaxed)) return kShowsConflict;
  return kShowsNothing;
}

bool GRAPH::NeedsRedraw() { return IControl::NeedsRedraw() || Shown() != drawn_; }

bool GRAPH::Draw(IGraphics& g) {
  // The values may change meanwhile: what is drawn is what is remembered.
  drawn_ = Shown();
  if (drawn_ >= 0)
    g.FillArea(IRgba{150, 255, 255, 255}, IArea{rect.L + drawn_, 322, rect.L + drawn_ + 6, 324}, nullptr);
  else if (drawn_ == kShowsConflict)
    g.FillArea(IRgba{200, 255, 0, 0}, IArea{326, 322, 332, 324}, nullptr);
  return true;
}

}  // namespace selvarin
