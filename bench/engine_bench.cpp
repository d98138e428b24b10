// Cost of rendering one stereo frame at 48 kHz in 256-frame blocks: the
// default sound, the modulated golden-sine presets with both LFOs running,
// every one of the 150 preset slots, and a floor kernel (two phase
// accumulators, one libm sin each per frame, mixed into two channels with a
// gain) that any tone generator has to pay for. At the end it prints the
// ratios of the medians, all from this one run:
//
//   selvarin_engine_bench --benchmark_repetitions=5
//       --benchmark_enable_random_interleaving=true --benchmark_min_time=0.05
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/param_ids.h"
#include "engine/selvarin.h"

namespace selvarin {
namespace {

constexpr int kBlock = 256;
constexpr double kSampleRate = 48000.0;

uint32_t StillClock() { return 1000; }

constexpr int kSlotCount = 150;

// A playing engine at 120 BPM with preset slot `slot` loaded (-1: none).
std::unique_ptr<CLS_SELVARIN> MakeEngine(int slot) {
  auto plug = std::make_unique<CLS_SELVARIN>(InstanceInfo{});
  plug->SetMsClock(&StillClock);
  plug->SetSampleRate(kSampleRate);
  for (int i = 0; i < kNumParams; ++i) plug->OnParameterChanged(i);  // as the host's set-up does
  if (slot >= 0) plug->LoadPreset(slot);
  plug->Play(120.0);
  return plug;
}

int SlotNamed(const char* presetName) {
  CLS_SELVARIN plug{InstanceInfo{}};
  for (int i = 0; i < plug.PresetCount(); ++i)
    if (std::strcmp(plug.PresetName(i), presetName) == 0) return i;
  return -1;
}

void SetFrameCounters(benchmark::State& state) {
  const double frames = static_cast<double>(state.iterations()) * kBlock;
  state.SetItemsProcessed(static_cast<int64_t>(frames));
  // Seconds per frame, printed with an SI prefix (n for nanoseconds).
  state.counters["per_frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void RenderEngine(benchmark::State& state, int slot) {
  auto plug = MakeEngine(slot);
  std::vector<double> left(kBlock), right(kBlock);
  double* outs[2] = {left.data(), right.data()};
  for (int i = 0; i < 200; ++i) plug->RenderBlock(nullptr, outs, kBlock);  // past the first block's set-up
  for (auto _ : state) {
    plug->RenderBlock(nullptr, outs, kBlock);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}

void BM_RenderDefault(benchmark::State& state) { RenderEngine(state, -1); }
void BM_RenderModulatedBinauralGolden(benchmark::State& state) {
  RenderEngine(state, SlotNamed("Modulated Binaural Golden"));
}
void BM_RenderShiftBetweenEars(benchmark::State& state) { RenderEngine(state, SlotNamed("Shift Between Ears")); }
// Preset slot n as the host lists it (0 is the default entry; the 9 empty
// slots at the end load nothing and keep the defaults).
void BM_RenderSlot(benchmark::State& state) { RenderEngine(state, static_cast<int>(state.range(0))); }

void BM_FloorKernel(benchmark::State& state) {
  std::vector<double> left(kBlock), right(kBlock);
  const double twoPi = 6.283185307179586;
  const double incA = 200.0 * twoPi / kSampleRate, incB = 204.0 * twoPi / kSampleRate;
  double phaseA = 0.0, phaseB = 0.0;
  const double gain = 0.5;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      const double a = std::sin(phaseA);
      const double b = std::sin(phaseB);
      left[static_cast<size_t>(i)] = (a * 0.75 + b * 0.25) * gain;
      right[static_cast<size_t>(i)] = (b * 0.75 + a * 0.25) * gain;
      phaseA += incA;
      if (phaseA >= twoPi) phaseA -= twoPi;
      phaseB += incB;
      if (phaseB >= twoPi) phaseB -= twoPi;
    }
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}

// The machine is shared: with --benchmark_repetitions the fastest run is
// the one least disturbed by other work, so it is reported too.
double Fastest(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_FloorKernel)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_RenderDefault)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_RenderModulatedBinauralGolden)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_RenderShiftBetweenEars)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_RenderSlot)->DenseRange(0, kSlotCount - 1)->ComputeStatistics("min", Fastest);

// The console output, then the ratios of the median costs per frame.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const auto c = r.counters.find("per_frame");
      if (c == r.counters.end()) continue;
      // Without repetitions the single run stands for the median.
      if ((r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") ||
          (r.run_type == Run::RT_Iteration && r.repetitions <= 1))
        medians_[r.run_name.str()] = c->second.value;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double floor = Median("BM_FloorKernel");
    if (floor <= 0.0) return;
    std::printf("\nmedian cost per frame, ratio to the two-sin floor kernel (%.2f ns):\n", floor * 1e9);
    for (const char* name : {"BM_RenderDefault", "BM_RenderModulatedBinauralGolden", "BM_RenderShiftBetweenEars"})
      if (Median(name) > 0.0) std::printf("  %-34s %6.2f ns  %.3f x floor\n", name, Median(name) * 1e9, Median(name) / floor);
    std::vector<std::pair<double, int>> slots;
    for (int i = 0; i < kSlotCount; ++i) {
      const double t = Median("BM_RenderSlot/" + std::to_string(i));
      if (t > 0.0) slots.push_back({t, i});
    }
    if (slots.empty()) return;
    std::sort(slots.begin(), slots.end());
    const double median = slots[slots.size() / 2].first;
    CLS_SELVARIN names{InstanceInfo{}};
    std::printf("preset slots measured: %zu; fastest %.2f ns, median %.2f ns (%.3f x floor)\n", slots.size(),
                slots.front().first * 1e9, median * 1e9, median / floor);
    std::printf("slowest slots (slowest/median, x floor):\n");
    for (size_t k = slots.size(); k-- > 0 && k + 5 >= slots.size();)
      std::printf("  slot %3d %-36.36s %6.2f ns  %.3f  %.3f x floor\n", slots[k].second, names.PresetName(slots[k].second),
                  slots[k].first * 1e9, slots[k].first / median, slots[k].first / floor);
  }

 private:
  double Median(const std::string& name) const {
    const auto it = medians_.find(name);
    return it == medians_.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> medians_;
};

}  // namespace
}  // namespace selvarin

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  selvarin::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
