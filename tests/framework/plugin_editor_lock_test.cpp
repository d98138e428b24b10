#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "test_plugin.h"

namespace selvarin {
namespace {

struct FakeEditor : EditorLink {
  struct Push {
    int idx;
    double value;
    bool normalized;
  };
  std::vector<Push> pushes;
  std::vector<std::pair<int, double>> forwarded;
  int surfaces = 0;
  int timerTicks = 0;
  int frameRate = 24;
  bool* destroyed = nullptr;
  IAudioPlugin* plug = nullptr;

  ~FakeEditor() override {
    if (destroyed) *destroyed = true;
  }
  void PushParamToControls(int idx, double v, bool n) override { pushes.push_back({idx, v, n}); }
  void ForwardControlValue(int idx, double x) override {
    forwarded.push_back({idx, x});
    if (plug) plug->SetParameterFromEditor(idx, x);  // as a control would
  }
  void HideParamControls(int, bool) override {}
  void PrepareSurface() override { ++surfaces; }
  int FrameRate() const override { return frameRate; }
  void StartEditEndTimer(int ticks) override { timerTicks = ticks; }
  void CancelEditEndTimer() override { timerTicks = 0; }
};

using Kind = TestAdapter::EditEvent::Kind;

TEST(PluginEditor, AttachPushesNormalisedValuesThenPreparesTheSurface) {
  bool destroyed = false;
  {
    RecordingPlugin p;
    auto* ed = new FakeEditor;
    ed->destroyed = &destroyed;
    p.AttachEditor(ed);
    ASSERT_EQ(ed->pushes.size(), 23u);
    EXPECT_TRUE(ed->pushes[0].normalized);
    EXPECT_DOUBLE_EQ(ed->pushes[0].value, p.Param(0)->NormalizedValue());
    EXPECT_EQ(ed->surfaces, 1);
    EXPECT_EQ(p.Editor(), ed);

    ed->pushes.clear();
    p.PushParamsToEditor();
    ASSERT_EQ(ed->pushes.size(), 23u);
    EXPECT_FALSE(ed->pushes[0].normalized);
    EXPECT_EQ(ed->pushes[0].value, 200.0);
  }
  EXPECT_TRUE(destroyed);  // the plug-in owns its editor
}

TEST(PluginEditor, EditorChangesReachHostAndEngine) {
  RecordingPlugin p;
  p.SetParameterFromEditor(7, 0.75);
  EXPECT_EQ(p.Param(7)->Value(), 50.0);
  ASSERT_EQ(p.edits.size(), 1u);
  EXPECT_EQ(p.edits[0].kind, Kind::kPerform);
  EXPECT_EQ(p.edits[0].normalized, 0.75);
  EXPECT_EQ(p.changed, std::vector<int>{7});
  p.SetParameterFromEditor(99, 0.5);  // unknown index: ignored
  EXPECT_EQ(p.changed.size(), 1u);
}

TEST(PluginEditor, EngineSetsAParameterAsOneGesture) {
  RecordingPlugin p;
  p.SetParameterFromEngine(12, 1e6);  // clamped to the range
  EXPECT_EQ(p.Param(12)->Value(), 100.0);
  ASSERT_EQ(p.edits.size(), 3u);
  EXPECT_EQ(p.edits[0].kind, Kind::kBegin);
  EXPECT_EQ(p.edits[1].kind, Kind::kPerform);
  EXPECT_EQ(p.edits[1].normalized, 1.0);
  EXPECT_EQ(p.edits[2].kind, Kind::kEnd);
  EXPECT_EQ(p.changed, std::vector<int>{12});

  // With an editor the bound controls take the value as if the user had set it.
  auto* ed = new FakeEditor;
  ed->plug = &p;
  p.AttachEditor(ed);
  p.edits.clear();
  p.SetParameterFromEngine(12, 0.0);
  ASSERT_EQ(ed->forwarded.size(), 1u);
  EXPECT_DOUBLE_EQ(ed->forwarded[0].second, 0.5);
  EXPECT_EQ(p.edits.front().kind, Kind::kBegin);
  EXPECT_EQ(p.edits.back().kind, Kind::kEnd);
}

TEST(PluginEditor, WheelEditsEndOnceAfterTheCountdown) {
  RecordingPlugin p;
  p.DeferEndParamEdit(4);  // no editor: ends at once
  ASSERT_EQ(p.edits.size(), 1u);
  EXPECT_EQ(p.edits[0].kind, Kind::kEnd);

  auto* ed = new FakeEditor;
  ed->frameRate = 24;
  p.AttachEditor(ed);
  p.edits.clear();
  p.DeferEndParamEdit(3);
  p.DeferEndParamEdit(5);
  EXPECT_EQ(ed->timerTicks, 12);
  EXPECT_EQ(p.PendingEndEditParam(), 5);
  EXPECT_TRUE(p.edits.empty());
  p.FlushDeferredEndEdit();
  ASSERT_EQ(p.edits.size(), 1u);
  EXPECT_EQ(p.edits[0].paramIdx, 5);
  EXPECT_EQ(ed->timerTicks, 0);
  p.FlushDeferredEndEdit();
  EXPECT_EQ(p.edits.size(), 1u);

  ed->frameRate = 1;
  p.DeferEndParamEdit(2);
  EXPECT_EQ(ed->timerTicks, 1);
}

TEST(PluginLock, ReentersOnOneThreadAndExcludesOthers) {
  RecordingPlugin p;
  {
    ScopedLock outer(p.Mutex());
    ScopedLock inner(p.Mutex());  // recursive: no deadlock
    p.OnParameterChanged(1);      // takes it a third time
  }

  std::atomic<bool> held{false}, release{false}, otherGotIn{false};
  std::thread holder([&] {
    ScopedLock lock(p.Mutex());
    held = true;
    while (!release) std::this_thread::yield();
  });
  while (!held) std::this_thread::yield();
  std::thread other([&] {
    StateChunk c;
    p.WriteParamState(&c);  // state saving waits for the lock
    otherGotIn = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(otherGotIn);
  release = true;
  holder.join();
  other.join();
  EXPECT_TRUE(otherGotIn);
}

}  // namespace
}  // namespace selvarin
