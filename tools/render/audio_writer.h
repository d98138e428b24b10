#pragma once
// Writes the rendered audio with libsndfile into an OutputTarget, which
// sees every byte every format writes: a failed write or close fails the
// render whatever the format, and a failed render leaves no file.
#include <sndfile.h>

#include <string>

#include "tools/render/output_target.h"
#include "tools/render/render_options.h"

namespace selvarin {

struct WriterSettings {
  std::string path;  // "-": standard output
  FileType type = FileType::kWav;
  SampleFormat format = SampleFormat::kPcm24;
  int sampleRate = 48000;
  int channels = 2;
  long long frames = 0;  // the expected length: decides between WAV and RF64
  double quality = -1.0;  // lossy formats: 0 (smallest) to 10 (best); -1: the encoder's default
  int flacLevel = -1;     // 0 to 8; -1: libsndfile's default
  bool peakChunk = false;  // float WAV: the PEAK chunk, which costs a scan of every sample
  std::string title;      // tags, where the format holds them
  std::string comment;
};

class AudioWriter {
 public:
  AudioWriter() = default;
  ~AudioWriter() { Abort(); }
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;

  // Checks the output and creates the file to write; fails with the reason
  // when the output is a folder, its folder is missing or not writable, or
  // the file there may not be written.
  bool Open(const WriterSettings& settings, std::string* error);
  bool WriteFloat(const float* interleaved, long frames, std::string* error);
  // Closes the file and moves it to its final name.
  bool Commit(std::string* error);
  // Closes and deletes the file being written (an in-place output stays).
  void Abort();

  // Whether the format is an integer one, which holds samples beyond full
  // scale clipped.
  bool Clips() const { return !IsLossy(settings_.type) && settings_.format != SampleFormat::kFloat32; }
  bool ToStandardOutput() const { return target_.ToStandardOutput(); }
  // Written straight into a device, FIFO or standard output.
  bool InPlace() const { return target_.InPlace(); }
  // How the output ended so far: kDone, or why writing stopped (a stop
  // request, a reader gone away, a failure).
  IoStatus Status() const { return target_.Status(); }

 private:
  // The first failure: the output's own, else libsndfile's error code.
  std::string Failure(const char* what, int code) const;

  WriterSettings settings_;
  SNDFILE* file_ = nullptr;
  OutputTarget target_;
};

}  // namespace selvarin
