#pragma once
// X reports presses, never double-clicks: a second left press within the
// desktop's usual 400 ms and a few pixels of the first one is a double-click.
#include <cstdint>
#include <cstdlib>

namespace selvarin {

class DoubleClickDetector {
 public:
  static constexpr uint32_t kIntervalMs = 400;
  static constexpr int kSlopPixels = 4;

  // A left press at (x, y) at server time `timeMs`; true when it completes a
  // double-click. The press after a double-click starts a new pair.
  bool Press(int x, int y, uint32_t timeMs) {
    const bool twice = armed_ && static_cast<uint32_t>(timeMs - lastTime_) <= kIntervalMs &&
                       std::abs(x - lastX_) <= kSlopPixels && std::abs(y - lastY_) <= kSlopPixels;
    armed_ = !twice;
    lastX_ = x;
    lastY_ = y;
    lastTime_ = timeMs;
    return twice;
  }
  // Another button or a closed window breaks the pair.
  void Reset() { armed_ = false; }

 private:
  bool armed_ = false;
  int lastX_ = 0, lastY_ = 0;
  uint32_t lastTime_ = 0;
};

}  // namespace selvarin
