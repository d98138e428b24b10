// The floor under the application's live figures: a bare PortAudio client
// on the same output, playing a sine from its callback and nothing else.
// bench/standalone_live.sh measures it beside the application, so what the
// machine and the audio server cost shows apart from what Selvarin costs.
//
//   selvarin_portaudio_baseline SECONDS [DEVICE-NAME]
#include <portaudio.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct Sine {
  double phase = 0.0;
  long callbacks = 0;
  long dropOuts = 0;
};

int Play(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags,
         void* user) {
  auto* s = static_cast<Sine*>(user);
  ++s->callbacks;
  if (flags & (paOutputUnderflow | paOutputOverflow)) ++s->dropOuts;
  float** out = static_cast<float**>(output);
  for (unsigned long i = 0; i < frames; ++i) {
    out[0][i] = out[1][i] = static_cast<float>(0.2 * std::sin(s->phase));
    s->phase += 2.0 * M_PI * 200.0 / 48000.0;
  }
  if (s->phase > 2.0 * M_PI) s->phase -= 2.0 * M_PI;
  return paContinue;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  if (Pa_Initialize() != paNoError) return 1;
  PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  for (int i = 0; argc > 2 && i < Pa_GetDeviceCount(); ++i)
    if (std::strcmp(Pa_GetDeviceInfo(i)->name, argv[2]) == 0) device = i;
  if (device < 0) {
    std::fprintf(stderr, "no output device\n");
    return 1;
  }
  PaStreamParameters p{device, 2, paFloat32 | paNonInterleaved, 256.0 / 48000.0, nullptr};
  Sine sine;
  PaStream* stream = nullptr;
  if (Pa_OpenStream(&stream, nullptr, &p, 48000.0, 256, paClipOff, &Play, &sine) != paNoError ||
      Pa_StartStream(stream) != paNoError) {
    std::fprintf(stderr, "the stream did not start\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  Pa_StopStream(stream);
  Pa_CloseStream(stream);
  Pa_Terminate();
  std::printf("%ld callbacks, %ld drop-outs\n", sine.callbacks, sine.dropOuts);
  return 0;
}
