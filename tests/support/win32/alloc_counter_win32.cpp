// Windows: the C library's malloc lives in a system DLL and cannot be
// replaced, so this counter sees the C++ allocations of the program itself
// (operator new and delete, which every container and object of the engine
// uses). Code inside a loaded DLL carries its own operator new and is not seen.
#include <cstdlib>

#include "tests/support/alloc_counter.h"
#include "tests/support/alloc_counter_internal.h"

namespace selvarin::test {

void* PlatformAllocate(std::size_t size) { return std::malloc(size ? size : 1); }

bool CountsMallocCalls() { return false; }

}  // namespace selvarin::test
