#pragma once
// Carries interleaved stereo frames from the render loop to a writer thread,
// so that rendering the next frames overlaps with writing the last ones.
// Two buffers take turns: the loop fills one while the thread writes the
// other. Every output format holds at most 32-bit float samples, so the
// frames travel as floats: 64-bit channels are converted while they are
// interleaved, and scaled by the render's gain. The writer thread counts
// what integer formats will clip and measures the loudness of what it
// writes; a pipe without a writer only measures.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/render/audio_writer.h"
#include "tools/render/loudness_meter.h"

namespace selvarin {

class FramePipe {
 public:
  struct Settings {
    AudioWriter* writer = nullptr;  // none: the frames are only measured
    LoudnessMeter* meter = nullptr;  // none: not measured
    int precision = 32;    // 32 or 64, the sample type of the channels handed to Append
    size_t minFrames = 0;  // the largest block appended
    bool countClips = false;  // count samples beyond full scale
    double gain = 1.0;     // every sample is multiplied by it
  };
  explicit FramePipe(const Settings& settings);
  ~FramePipe();
  FramePipe(const FramePipe&) = delete;
  FramePipe& operator=(const FramePipe&) = delete;

  // Appends n frames of two channels; false (with the reason) once a write
  // has failed.
  bool Append(double* const* ch64, float* const* ch32, int n, std::string* error);
  // Writes what is pending and waits for the writer; false on a failure.
  bool Finish(std::string* error);
  // Whether the output is written in place (no file to clean up).
  bool InPlace() const { return writer_ && writer_->InPlace(); }

  // Samples beyond full scale, and the largest magnitude (when counting);
  // complete after Finish.
  long long ClippedSamples() const { return clipped_; }
  double Peak() const { return peak_; }

 private:
  struct Buffer {
    std::vector<float> samples;
    size_t frames = 0;
  };
  bool Hand(std::string* error);  // passes the filling buffer to the writer
  void WriterLoop();
  template <typename T>
  void Interleave(const T* left, const T* right, int n, float* dst);
  void CountClips(const float* samples, size_t count);

  AudioWriter* writer_;
  LoudnessMeter* meter_;
  bool use64_;
  bool countClips_;
  double gain_;
  size_t capacity_;
  Buffer buffers_[2];
  int filling_ = 0;
  long long clipped_ = 0;
  double peak_ = 0.0;

  std::mutex m_;
  std::condition_variable cv_;
  int queued_ = -1;  // buffer index waiting for or being written, -1: none
  bool stop_ = false;
  bool failed_ = false;
  std::string error_;
  std::thread thread_;
};

}  // namespace selvarin
