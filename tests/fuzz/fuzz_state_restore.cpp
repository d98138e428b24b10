// Restores arbitrary bytes as the plug-in's saved state through the
// component's setState, from streams that fail, run short or lie about how
// much they delivered, for an ordinary host and for WaveLab (whose failing
// reads are read on). Afterwards every parameter must be in range, the
// state must save as 188 bytes again and the tone must stay finite and
// within its design peak.
#include <cstdint>
#include <cstdio>

#include "tests/fuzz/fuzz_support.h"
#include "tests/vst3/test_stream.h"

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;
using selvarin::fuzz::FuzzInput;
using selvarin::fuzz::FuzzPlugin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One instance per host for the whole run, as a host keeps its plug-ins:
  // each input restores on top of what the previous one left.
  static FuzzPlugin other("Selvarin fuzz host");
  static FuzzPlugin wavelab("WaveLab Pro 12");
  static bool prepared = [] {
    for (FuzzPlugin* p : {&other, &wavelab}) {
      sv::ProcessSetup setup{sv::kRealtime, sv::kSample64, 256, 48000.0};
      SELVARIN_FUZZ_REQUIRE(p->processor->setupProcessing(setup) == sb::kResultOk);
      p->component->setActive(true);
    }
    return true;
  }();
  (void)prepared;

  FuzzInput in(data, size);
  const uint8_t mode = in.Byte();
  FuzzPlugin& plugin = (mode & 1) ? wavelab : other;
  selvarin::test::TestStream stream(in.Rest());
  stream.claimWholeRequest = (mode & 2) != 0;
  stream.errorWithBytes = (mode & 4) != 0;
  stream.claimBeyond = (mode & 8) ? 129 : 0;  // past any request: nothing of it may count
  stream.deliverAtMost = (mode >> 4) ? (mode >> 4) * 9 : -1;
  plugin.component->setState(&stream);

  for (sv::ParamID id = 0; id < 23; ++id) {
    const double x = plugin.controller->getParamNormalized(id);
    SELVARIN_FUZZ_REQUIRE(x >= 0.0 && x <= 1.0);
  }
  selvarin::test::TestStream saved;
  SELVARIN_FUZZ_REQUIRE(plugin.component->getState(&saved) == sb::kResultOk);
  SELVARIN_FUZZ_REQUIRE(saved.Bytes().size() == 188);

  sv::ProcessContext context{};
  context.state = sv::ProcessContext::kPlaying | sv::ProcessContext::kTempoValid;
  context.tempo = 120.0;
  context.sampleRate = 48000.0;
  const double worst = selvarin::fuzz::ProcessInto(plugin.processor, sv::kSample64, 256, nullptr, &context);
  if (!(worst <= 2.0)) {
    std::fprintf(stderr, "worst sample %g with the values:", worst);
    for (sv::ParamID id = 0; id < 23; ++id)
      std::fprintf(stderr, " %g", plugin.controller->normalizedParamToPlain(id, plugin.controller->getParamNormalized(id)));
    std::fprintf(stderr, "\n");
  }
  SELVARIN_FUZZ_REQUIRE(worst <= 2.0);
  return 0;
}
