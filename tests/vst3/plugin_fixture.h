#pragma once
// A test host: loads the built Selvarin bundle through the VST3 ABI and
// drives one instance the way a DAW does.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/vst3host/host_objects.h"
#include "tools/vst3host/host_transport.h"
#include "tools/vst3host/hosted_plugin.h"
#include "tools/vst3host/module_loader.h"
#include "tools/vst3host/stereo_output.h"
#include "vst3/fourcc_param_ids.h"

namespace selvarin {
namespace test {

// The tests' short names for the program-change and bypass ids.
constexpr Steinberg::Vst::ParamID kPrst = kPresetParamId;
constexpr Steinberg::Vst::ParamID kBpas = kBypassParamId;

// The module stays loaded for the whole test program, as in a host.
Vst3Module& SharedModule();

struct Rendered {
  std::vector<double> left, right;
};

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // setupProcessing + setActive(true) with 64- or 32-bit samples, in real
  // time (or offline, where no pause of the test's thread re-phases the tones).
  void Prepare(double rate = 48000.0, int maxBlock = 512, int bits = 64, bool offline = false);
  // Renders frames in blocks of `block`, the transport playing (or not) at
  // 120 BPM from position 0 on; queued changes go with the first block.
  Rendered Render(int frames, int block = 512, bool playing = true);
  // A processing call that only carries the queued parameter changes.
  void Flush();
  void Queue(Steinberg::Vst::ParamID id, double value, int offset = 0) { changes.Add(id, offset, value); }
  double Plain(Steinberg::Vst::ParamID id);

  HostApp host{"Selvarin test host"};
  HostedPlugin plugin;
  HostParamChanges changes;
  HostEventList events;
  double rate_ = 48000.0;
  int bits_ = 64;
  int64_t position_ = 0;
};

}  // namespace test
}  // namespace selvarin
