#include "engine/ms_clock.h"

#include <chrono>

namespace selvarin {

namespace {
// Taken when the module's statics are initialised, i.e. when it is loaded.
const std::chrono::steady_clock::time_point kProcessStart = std::chrono::steady_clock::now();
}  // namespace

uint32_t ProcessMillisecondsRT() {
  const auto elapsed = std::chrono::steady_clock::now() - kProcessStart;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

}  // namespace selvarin
