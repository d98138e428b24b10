#pragma once
// What the engine writes into the editor while it runs. The engine writes on
// the audio thread and the editor reads when it draws, so both are plain
// lock-free slots: a write is a few relaxed stores, never an allocation or a
// lock. The editor's controls own these slots and hand the engine their
// addresses when the layout is built; until then the engine's links are null
// and it skips the writes.
#include <atomic>
#include <cstdint>

namespace selvarin {

// The LFO indicator: range, current output and marks of one LFO.
struct LfoIndicatorValues {
  std::atomic<float> rangeLow{0.0f};
  std::atomic<float> rangeHigh{0.0f};
  std::atomic<float> value{0.0f};
  std::atomic<bool> active{false};
  std::atomic<bool> conflict{false};  // shown on LFO2's indicator only

  void SetRangeRT(float low, float high) {
    rangeLow.store(low, std::memory_order_relaxed);
    rangeHigh.store(high, std::memory_order_relaxed);
  }
  void SetValueRT(float v) { value.store(v, std::memory_order_relaxed); }
  void SetActiveRT(bool on) { active.store(on, std::memory_order_relaxed); }
  void SetConflictRT(bool on) { conflict.store(on, std::memory_order_relaxed); }
};

// The beat-band label's text. The engine's texts are string constants, so a
// new text is handed over as a pointer swap; the serial tells the editor that
// the label changed and needs a redraw.
class BandLabelSlot {
 public:
  // Audio thread safe. `text` must have static storage duration.
  void SetTextRT(const char* text) {
    text_.store(text ? text : "", std::memory_order_release);
    serial_.fetch_add(1, std::memory_order_release);
  }
  const char* Text() const { return text_.load(std::memory_order_acquire); }
  uint32_t Serial() const { return serial_.load(std::memory_order_acquire); }

 private:
  std::atomic<const char*> text_{""};
  std::atomic<uint32_t> serial_{0};
};

}  // namespace selvarin
