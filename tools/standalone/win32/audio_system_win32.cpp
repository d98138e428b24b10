// PortAudio on Windows: WASAPI and MME.
#include <portaudio.h>

#include "tools/standalone/audio_output.h"

namespace selvarin {

int InitializeAudioSystem() { return Pa_Initialize(); }

void TerminateAudioSystem() { Pa_Terminate(); }

}  // namespace selvarin
