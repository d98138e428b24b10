// The portable part of the allocation counter: the program's operator new
// and delete go through the platform file's allocator and are counted.
#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "alloc_counter_internal.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

namespace selvarin::test {

void CountAllocation() {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}

void StartCountingAllocations() {
  gAllocations = 0;
  gCounting = true;
}

long StopCountingAllocations() {
  gCounting = false;
  return gAllocations.load();
}

}  // namespace selvarin::test

using selvarin::test::CountAllocation;
using selvarin::test::PlatformAllocate;

void* operator new(size_t size) {
  CountAllocation();
  if (void* p = PlatformAllocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  CountAllocation();
  return PlatformAllocate(size);
}
void* operator new[](size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
