#pragma once
// The sound card side: PortAudio's output devices, one output stream at a
// time whose callback hands the two channels to a render function, and what
// the status line shows of it (CPU load, drop-outs, a stream that stopped by
// itself because its device went away).
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct PaStreamCallbackTimeInfo;

namespace selvarin {

struct AudioDevice {
  int id = -1;  // PortAudio's device index, valid until the next rescan
  std::string hostApi;
  std::string name;
  double defaultRate = 0.0;
  double lowLatency = 0.0;  // seconds
  bool isDefault = false;
  bool isJack = false;
};

class AudioOutput {
 public:
  // Called on the audio thread with two non-interleaved channels.
  using RenderFn = void (*)(void* user, float* const* channels, int frames);

  AudioOutput() = default;
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Starts the audio system and lists the devices with two or more outputs.
  // False when the system cannot start (no devices is not a failure).
  bool Start(std::string* error);
  // Lists the devices afresh (devices plugged in since); only while no
  // stream is open. False when it cannot.
  bool Rescan();
  const std::vector<AudioDevice>& Devices() const { return devices_; }
  // Index into Devices() of the system's default output; -1 when none.
  int DefaultDevice() const;
  // The usual rates the device takes.
  std::vector<double> SupportedRates(int device) const;

  // Opens and starts a stream on Devices()[device]; false with a reason,
  // and then nothing is open.
  bool Open(int device, double rate, int frames, RenderFn render, void* user, std::string* error);
  // Stops and closes the stream; the render function is not called after.
  void Close();
  bool IsOpen() const { return stream_ != nullptr; }
  // UI thread, polled: true once when the open stream stopped by itself (its
  // device or audio server went away). The stream is closed then, and the
  // render function is no longer called.
  bool CheckLost();
  // After JACK went away under a stream, PortAudio's JACK side cannot be
  // closed or started again in this process; other systems still can.
  bool JackUnusable() const { return jackUnusable_; }

  double CpuLoad() const;
  uint64_t DropOuts() const { return dropOuts_.load(std::memory_order_relaxed); }
  uint64_t Callbacks() const { return callbacks_.load(std::memory_order_relaxed); }
  // Steady-clock time of the first callback of the open stream (ns); 0 until then.
  int64_t FirstCallbackNanos() const { return firstCallback_.load(std::memory_order_acquire); }

 private:
  // PortAudio's stream callback (audio thread).
  static int Callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                      unsigned long statusFlags, void* self);
  void List();

  bool started_ = false;
  bool jackUnusable_ = false;
  void* stream_ = nullptr;
  bool streamIsJack_ = false;
  std::vector<AudioDevice> devices_;
  RenderFn render_ = nullptr;
  void* user_ = nullptr;
  std::atomic<uint64_t> dropOuts_{0};
  std::atomic<uint64_t> callbacks_{0};
  std::atomic<int64_t> firstCallback_{0};
};

// ---- the platform's part (posix/, win32/) ----
// Initialises PortAudio under the application's client name, keeping the
// audio libraries' own chatter (ALSA, JACK) off the terminal.
int InitializeAudioSystem();
void TerminateAudioSystem();

}  // namespace selvarin
