#pragma once
// The controls of Selvarin's panel that show what the tone engine publishes
// from the audio thread: the LFO position indicators and the beat-band label.
#include <cstdint>

#include "engine/editor_links.h"
#include "graphics/controls.h"

namespace selvarin {

// A text line whose text the audio thread publishes (the beat-band label):
// the engine swaps the text pointer in the slot, and the editor thread takes
// it over before each redraw check.
class LiveTextControl : public ITextControl {
 public:
  LiveTextControl(IAudioPlugin* plug, IArea rect, const ITextStyle& style) : ITextControl(plug, rect, style, "") {}
  void PullPublished() override;
  BandLabelSlot* Slot() { return &slot_; }

 private:
  BandLabelSlot slot_;
  uint32_t seenSerial_ = 0;
};

// The LFO position indicator: a 6-pixel marker on a 195-pixel track along
// the bottom of the editor. The tone engine writes its values on the audio
// thread into the atomic slot; the indicator repaints at the next tick when
// what it shows differs from what it last drew, so an idle editor (nothing
// processed, nothing edited) repaints nothing.
class GRAPH : public IControl {
 public:
  GRAPH(IAudioPlugin* plug, int left, int right);
  bool Draw(IGraphics& g) override;
  bool NeedsRedraw() override;
  LfoIndicatorValues* Values() { return &values_; }
  // Marker offset from the track's left edge; -1 when no marker shows.
  int MarkerOffset() const;

 private:
  // What the track shows now: the marker's offset (0 and up), the
  // conflict mark, or nothing.
  static constexpr int kShowsNothing = -1, kShowsConflict = -2, kNeverDrawn = -3;
  int Shown() const;

  LfoIndicatorValues values_;
  int drawn_ = kNeverDrawn;
};

}  // namespace selvarin
