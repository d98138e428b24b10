// Editor costs on the headless host: a full repaint, an idle tick (only the
// LFO indicators dirty), a knob drag with its repaint, and creating a
// plug-in instance with its editor once the images are cached.
// Targets: < 1 ms, < 20 us, < 150 us, < 10 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/param_ids.h"
#include "engine/selvarin.h"
#include "graphics/headless/igraphics_headless.h"

namespace selvarin {
namespace {

struct OpenEditor {
  OpenEditor() : plug(IPlugInstanceInfo{}) {
    plug.SetSampleRate(48000.0);
    for (int i = 0; i < kNumParams; ++i) plug.OnParameterChanged(i);
    // Both LFOs running, so the indicators carry markers.
    plug.Param(kParamLfo1Target)->SetFromReal(3);
    plug.OnParameterChanged(kParamLfo1Target);
    plug.Param(kParamLfo2Target)->SetFromReal(4);
    plug.OnParameterChanged(kParamLfo2Target);
    g = static_cast<IGraphicsHeadless*>(plug.Editor());
    g->CreateEditorWindow(nullptr);
    for (int i = 0; i < 4; ++i) g->Tick();
  }
  CLS_SELVARIN plug;
  IGraphicsHeadless* g;
};

void BM_FullRepaint(benchmark::State& state) {
  OpenEditor e;
  const IArea all{0, 0, 550, 363};
  for (auto _ : state) benchmark::DoNotOptimize(e.g->Draw(all));
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  OpenEditor e;
  for (auto _ : state) e.g->Tick();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

void BM_KnobDragRepaint(benchmark::State& state) {
  OpenEditor e;
  IPointerState held;
  held.L = true;
  e.g->LeftDown(48, 129);
  int y = 129, step = -1;
  for (auto _ : state) {
    y += step;
    if (y < 60 || y > 200) step = -step;
    e.g->MouseMove(48, y, held);
    e.g->Tick();
  }
  e.g->ButtonUp(48, y);
}
BENCHMARK(BM_KnobDragRepaint)->Unit(benchmark::kMicrosecond);

void BM_CreatePluginWithEditor(benchmark::State& state) {
  { CLS_SELVARIN warm(IPlugInstanceInfo{}); }  // images decoded once per process
  for (auto _ : state) {
    auto plug = std::make_unique<CLS_SELVARIN>(IPlugInstanceInfo{});
    benchmark::DoNotOptimize(plug->Editor());
  }
}
BENCHMARK(BM_CreatePluginWithEditor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace selvarin

BENCHMARK_MAIN();
