// Processing with arbitrary set-ups (sample rate, block size, sample size,
// process mode) and blocks (lengths, parameter-change queues with any id and
// value, transport contexts with any tempo and position, the other sample
// size). Whatever the host sends, every sample written must be finite and
// within the design peak of 2.0 (the monaural sum at full volume).
#include <cmath>
#include <cstdint>

#include "tests/fuzz/fuzz_support.h"

namespace sb = Steinberg;
namespace sv = Steinberg::Vst;
using selvarin::fuzz::FuzzInput;
using selvarin::fuzz::FuzzPlugin;
using selvarin::HostParamChanges;

namespace {

// Ordinary values most of the time, any bit pattern now and then.
double PickRate(FuzzInput& in) {
  static const double kRates[] = {44100.0, 48000.0, 96000.0, 8000.0, 1.0, 10e6, 22050.0, 192000.0};
  const uint8_t b = in.Byte();
  return b < 224 ? kRates[b % 8] : in.Raw<double>();
}

double PickTempo(FuzzInput& in) {
  static const double kTempos[] = {120.0, 60.0, 174.0, 0.0, -1.0, 1e-3, 999.0, 33.3};
  const uint8_t b = in.Byte();
  return b < 224 ? kTempos[b % 8] : in.Raw<double>();
}

int64_t PickPosition(FuzzInput& in, int64_t running) {
  const uint8_t b = in.Byte();
  if (b < 160) return running;
  if (b < 224) return running - 48000;  // a pre-roll
  return in.Raw<int64_t>();
}

double PickValue(FuzzInput& in) {
  const uint8_t b = in.Byte();
  if (b < 224) return in.Byte() / 255.0;
  return in.Raw<double>();
}

sv::ParamID PickId(FuzzInput& in) {
  const uint8_t b = in.Byte();
  if (b < 23 * 9) return b % 23;
  if (b < 232) return 0x70727374;  // program change
  if (b < 248) return 0x62706173;  // bypass
  return in.Raw<uint32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  FuzzPlugin plugin("Selvarin fuzz host");

  const uint8_t setupBits = in.Byte();
  const int setupSize = (setupBits & 1) ? sv::kSample32 : sv::kSample64;
  sv::ProcessSetup setup{(setupBits >> 1) % 3, setupSize, 1 + in.Byte() * 4, PickRate(in)};
  if ((setupBits & 0x80) == 0) plugin.processor->setupProcessing(setup);
  plugin.component->setActive(true);

  HostParamChanges changes;
  sv::ProcessContext context{};
  int64_t position = 0;
  for (int block = 0; block < 8 && !in.Empty(); ++block) {
    const uint8_t bits = in.Byte();
    const int frames = (in.Byte() | (in.Byte() & 1) << 8);  // 0 .. 511
    const int sampleSize = (bits & 1) ? (setupSize == sv::kSample32 ? sv::kSample64 : sv::kSample32) : setupSize;

    changes.Clear();
    const int count = (bits >> 1) & 7;
    for (int c = 0; c < count; ++c) {
      const sv::ParamID id = PickId(in);
      changes.Add(id, in.Byte(), PickValue(in));
    }

    context = sv::ProcessContext{};
    context.state = sv::ProcessContext::kTempoValid | ((bits & 0x10) ? sv::ProcessContext::kPlaying : 0);
    context.tempo = PickTempo(in);
    context.sampleRate = setup.sampleRate;
    context.projectTimeSamples = PickPosition(in, position);

    const double worst =
        selvarin::fuzz::ProcessInto(plugin.processor, sampleSize, frames, &changes, (bits & 0x20) ? nullptr : &context);
    SELVARIN_FUZZ_REQUIRE(worst <= 2.0);
    position += frames;
  }
  return 0;
}
