#pragma once
// Parameter changes on their way from the window to the audio thread: a
// fixed ring written by one thread and read by one other, without locks or
// allocation on either side.
#include <atomic>
#include <cstdint>

namespace selvarin {

struct ParamChange {
  uint32_t id = 0;
  double value = 0.0;
};

template <int Capacity>
class ParamRing {
  static_assert((Capacity & (Capacity - 1)) == 0, "a power of two");

 public:
  // Writer's thread. False when the ring is full (the change is dropped).
  bool Push(const ParamChange& c) {
    const uint32_t w = write_.load(std::memory_order_relaxed);
    if (w - read_.load(std::memory_order_acquire) >= static_cast<uint32_t>(Capacity)) return false;
    slots_[w & (Capacity - 1)] = c;
    write_.store(w + 1, std::memory_order_release);
    return true;
  }
  // Reader's thread: the oldest change, left in the ring until Pop.
  bool Peek(ParamChange* c) const {
    const uint32_t r = read_.load(std::memory_order_relaxed);
    if (r == write_.load(std::memory_order_acquire)) return false;
    *c = slots_[r & (Capacity - 1)];
    return true;
  }
  void Pop() { read_.store(read_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

 private:
  ParamChange slots_[Capacity];
  std::atomic<uint32_t> write_{0};
  std::atomic<uint32_t> read_{0};
};

}  // namespace selvarin
