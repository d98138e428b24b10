// EditorConcurrencyTest: the audio thread automates every parameter (the
// Sync switches included) and the preset while rendering, and the editor
// thread ticks, draws, drags, wheels, clicks the Sync buttons and opens and
// closes lists, for a few seconds. Run under ThreadSanitizer it must stay
// quiet; in any build it must end with a consistent editor.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "editor_harness.h"
#include "graphics/prompt_popup.h"

namespace selvarin::test {
namespace {

TEST(EditorConcurrencyTest, AudioAutomationWhileTheEditorIsUsed) {
  EditorHarness h;
  h.plug.Play(120.0);
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};

  std::thread audio([&] {
    std::vector<double> l(256), r(256);
    double* outs[2] = {l.data(), r.data()};
    unsigned n = 0;
    while (!stop.load(std::memory_order_relaxed)) {
      {
        ScopedLock lock(h.plug.Mutex());
        // A few parameters per block, as a host's automation lanes do.
        for (int k = 0; k < 4; ++k, ++n) {
          const int idx = static_cast<int>(n % kNumParams);
          const double x = ((n * 7919u) % 101u) / 100.0;
          h.plug.Param(idx)->SetFromNormalized(x);
          h.plug.Editor()->PushParamToControls(idx, x, true);
          h.plug.OnParameterChanged(idx);
        }
        if (n % 64 == 0) h.plug.LoadPreset(static_cast<int>((n / 64) % 141));
        h.plug.RenderBlock(nullptr, outs, 256);
      }
      blocks.fetch_add(1, std::memory_order_relaxed);
      std::this_thread::yield();
    }
  });

  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int round = 0;
  while (std::chrono::steady_clock::now() < until) {
    ++round;
    h.g->Tick();
    h.g->LeftDown(48, 129);  // drag "Base Freq"
    for (int d = 1; d <= 10; ++d) h.g->MouseMove(48, 129 - 3 * d * (round % 2 ? 1 : -1), LeftHeld());
    h.g->ButtonUp(48, 100);
    h.g->Wheel(426, 129, round % 3 - 1);
    h.g->LeftDown(200, 204);  // "LFO1 Sync"
    h.g->ButtonUp(200, 204);
    h.g->LeftDown(500, 204);  // "LFO2 Sync"
    h.g->ButtonUp(500, 204);
    h.g->MouseMove(201, 277);
    h.g->RightDown(197, 129);  // the "Wave" list, then away
    h.g->ButtonUp(197, 129);
    h.g->Tick();
    h.g->LeftDown(5, 5);
    h.g->ButtonUp(5, 5);
    h.g->LeftDown(120, 222);  // the target drop-down
    h.g->ButtonUp(120, 222);
    h.g->Tick();
    h.g->LeftDown(120, 250);
    h.g->ButtonUp(120, 250);
    h.g->Tick();
    h.g->RightDown(48, 129);  // type a "Base Freq"
    h.g->ButtonUp(48, 129);
    h.g->TypeText(round % 2 ? "432" : "1000");
    h.g->KeyDown(kVkReturn);
    h.g->Tick();
  }
  stop.store(true);
  audio.join();
  EXPECT_GT(blocks.load(), 20);
  EXPECT_GT(round, 3);

  // Quiet again: after a tick every control shows its parameter's value.
  h.g->Tick();
  h.g->Tick();
  for (int i = 0; i < h.g->NControls(); ++i) {
    IControl* c = h.g->Control(i);
    const IParamEntry* p = c->Param();
    if (!p) continue;
    char shown[IParamEntry::kTextSize], actual[IParamEntry::kTextSize];
    p->FormatValue(c->value, true, shown);
    p->FormatValue(p->Value(), false, actual);
    EXPECT_STREQ(shown, actual) << "control " << i;
  }
  // Exactly one rate knob per LFO shows, the one the Sync switch says.
  const bool synced1 = h.Plain(kParamLfo1Sync) > 0.5;
  EXPECT_EQ(h.g->Control(19)->hidden, !synced1);
  EXPECT_EQ(h.g->Control(20)->hidden, synced1);
}

}  // namespace
}  // namespace selvarin::test
