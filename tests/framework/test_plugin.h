#pragma once
// A small plug-in on the test adapter that records what the base calls.
#include <vector>

#include "test_adapter.h"

namespace selvarin {

class RecordingPlugin : public TestAdapter {
 public:
  static constexpr int kParams = 23;

  explicit RecordingPlugin(const char* channelIO = "0-2", int nPresets = 150)
      : TestAdapter(InstanceInfo{}, kParams, channelIO, nPresets, "Selvarin", "", "Kavelin", 0x00010A00,
                    FourCC('v', '1', 'i', 'd'), FourCC('K', 'v', 'L', 'n'), 0, true, false, true) {
    // A mix of kinds and ranges: 0 is a shaped double, 1..22 integers or enums.
    Param(0)->DefineDouble("Base Freq", 200, 20, 20000, 0.1, "Hz");
    Param(0)->SetCurveExponent(2.0);
    Param(1)->DefineDouble("Binaural", 4, 0, 10000, 0.01, "Hz");
    for (int i = 2; i < kParams; ++i) Param(i)->DefineInt("Int", i, -100, 100, "%");
    Param(2)->DefineEnum("Wave", 0, 8);
  }

  void OnParameterChanged(int idx) override {
    ScopedLock lock(Mutex());
    changed.push_back(idx);
  }
  void RenderBlock(double** in, double** out, int frames) override {
    ++renders;
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < frames; ++s) out[c][s] = (c + 1) * 0.25 + s * 1e-3;
    (void)in;
  }

  std::vector<int> changed;
  int renders = 0;
};

}  // namespace selvarin
