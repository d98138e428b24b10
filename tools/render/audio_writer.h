#pragma once
// Writes the rendered audio with libsndfile into a temporary file next to
// the output and renames it into place only when everything was written, so
// that a failed or interrupted render leaves no partial file.
#include <sndfile.h>

#include <string>

#include "tools/render/render_options.h"

namespace selvarin {

class AudioWriter {
 public:
  AudioWriter() = default;
  ~AudioWriter() { Abort(); }
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;

  // frames: the expected length, which decides between WAV and RF64.
  bool Open(const std::string& path, FileType type, SampleFormat format, int sampleRate, int channels,
            long long frames, std::string* error);
  bool WriteFloat(const float* interleaved, long frames, std::string* error);
  bool WriteDouble(const double* interleaved, long frames, std::string* error);
  // Closes the file and moves it to its final name.
  bool Commit(std::string* error);
  // Closes and deletes the temporary file.
  void Abort();

 private:
  SNDFILE* file_ = nullptr;
  std::string path_;
  std::string tempPath_;
};

}  // namespace selvarin
