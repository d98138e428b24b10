#pragma once
// A tone engine on the test adapter, with a settable millisecond clock and
// helpers to render and measure what a listener would hear.
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/param_ids.h"
#include "engine/selvarin.h"
#include "tests/support/zero_crossing.h"

namespace selvarin::test {

// The engine's millisecond clock in tests: only moves when a test moves it.
inline uint32_t& FakeMs() {
  static uint32_t ms = 1000;
  return ms;
}
inline uint32_t ReadFakeMs() { return FakeMs(); }

class EngineHarness {
 public:
  // A plug-in whose parameters have all been applied once at their
  // defaults (as the host's initialisation does), at `sampleRate`.
  explicit EngineHarness(double sampleRate = 48000.0, bool applyAll = true) : plug(InstanceInfo{}) {
    FakeMs() = 1000;
    plug.SetMsClock(&ReadFakeMs);
    plug.SetSampleRate(sampleRate);
    if (applyAll)
      for (int i = 0; i < kNumParams; ++i) plug.OnParameterChanged(i);
  }

  // Sets a parameter's plain value and applies it, as a host edit would.
  void Set(int idx, double value) {
    plug.Param(idx)->SetFromReal(value);
    plug.OnParameterChanged(idx);
  }

  // Renders `frames` samples in blocks of `block`, appending to left/right.
  void Render(int frames, int block = 256) {
    std::vector<double> l(static_cast<size_t>(block)), r(static_cast<size_t>(block));
    for (int done = 0; done < frames; done += block) {
      const int n = frames - done < block ? frames - done : block;
      double* outs[2] = {l.data(), r.data()};
      plug.RenderBlock(nullptr, outs, n);
      left.insert(left.end(), l.begin(), l.begin() + n);
      right.insert(right.end(), r.begin(), r.begin() + n);
    }
  }

  void Clear() {
    left.clear();
    right.clear();
  }

  const EngineState& St() const { return plug.State(); }

  CLS_SELVARIN plug;
  std::vector<double> left;
  std::vector<double> right;
};

inline double PeakAbs(const std::vector<double>& x, size_t from, size_t to) {
  double peak = 0.0;
  for (size_t i = from; i < to && i < x.size(); ++i) peak = std::fmax(peak, std::fabs(x[i]));
  return peak;
}

}  // namespace selvarin::test
