#pragma once
// Between the portable part of the allocation counter (operator new and
// delete, start and stop) and the platform file that allocates and counts.
#include <cstddef>

namespace selvarin::test {

// Counts one allocation while counting is on.
void CountAllocation();
// Memory from the platform's allocator, never null for a size of 0; null
// when none can be had.
void* PlatformAllocate(std::size_t size);

}  // namespace selvarin::test
