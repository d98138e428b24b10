// PortAudio on Linux: ALSA, OSS and JACK. The JACK client is named after the
// application (a second instance gets JACK's "-01" suffix). ALSA and libjack
// report probing failures (no sound card, no server) on stderr themselves;
// while PortAudio probes, stderr goes nowhere, and the application says
// what matters in its own words.
#include <fcntl.h>
#include <pa_jack.h>
#include <portaudio.h>
#include <unistd.h>

#include <cstdio>

#include "tools/standalone/audio_output.h"

namespace selvarin {

namespace {

class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

int InitializeAudioSystem() {
  PaJack_SetClientName("selvarin");
  QuietStderr quiet;
  return Pa_Initialize();
}

void TerminateAudioSystem() {
  QuietStderr quiet;
  Pa_Terminate();
}

}  // namespace selvarin
