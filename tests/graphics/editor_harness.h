#pragma once
// A Selvarin instance on the test adapter with its editor on the headless
// window host, initialised as a host does it, its window open and painted.
#include <gtest/gtest.h>

#include <vector>

#include "engine/param_ids.h"
#include "engine/selvarin.h"
#include "framework/param_entry.h"
#include "graphics/headless/headless_graphics.h"
#include "raster/raster_bitmap.h"

namespace selvarin::test {

inline IPointerState Shift() {
  IPointerState m;
  m.S = true;
  return m;
}
inline IPointerState LeftHeld() {
  IPointerState m;
  m.L = true;
  return m;
}

class EditorHarness {
 public:
  // scale: the display scale the window opens at.
  explicit EditorHarness(double sampleRate = 48000.0, double scale = 1.0) : plug(InstanceInfo{}) {
    plug.SetSampleRate(sampleRate);
    for (int i = 0; i < kNumParams; ++i) plug.OnParameterChanged(i);  // the host's initialisation
    g = static_cast<HeadlessGraphics*>(plug.Editor());
    g->SetScale(scale);
    g->CreateEditorWindow(nullptr);
    g->Tick();
    plug.edits.clear();
  }

  // Renders one block as the processing call does (under the plug-in lock).
  void RenderBlock(int frames = 256) {
    std::vector<double> l(static_cast<size_t>(frames)), r(static_cast<size_t>(frames));
    double* outs[2] = {l.data(), r.data()};
    ScopedLock lock(plug.Mutex());
    plug.RenderBlock(nullptr, outs, frames);
  }
  // Host automation at a block start: stored, pushed to the editor, applied.
  void Automate(int idx, double normalized) {
    ScopedLock lock(plug.Mutex());
    plug.Param(idx)->SetFromNormalized(normalized);
    if (plug.Editor()) plug.Editor()->PushParamToControls(idx, normalized, true);
    plug.OnParameterChanged(idx);
  }
  double Plain(int idx) { return plug.Param(idx)->Value(); }
  // What a click at (x, y) would reach now.
  IControl* At(int x, int y) {
    g->SyncFromPlugin();
    return g->Control(g->ControlIndexAt(x, y));
  }
  IControl* ControlOf(int param) {
    for (int i = 0; i < g->NControls(); ++i)
      if (g->Control(i)->paramIdx == param && !g->Control(i)->hidden) return g->Control(i);
    return nullptr;
  }
  // Pixel of the window (after the ticks that painted it).
  RasterPixel Pixel(int x, int y) { return g->Screen()->Bits()[y * g->Screen()->RowSpan() + x]; }
  // Counts of host edit gestures of one kind for one parameter.
  int Edits(TestAdapter::EditEvent::Kind kind, int param) const {
    int n = 0;
    for (const auto& e : plug.edits) n += e.kind == kind && e.paramIdx == param;
    return n;
  }

  CLS_SELVARIN plug;
  HeadlessGraphics* g = nullptr;
};

}  // namespace selvarin::test
