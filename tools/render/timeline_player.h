#pragma once
// Plays a resolved timeline into the parameter-change queues of each
// processing block: a step or preset lands in the block that holds its
// time, at its offset there; a running ramp sends its value at the block's
// end (or at the ramp's end within the block). The plug-in applies one
// value per parameter and block, so only the last change of each parameter
// in a block is sent; a preset comes first and outranks what came before
// it in the block.
#include <cstdint>
#include <vector>

#include "tools/render/session_timeline.h"
#include "tools/vst3host/host_objects.h"

namespace selvarin {

class TimelinePlayer {
 public:
  TimelinePlayer(const Timeline& timeline, ToNormalizedFn toNormalized, int presetCount);

  // Adds the changes of the block [position, position + n) to changes.
  void FillBlock(int64_t position, int n, HostParamChanges* changes);

  // The plain value of a ramp at a frame.
  static double RampValue(const TimelineEvent& ramp, int64_t frame);

 private:
  struct Point {
    uint32_t id;
    int64_t frame;
    int order;
    double normalized;
  };
  void Put(uint32_t id, int64_t frame, int order, double normalized);

  const Timeline& timeline_;
  ToNormalizedFn toNormalized_;
  int presetCount_;
  size_t next_ = 0;
  std::vector<const TimelineEvent*> running_;
  std::vector<Point> points_;
};

}  // namespace selvarin
