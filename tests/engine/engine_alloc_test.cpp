// Rendering must never touch the heap: this binary counts every allocation
// made while a block renders, with every feature of the loop in play.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/alloc_counter.h"
#include "engine/editor_links.h"
#include "engine_harness.h"

namespace selvarin::test {
namespace {

class CountedRender {
 public:
  explicit CountedRender(EngineHarness& h) : h_(h) {}
  long Blocks(int count, int frames) {
    double* outs[2] = {left_, right_};
    StartCountingAllocations();
    for (int b = 0; b < count; ++b) h_.plug.RenderBlock(nullptr, outs, frames);
    return StopCountingAllocations();
  }

 private:
  EngineHarness& h_;
  double left_[512] = {};
  double right_[512] = {};
};

TEST(RealTime, CountingSeesAnAllocation) {
  if (!CountsMallocCalls()) GTEST_SKIP() << "the C library's allocator cannot be replaced here";
  void* volatile p = nullptr;
  EXPECT_EQ(CountAllocations([&] { p = std::malloc(16); }), 1);
  std::free(p);
}

TEST(RealTime, CountingSeesOperatorNew) {
  int* volatile p = nullptr;
  EXPECT_EQ(CountAllocations([&] { p = new int(7); }), 1);
  delete p;
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

// The processing call's view of the editor: every parameter (the Sync
// switches in both directions included) and the preset automated while the
// plug-in's own editor is attached. Pushing values, hiding rate knobs, the
// band label and the indicators only publish into the editor.
TEST(RealTime, AutomationWithAnAttachedEditorAllocatesNothing) {
  EngineHarness h;
  ASSERT_NE(h.plug.Editor(), nullptr);
  h.plug.Play(120.0);
  double left[256] = {}, right[256] = {};
  double* outs[2] = {left, right};
  h.plug.RenderBlock(nullptr, outs, 256);
  auto block = [&](int round) {
    ScopedLock lock(h.plug.Mutex());
    for (int i = 0; i < kNumParams; ++i) {
      const double x = ((round + i) % 4) / 3.0;  // 0, 1/3, 2/3, 1: both Sync states
      h.plug.Param(i)->SetFromNormalized(x);
      h.plug.Editor()->PushParamToControls(i, x, true);
      h.plug.OnParameterChanged(i);
    }
    if (round % 3 == 0) h.plug.LoadPreset(1 + round % 140);
    h.plug.RenderBlock(nullptr, outs, 256);
  };
  StartCountingAllocations();
  for (int round = 0; round < 24; ++round) block(round);
  EXPECT_EQ(StopCountingAllocations(), 0);
}

}  // namespace
}  // namespace selvarin::test
