#pragma once
// Counts heap allocations (the malloc family and operator new) made while a
// piece of code runs. Linking the counter (alloc_counter.cpp and its
// platform file, SELVARIN_ALLOC_COUNTER in CMake) replaces the process's
// allocator entry points, so give it a test binary of its own.
namespace selvarin::test {

void StartCountingAllocations();
// Stops counting and returns how many allocations were made since the start.
long StopCountingAllocations();
// Whether calls of the C library's malloc family are counted too (operator
// new always is).
bool CountsMallocCalls();

template <class Fn>
long CountAllocations(Fn&& fn) {
  StartCountingAllocations();
  fn();
  return StopCountingAllocations();
}

}  // namespace selvarin::test
