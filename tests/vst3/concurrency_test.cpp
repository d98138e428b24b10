// A host's two threads at once: processing on the audio thread while the
// user-interface thread edits parameters, selects presets, saves and
// restores the state; and the module's first factory call from two threads.
// These are the tests the thread sanitizer build runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <future>
#include <random>
#include <thread>

#include "tests/vst3/plugin_fixture.h"
#include "tests/vst3/test_stream.h"
#include "tools/platform/shared_library.h"

namespace selvarin {
namespace test {
namespace {

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;

using ConcurrencyTest = PluginTest;

// One 64-bit processing call of `frames` samples with its own buffers, as
// an audio thread makes it; returns the block's largest magnitude (infinity
// for a sample that is not finite).
double ProcessBlock(sv::IAudioProcessor* processor, int64_t position, int frames,
                    sv::IParameterChanges* changes = nullptr) {
  StereoOutput output(sv::kSample64, frames);
  sv::ProcessContext context;
  FillContext(&context, HostTransport{48000.0, 120.0, true}, position);
  HostParamChanges reported;
  output.SetInputs(changes, nullptr, &context);
  output.data.numSamples = frames;
  output.data.outputParameterChanges = &reported;
  EXPECT_EQ(processor->process(output.data), sb::kResultOk);
  double worst = 0.0;
  for (int c = 0; c < 2; ++c) {
    for (double x : output.samples64[c]) {
      if (!std::isfinite(x)) return INFINITY;
      worst = std::fmax(worst, std::fabs(x));
    }
  }
  return worst;
}

// These two tests process on new threads (each std::async call may run on
// its own) after this thread rendered first: on purpose, a host's audio
// thread that changes without a new set-up, which a debug build reports
// once on stderr.
TEST_F(ConcurrencyTest, ASlowStateStreamDoesNotHoldUpProcessing) {
  Prepare();
  Render(4800);
  TestStream saved;
  ASSERT_EQ(plugin.component->getState(&saved), sb::kResultOk);

  // While the user-interface thread is inside setState, reading the host's
  // stream, the audio thread processes a block; it must not wait for the
  // read to end. (If it did, the block would finish only after setState.)
  TestStream slow(saved.Bytes());
  std::vector<std::future<double>> blocks;
  int heldUp = 0;
  slow.onRead = [&] {
    blocks.push_back(std::async(std::launch::async, [this] { return ProcessBlock(plugin.processor, 4800, 512); }));
    if (blocks.back().wait_for(std::chrono::seconds(3)) != std::future_status::ready) ++heldUp;
  };
  EXPECT_EQ(plugin.component->setState(&slow), sb::kResultOk);
  for (auto& b : blocks) EXPECT_LE(b.get(), 1.0);
  EXPECT_GE(blocks.size(), 2u);
  EXPECT_EQ(heldUp, 0);
}

TEST_F(ConcurrencyTest, SavingIntoASlowStreamDoesNotHoldUpProcessing) {
  Prepare();
  Render(4800);
  TestStream reference;
  ASSERT_EQ(plugin.component->getState(&reference), sb::kResultOk);

  // A host saving to a slow disk or network share: each write takes up to
  // 100 ms. During every write the audio thread processes a block; the
  // time its processing call takes is how long it waited.
  TestStream slow;
  std::vector<std::future<double>> blocks;
  int heldUp = 0;
  slow.onWrite = [&] {
    blocks.push_back(std::async(std::launch::async, [this] {
      StereoOutput output(sv::kSample64, 64);
      output.SetInputs(nullptr, nullptr, nullptr);
      output.data.numSamples = 64;
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(plugin.processor->process(output.data), sb::kResultOk);
      return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }));
    if (blocks.back().wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) ++heldUp;
  };
  ASSERT_EQ(plugin.component->getState(&slow), sb::kResultOk);
  double longestMs = 0.0;
  for (auto& b : blocks) longestMs = std::fmax(longestMs, b.get());
  EXPECT_GE(blocks.size(), 1u);
  EXPECT_EQ(heldUp, 0);
  EXPECT_LT(longestMs, 5.0) << "the processing call waited for the host's stream";
  RecordProperty("longest_process_wait_us", static_cast<int>(longestMs * 1000.0));
  EXPECT_EQ(slow.Bytes(), reference.Bytes()) << "the same 188 bytes";
  EXPECT_EQ(slow.Bytes().size(), 188u);
}

TEST_F(ConcurrencyTest, ProcessingAgainstControllerStateAndPresetCalls) {
  Prepare(48000.0, 256, 64);
  std::atomic<bool> audioDone{false};
  double worst = 0.0;
  std::thread audio([&] {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    HostParamChanges queued;
    for (int b = 0; b < 1000; ++b) {
      queued.Clear();
      // Automation of a few parameters, now and then a program change:
      // first to the empty slots at the end (selecting one names it), then
      // to any preset.
      for (int k = 0; k < 3; ++k) queued.Add(static_cast<sv::ParamID>(rng() % 23), 0, unit(rng));
      if (b % 25 == 0) queued.Add(kPrst, 0, b < 250 ? (141 + b / 25) / 149.0 : unit(rng));
      worst = std::fmax(worst, ProcessBlock(plugin.processor, int64_t{256} * b, 256, &queued));
    }
    audioDone = true;
  });

  std::mt19937 rng(12);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const sv::ParamID ids[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 15, 19, 22, kPrst, kBpas};
  int restored = 0, calls = 0;
  while (!audioDone || calls < 200) {
    const sv::ParamID id = ids[rng() % (sizeof ids / sizeof ids[0])];
    // Bypass is left off: the audio thread's output is what is measured.
    plugin.controller->setParamNormalized(id, id == kBpas ? 0.0 : unit(rng));
    const double x = plugin.controller->getParamNormalized(id);
    EXPECT_TRUE(x >= 0.0 && x <= 1.0) << id;
    sv::String128 text;
    plugin.controller->getParamStringByValue(id % 23, x, text);
    plugin.units->getProgramName(kPrst, static_cast<sb::int32>(141 + rng() % 9), text);
    if (++calls % 16 == 0) {
      TestStream state;
      ASSERT_EQ(plugin.component->getState(&state), sb::kResultOk);
      TestStream back(state.Bytes());
      EXPECT_EQ(plugin.component->setState(&back), sb::kResultOk);
      ++restored;
    }
  }
  audio.join();
  EXPECT_LE(worst, 2.0);
  EXPECT_GT(restored, 0);
}

TEST_F(ConcurrencyTest, ACallOnAnotherThreadThanItsRolesIsReportedOnceInDebugBuildsOnly) {
  // This thread sets up, activates and renders: it is both the
  // user-interface and the audio thread, as in an offline host.
  Prepare();
  Render(512);
  testing::internal::CaptureStderr();
  // A new processing run may come on another audio thread. That thread
  // stays until the end, so no later thread can reuse its id.
  ASSERT_EQ(plugin.component->setActive(false), sb::kResultOk);
  ASSERT_EQ(plugin.component->setActive(true), sb::kResultOk);
  std::promise<void> processed, release;
  std::thread newRun([&] {
    ProcessBlock(plugin.processor, 0, 64);
    processed.set_value();
    release.get_future().wait();
  });
  processed.get_future().wait();
  const std::string afterNewRun = testing::internal::GetCapturedStderr();
  EXPECT_EQ(afterNewRun, "");

  // On purpose against the rules: processing moves to a third thread, which
  // also edits parameters, away from the set-up's thread; three times each,
  // reported once each in a debug build.
  testing::internal::CaptureStderr();
  std::thread([&] {
    for (int i = 0; i < 3; ++i) {
      ProcessBlock(plugin.processor, 64, 64);
      plugin.controller->setParamNormalized(7, 0.5);
    }
  }).join();
  plugin.controller->setParamNormalized(7, 0.25);  // the user-interface thread itself
  const std::string said = testing::internal::GetCapturedStderr();
#ifdef NDEBUG
  EXPECT_EQ(said, "") << "release builds check nothing";
#else
  auto count = [&](const std::string& what) {
    int n = 0;
    for (size_t at = said.find(what); at != std::string::npos; at = said.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("called process on another thread than its first audio-thread call"), 1) << said;
  EXPECT_EQ(count("called setParamNormalized on another thread than its first user-interface-thread call"), 1)
      << said;
  EXPECT_EQ(count("\n"), 2) << said;
#endif
  release.set_value();
  newRun.join();
}

TEST(ConcurrencyModuleTest, FirstFactoryCallsFromTwoThreadsShareOneFactory) {
  // A private copy of the module, so this test makes the very first call:
  // the shared module's factory is held by its loader.
  namespace fs = std::filesystem;
  const fs::path module = Vst3Module::ModuleFileInBundle(SELVARIN_TEST_BUNDLE);
  const std::string unique = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const fs::path copy = fs::temp_directory_path() / ("selvarin_factory_race_" + unique + module.extension().string());
  fs::copy_file(module, copy, fs::copy_options::overwrite_existing);
  std::string error;
  void* h = OpenSharedLibrary(copy.string(), &error);
  ASSERT_NE(h, nullptr) << error;
  using FactoryFn = sb::IPluginFactory* (*)();
  auto get = reinterpret_cast<FactoryFn>(SharedLibrarySymbol(h, "GetPluginFactory"));
  ASSERT_NE(get, nullptr);
  // Each round ends by releasing every reference: the next round's calls
  // are first calls again.
  for (int round = 0; round < 50; ++round) {
    std::atomic<int> ready{0};
    sb::IPluginFactory* got[2] = {nullptr, nullptr};
    auto call = [&](int t) {
      ready.fetch_add(1);
      while (ready.load() < 2) {
      }
      got[t] = get();
    };
    std::thread a(call, 0), b(call, 1);
    a.join();
    b.join();
    ASSERT_NE(got[0], nullptr);
    ASSERT_EQ(got[0], got[1]) << "round " << round;
    got[0]->release();
    got[1]->release();
  }
  CloseSharedLibrary(h);
  fs::remove(copy);
}

}  // namespace
}  // namespace test
}  // namespace selvarin
