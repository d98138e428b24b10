#pragma once
// Carries interleaved stereo frames from the render loop to a writer thread,
// so that rendering the next frames overlaps with writing the last ones.
// Two buffers take turns: the loop fills one while the thread writes the
// other.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/render/audio_writer.h"

namespace selvarin {

class FramePipe {
 public:
  // precision: 32 or 64, the sample type of the channels handed to Append.
  FramePipe(AudioWriter* writer, int precision, size_t minFrames);
  ~FramePipe();
  FramePipe(const FramePipe&) = delete;
  FramePipe& operator=(const FramePipe&) = delete;

  // Appends n frames of two channels; false (with the reason) once a write
  // has failed.
  bool Append(double* const* ch64, float* const* ch32, int n, std::string* error);
  // Writes what is pending and waits for the writer; false on a failure.
  bool Finish(std::string* error);
  // Whether the output is written in place (no file to clean up).
  bool InPlace() const { return writer_->InPlace(); }

 private:
  struct Buffer {
    std::vector<double> f64;
    std::vector<float> f32;
    size_t frames = 0;
  };
  bool Hand(std::string* error);  // passes the filling buffer to the writer
  void WriterLoop();

  AudioWriter* writer_;
  bool use64_;
  size_t capacity_;
  Buffer buffers_[2];
  int filling_ = 0;

  std::mutex m_;
  std::condition_variable cv_;
  int queued_ = -1;  // buffer index waiting for or being written, -1: none
  bool stop_ = false;
  bool failed_ = false;
  std::string error_;
  std::thread thread_;
};

}  // namespace selvarin
