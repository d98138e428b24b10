// The renderer's loudness meter per frame of stereo audio, against
// libebur128 measuring the same (integrated loudness, range, sample and true
// peak) and against its loudness alone: why the renderer meters with its
// own code. The meter runs beside the engine on the writer thread, so it has
// to cost less per frame than rendering does (selvarin_engine_bench).
#include <benchmark/benchmark.h>
#include <ebur128.h>

#include <cmath>
#include <vector>

#include "tools/render/loudness_meter.h"

namespace selvarin {
namespace {

constexpr double kRate = 48000.0;
constexpr size_t kFrames = 1 << 15;  // one buffer of the renderer's writer

// The default sound (200 Hz left, 204 Hz right), or a full-band square whose
// every edge makes the true peak interpolate.
std::vector<float> Signal(bool square) {
  std::vector<float> x(2 * kFrames);
  for (size_t i = 0; i < kFrames; ++i) {
    const double l = std::sin(2 * M_PI * 200.0 * i / kRate), r = std::sin(2 * M_PI * 204.0 * i / kRate);
    x[2 * i] = static_cast<float>(0.5 * (square ? (l > 0 ? 1.0 : -1.0) : l));
    x[2 * i + 1] = static_cast<float>(0.5 * (square ? (r > 0 ? 1.0 : -1.0) : r));
  }
  return x;
}

void Ours(benchmark::State& state) {
  const std::vector<float> x = Signal(state.range(0) != 0);
  LoudnessMeter meter(kRate);
  for (auto _ : state) meter.Add(x.data(), kFrames);
  meter.Finish();
  benchmark::DoNotOptimize(meter.Result().integrated);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kFrames));
}
BENCHMARK(Ours)->Name("meter/renderer/tones")->Arg(0);
BENCHMARK(Ours)->Name("meter/renderer/square")->Arg(1);

void Libebur128(benchmark::State& state) {
  const std::vector<float> x = Signal(false);
  const int mode = state.range(0) ? EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK
                                  : EBUR128_MODE_I;
  ebur128_state* st = ebur128_init(2, static_cast<unsigned>(kRate), mode);
  for (auto _ : state) ebur128_add_frames_float(st, x.data(), kFrames);
  double loudness = 0.0;
  ebur128_loudness_global(st, &loudness);
  benchmark::DoNotOptimize(loudness);
  ebur128_destroy(&st);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kFrames));
}
BENCHMARK(Libebur128)->Name("meter/libebur128/everything")->Arg(1);
BENCHMARK(Libebur128)->Name("meter/libebur128/loudness_only")->Arg(0);

}  // namespace
}  // namespace selvarin

BENCHMARK_MAIN();
