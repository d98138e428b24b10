// Cost of rendering one stereo frame at 48 kHz in 256-frame blocks: the
// default sound, a modulated golden-sine preset with both LFOs running, and
// a floor kernel (two phase accumulators, one sin each per frame, mixed into
// two channels with a gain) that any tone generator has to pay for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/param_ids.h"
#include "engine/selvarin.h"

namespace selvarin {
namespace {

constexpr int kBlock = 256;
constexpr double kSampleRate = 48000.0;

uint32_t StillClock() { return 1000; }

std::unique_ptr<CLS_SELVARIN> MakeEngine(const char* presetName) {
  auto plug = std::make_unique<CLS_SELVARIN>(IPlugInstanceInfo{});
  plug->SetMsClock(&StillClock);
  plug->SetSampleRate(kSampleRate);
  for (int i = 0; i < kNumParams; ++i) plug->OnParameterChanged(i);  // as the host's set-up does
  if (presetName) {
    for (int i = 0; i < plug->PresetCount(); ++i)
      if (std::strcmp(plug->PresetName(i), presetName) == 0) plug->LoadPreset(i);
  }
  plug->Play(120.0);
  return plug;
}

void SetFrameCounters(benchmark::State& state) {
  const double frames = static_cast<double>(state.iterations()) * kBlock;
  state.SetItemsProcessed(static_cast<int64_t>(frames));
  // Seconds per frame, printed with an SI prefix (n for nanoseconds).
  state.counters["per_frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void RenderEngine(benchmark::State& state, const char* presetName) {
  auto plug = MakeEngine(presetName);
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

void BM_RenderDefault(benchmark::State& state) { RenderEngine(state, nullptr); }
void BM_RenderModulatedBinauralGolden(benchmark::State& state) {
  RenderEngine(state, "Modulated Binaural Golden");
}

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

}  // namespace
}  // namespace selvarin

BENCHMARK_MAIN();
