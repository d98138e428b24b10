#include "tools/render/audio_writer.h"

#include <cstdio>

namespace selvarin {

bool AudioWriter::Open(const std::string& path, FileType type, SampleFormat format, int sampleRate, int channels,
                       long long frames, std::string* error) {
  Abort();
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  int subtype = format == SampleFormat::kPcm16 ? SF_FORMAT_PCM_16
                : format == SampleFormat::kPcm24 ? SF_FORMAT_PCM_24
                                                 : SF_FORMAT_FLOAT;
  // A WAV file holds at most 4 GB; longer renders become RF64.
  const int bytesPerSample = format == SampleFormat::kPcm16 ? 2 : format == SampleFormat::kPcm24 ? 3 : 4;
  const bool large = frames * channels * bytesPerSample > 0xFFFFFFFFLL - (1 << 16);
  info.format = (type == FileType::kFlac ? SF_FORMAT_FLAC : large ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | subtype;
  if (!sf_format_check(&info)) {
    *error = "libsndfile cannot write this combination of file type, sample format and rate";
    return false;
  }
  path_ = path;
  tempPath_ = path + ".part";
  file_ = sf_open(tempPath_.c_str(), SFM_WRITE, &info);
  if (!file_) {
    *error = "cannot create " + tempPath_ + ": " + sf_strerror(nullptr);
    tempPath_.clear();
    return false;
  }
  if (format != SampleFormat::kFloat32) sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return true;
}

bool AudioWriter::WriteFloat(const float* interleaved, long frames, std::string* error) {
  if (!file_) return false;
  if (sf_writef_float(file_, interleaved, frames) != frames) {
    *error = "cannot write " + tempPath_ + ": " + sf_strerror(file_);
    return false;
  }
  return true;
}

bool AudioWriter::WriteDouble(const double* interleaved, long frames, std::string* error) {
  if (!file_) return false;
  if (sf_writef_double(file_, interleaved, frames) != frames) {
    *error = "cannot write " + tempPath_ + ": " + sf_strerror(file_);
    return false;
  }
  return true;
}

bool AudioWriter::Commit(std::string* error) {
  if (!file_) return false;
  const int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0) {
    *error = "cannot finish " + tempPath_ + ": " + sf_error_number(closed);
    Abort();
    return false;
  }
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    *error = "cannot rename " + tempPath_ + " to " + path_;
    Abort();
    return false;
  }
  tempPath_.clear();
  return true;
}

void AudioWriter::Abort() {
  if (file_) {
    sf_close(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    std::remove(tempPath_.c_str());
    tempPath_.clear();
  }
}

}  // namespace selvarin
