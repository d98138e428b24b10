// glibc: the C allocator's entry points are replaced too, so the counter
// also sees malloc and friends, from the program and from loaded modules.
#include <cstddef>

#include "tests/support/alloc_counter.h"
#include "tests/support/alloc_counter_internal.h"

// glibc's own allocator entry points, under the names it exports for this.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

void* malloc(size_t size) {
  selvarin::test::CountAllocation();
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  selvarin::test::CountAllocation();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  selvarin::test::CountAllocation();
  return __libc_realloc(p, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  selvarin::test::CountAllocation();
  return __libc_memalign(alignment, size);
}
}

namespace selvarin::test {

void* PlatformAllocate(std::size_t size) { return __libc_malloc(size ? size : 1); }

bool CountsMallocCalls() { return true; }

}  // namespace selvarin::test
