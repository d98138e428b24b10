// Rendering must never touch the heap: this binary counts every allocation
// made while a block renders, with every feature of the loop in play.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/editor_links.h"
#include "engine_harness.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void Count() {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// glibc's own allocator entry points, under the names it exports for this.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

void* malloc(size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  Count();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  Count();
  return __libc_realloc(p, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
}

void* operator new(size_t size) {
  Count();
  if (void* p = __libc_malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  Count();
  return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace selvarin::test {
namespace {

class CountedRender {
 public:
  explicit CountedRender(EngineHarness& h) : h_(h) {}
  long Blocks(int count, int frames) {
    double* outs[2] = {left_, right_};
    gAllocations = 0;
    gCounting = true;
    for (int b = 0; b < count; ++b) h_.plug.RenderBlock(nullptr, outs, frames);
    gCounting = false;
    return gAllocations.load();
  }

 private:
  EngineHarness& h_;
  double left_[512] = {};
  double right_[512] = {};
};

TEST(RealTime, CountingSeesAnAllocation) {
  gAllocations = 0;
  gCounting = true;
  void* volatile p = std::malloc(16);
  gCounting = false;
  std::free(p);
  EXPECT_EQ(gAllocations.load(), 1);
}

TEST(RealTime, RenderingAllocatesNothing) {
  EngineHarness h;
  LfoIndicatorValues ind1, ind2;
  BandLabelSlot label;
  h.plug.SetLfoIndicator(0, &ind1);
  h.plug.SetLfoIndicator(1, &ind2);
  h.plug.SetBandLabel(&label);
  h.plug.Play(120.0);
  CountedRender render(h);

  // First block: reset, rate-dependent parameters, tempo, re-phase.
  EXPECT_EQ(render.Blocks(1, 512), 0);
  h.Set(kParamLfo1Target, kTargetBinaural);
  h.Set(kParamLfo2Target, kTargetVolume);
  h.Set(kParamWave, kToneGoldenSine);
  EXPECT_EQ(render.Blocks(50, 256), 0);
  h.plug.Play(90.0);  // tempo change re-applies the note-value rates
  FakeMs() += 1000;   // a pause re-phases
  EXPECT_EQ(render.Blocks(10, 100), 0);
  h.plug.Stop();  // fade out, then silence
  EXPECT_EQ(render.Blocks(10, 256), 0);
  h.plug.OnReset();
  EXPECT_EQ(render.Blocks(1, 0), 0);
}

}  // namespace
}  // namespace selvarin::test
