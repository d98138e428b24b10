#pragma once
// Writes the rendered audio with libsndfile. A file is written under a
// fresh unique name in the target folder and renamed into place only when
// everything was written, so that a failed or interrupted render leaves no
// partial file and never touches another file. Devices, FIFOs and standard
// output ("-") are written in place and never replaced.
#include <sndfile.h>

#include <string>

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
  // when the output is a folder, its folder is missing or not writable.
  bool Open(const WriterSettings& settings, std::string* error);
  bool WriteFloat(const float* interleaved, long frames, std::string* error);
  // Closes the file and moves it to its final name.
  bool Commit(std::string* error);
  // Closes and deletes the file being written (an in-place output stays).
  void Abort();

  // Whether the format is an integer one, which holds samples beyond full
  // scale clipped.
  bool Clips() const { return !IsLossy(settings_.type) && settings_.format != SampleFormat::kFloat32; }
  bool ToStandardOutput() const { return settings_.path == "-"; }
  // Written straight into a device, FIFO or standard output.
  bool InPlace() const { return inPlace_; }

 private:
  bool OpenTarget(std::string* error);

  WriterSettings settings_;
  SNDFILE* file_ = nullptr;
  int fd_ = -1;
  bool closeFd_ = false;
  bool inPlace_ = false;
  std::string tempPath_;
};

}  // namespace selvarin
