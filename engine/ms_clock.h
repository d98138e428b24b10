#pragma once
// The engine's millisecond clock: monotonic milliseconds since the process
// started, wrapping as an unsigned 32-bit count. Tests replace it.
#include <cstdint>

namespace selvarin {

using MsClockFn = uint32_t (*)();

// Audio thread safe (reads the monotonic clock, no allocation, no lock).
uint32_t ProcessMillisecondsRT();

}  // namespace selvarin
