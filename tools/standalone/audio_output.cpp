#include "tools/standalone/audio_output.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace selvarin {

namespace {

int64_t SteadyNanos() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string PaText(PaError e) { return Pa_GetErrorText(e); }

PaStreamParameters OutputParams(const AudioDevice& d, double rate, int frames) {
  PaStreamParameters p{};
  p.device = d.id;
  p.channelCount = 2;
  p.sampleFormat = paFloat32 | paNonInterleaved;
  // Room for one buffer at least, never below what the device can do.
  p.suggestedLatency = std::max(d.lowLatency, frames / rate);
  return p;
}

}  // namespace

AudioOutput::~AudioOutput() {
  Close();
  // PortAudio's JACK side hangs or aborts when asked to close after its
  // server went away: the process ends without that.
  if (started_ && !jackUnusable_) TerminateAudioSystem();
}

bool AudioOutput::Start(std::string* error) {
  if (started_) return true;
  const PaError e = InitializeAudioSystem();
  if (e != paNoError) {
    *error = "the audio system did not start: " + PaText(e);
    return false;
  }
  started_ = true;
  List();
  return true;
}

bool AudioOutput::Rescan() {
  if (!started_ || stream_ || jackUnusable_) return false;
  TerminateAudioSystem();
  started_ = InitializeAudioSystem() == paNoError;
  devices_.clear();
  if (started_) List();
  return started_;
}

void AudioOutput::List() {
  devices_.clear();
  const PaDeviceIndex def = Pa_GetDefaultOutputDevice();
  const int n = Pa_GetDeviceCount();
  for (int i = 0; i < n; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (!info || info->maxOutputChannels < 2) continue;
    const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
    AudioDevice d;
    d.id = i;
    d.hostApi = api && api->name ? api->name : "";
    d.name = info->name ? info->name : "";
    d.defaultRate = info->defaultSampleRate;
    d.lowLatency = info->defaultLowOutputLatency;
    d.isDefault = i == def;
    d.isJack = api && api->type == paJACK;
    devices_.push_back(d);
  }
}

int AudioOutput::DefaultDevice() const {
  for (size_t i = 0; i < devices_.size(); ++i)
    if (devices_[i].isDefault) return static_cast<int>(i);
  return devices_.empty() ? -1 : 0;
}

std::vector<double> AudioOutput::SupportedRates(int device) const {
  std::vector<double> rates;
  if (device < 0 || device >= static_cast<int>(devices_.size())) return rates;
  const AudioDevice& d = devices_[static_cast<size_t>(device)];
  if (d.isJack && jackUnusable_) return rates;
  std::vector<double> candidates = {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
  if (d.defaultRate > 0.0 && std::find(candidates.begin(), candidates.end(), d.defaultRate) == candidates.end())
    candidates.push_back(d.defaultRate);
  std::sort(candidates.begin(), candidates.end());
  for (double r : candidates) {
    const PaStreamParameters p = OutputParams(d, r, 512);
    if (Pa_IsFormatSupported(nullptr, &p, r) == paFormatIsSupported) rates.push_back(r);
  }
  return rates;
}

bool AudioOutput::Open(int device, double rate, int frames, RenderFn render, void* user, std::string* error) {
  Close();
  if (!started_) {
    *error = "the audio system is not running";
    return false;
  }
  if (device < 0 || device >= static_cast<int>(devices_.size())) {
    *error = "no such output device";
    return false;
  }
  const AudioDevice& d = devices_[static_cast<size_t>(device)];
  if (d.isJack && jackUnusable_) {
    *error = "JACK went away earlier; restart Selvarin to play through JACK again";
    return false;
  }
  const PaStreamParameters p = OutputParams(d, rate, frames);
  PaError e = Pa_IsFormatSupported(nullptr, &p, rate);
  if (e != paFormatIsSupported) {
    *error = PaText(e);
    return false;
  }
  render_ = render;
  user_ = user;
  dropOuts_.store(0, std::memory_order_relaxed);
  callbacks_.store(0, std::memory_order_relaxed);
  firstCallback_.store(0, std::memory_order_relaxed);
  PaStream* s = nullptr;
  // Clipping is not PortAudio's to do: the plug-in's output goes out as it is.
  e = Pa_OpenStream(&s, nullptr, &p, rate, static_cast<unsigned long>(frames), paClipOff, &AudioOutput::Callback, this);
  if (e != paNoError) {
    *error = PaText(e);
    return false;
  }
  e = Pa_StartStream(s);
  if (e != paNoError) {
    Pa_CloseStream(s);
    *error = PaText(e);
    return false;
  }
  stream_ = s;
  streamIsJack_ = d.isJack;
  return true;
}

void AudioOutput::Close() {
  if (!stream_) return;
  PaStream* s = static_cast<PaStream*>(stream_);
  stream_ = nullptr;
  if (streamIsJack_ && jackUnusable_) return;  // left as it is: see JackUnusable
  Pa_StopStream(s);
  Pa_CloseStream(s);
}

bool AudioOutput::CheckLost() {
  if (!stream_ || Pa_IsStreamActive(static_cast<PaStream*>(stream_)) == 1) return false;
  if (streamIsJack_) jackUnusable_ = true;
  Close();
  return true;
}

double AudioOutput::CpuLoad() const { return stream_ ? Pa_GetStreamCpuLoad(static_cast<PaStream*>(stream_)) : 0.0; }

int AudioOutput::Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                          unsigned long statusFlags, void* selfPtr) {
  auto* self = static_cast<AudioOutput*>(selfPtr);
  if (self->firstCallback_.load(std::memory_order_relaxed) == 0)
    self->firstCallback_.store(SteadyNanos(), std::memory_order_release);
  self->callbacks_.fetch_add(1, std::memory_order_relaxed);
  if (statusFlags & (paOutputUnderflow | paOutputOverflow)) self->dropOuts_.fetch_add(1, std::memory_order_relaxed);
  self->render_(self->user_, static_cast<float* const*>(output), static_cast<int>(frames));
  return paContinue;
}

}  // namespace selvarin
