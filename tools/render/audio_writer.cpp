#include "tools/render/audio_writer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "tools/platform/file_system.h"
#include "tools/render/output_file.h"

namespace selvarin {

namespace {

int BytesPerSample(SampleFormat f) { return f == SampleFormat::kPcm16 ? 2 : f == SampleFormat::kPcm24 ? 3 : 4; }

int Subtype(SampleFormat f) {
  return f == SampleFormat::kPcm16 ? SF_FORMAT_PCM_16 : f == SampleFormat::kPcm24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
}

int Subtype(FileType t, SampleFormat f) {
  switch (t) {
    case FileType::kOggVorbis: return SF_FORMAT_VORBIS;
    case FileType::kOpus: return SF_FORMAT_OPUS;
    case FileType::kMp3: return SF_FORMAT_MPEG_LAYER_III;
    default: return Subtype(f);
  }
}

int MajorFormat(FileType t, bool large) {
  switch (t) {
    case FileType::kFlac: return SF_FORMAT_FLAC;
    case FileType::kOggVorbis:
    case FileType::kOpus: return SF_FORMAT_OGG;
    case FileType::kMp3: return SF_FORMAT_MPEG;
    default: return large ? SF_FORMAT_RF64 : SF_FORMAT_WAV;
  }
}

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A WAV header for a stream that cannot seek back, written before the
// samples: the length is known before rendering. Beyond 4 GB the sizes say
// "unknown", as streaming players expect.
std::string StreamWavHeader(const WriterSettings& w) {
  const bool isFloat = w.format == SampleFormat::kFloat32;
  const uint32_t bytes = static_cast<uint32_t>(BytesPerSample(w.format));
  const long long dataBytes = w.frames * w.channels * bytes;
  const uint32_t fmtSize = isFloat ? 18 : 16;
  const uint32_t headerRest = 4 + (8 + fmtSize) + (isFloat ? 12 : 0) + 8;
  const bool fits = dataBytes + headerRest <= 0xFFFFFFFFLL;
  std::string h = "RIFF";
  Put32(&h, fits ? static_cast<uint32_t>(dataBytes + headerRest) : 0xFFFFFFFFu);
  h += "WAVEfmt ";
  Put32(&h, fmtSize);
  Put16(&h, isFloat ? 3 : 1);  // IEEE float or integer PCM
  Put16(&h, static_cast<uint32_t>(w.channels));
  Put32(&h, static_cast<uint32_t>(w.sampleRate));
  Put32(&h, static_cast<uint32_t>(w.sampleRate) * static_cast<uint32_t>(w.channels) * bytes);
  Put16(&h, static_cast<uint32_t>(w.channels) * bytes);
  Put16(&h, bytes * 8);
  if (isFloat) {
    Put16(&h, 0);
    h += "fact";
    Put32(&h, 4);
    Put32(&h, fits ? static_cast<uint32_t>(w.frames) : 0xFFFFFFFFu);
  }
  h += "data";
  Put32(&h, fits ? static_cast<uint32_t>(dataBytes) : 0xFFFFFFFFu);
  return h;
}

}  // namespace

// Finds where the samples go: a new unique file next to the output, or the
// device, FIFO or standard output itself.
bool AudioWriter::OpenTarget(std::string* error) {
  const std::string& path = settings_.path;
  std::string reason;
  inPlace_ = true;
  if (path == "-") {
    fd_ = StandardOutputDescriptor();
    if (IsTerminal(fd_)) {
      *error = "standard output is a terminal (pipe it into a player, or give a file name)";
      fd_ = -1;
      return false;
    }
    closeFd_ = false;
    return true;
  }
  switch (KindOfPath(path)) {
    case PathKind::kDirectory:
      *error = "cannot write to " + path + ": it is a folder";
      return false;
    case PathKind::kOther:
      fd_ = OpenExistingForWriting(path, &reason);
      if (fd_ < 0) {
        *error = "cannot open " + path + ": " + reason;
        return false;
      }
      closeFd_ = true;
      return true;
    case PathKind::kRegular:
    case PathKind::kMissing:
      break;
  }
  inPlace_ = false;
  const std::string dir = PathFolder(path);
  if (KindOfPath(dir) != PathKind::kDirectory) {
    *error = "cannot create " + path + ": the folder " + dir + " does not exist";
    return false;
  }
  fd_ = CreateUniqueFile(dir, PathName(path) + ".part-", &tempPath_, &reason);
  if (fd_ < 0) {
    *error = "cannot create " + path + ": cannot write in " + dir + " (" + reason + ")";
    return false;
  }
  closeFd_ = true;
  return true;
}

bool AudioWriter::Open(const WriterSettings& settings, std::string* error) {
  Abort();
  settings_ = settings;
  SF_INFO info{};
  info.samplerate = settings.sampleRate;
  info.channels = settings.channels;
  // A WAV file holds at most 4 GB; longer renders become RF64.
  const long long bytes = settings.frames * settings.channels * BytesPerSample(settings.format);
  const bool large = bytes > 0xFFFFFFFFLL - (1 << 16);
  info.format = MajorFormat(settings.type, large) | Subtype(settings.type, settings.format);
  if (!sf_format_check(&info)) {
    *error = "libsndfile cannot write this combination of file type, sample format and rate";
    return false;
  }
  if (!OpenTarget(error)) return false;
  // libsndfile writes WAV only where it can seek back to the header; a pipe
  // gets a header written here, then the bare samples.
  if (settings.type == FileType::kWav && !IsSeekable(fd_)) {
    const std::string header = StreamWavHeader(settings);
    if (!WriteAll(fd_, header.data(), header.size())) {
      *error = "cannot write to " + settings.path;
      Abort();
      return false;
    }
    info.format = SF_FORMAT_RAW | SF_ENDIAN_LITTLE | Subtype(settings.format);
  }
  // The descriptor stays ours to close: libsndfile closes only its handle
  // on Windows, and a close is checked here.
  file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
  if (!file_) {
    *error = "cannot write " + settings.path + ": " + sf_strerror(nullptr);
    if (closeFd_) CloseDescriptor(fd_);
    fd_ = -1;
    Abort();
    return false;
  }
  if (Clips()) sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // libsndfile scans every float sample for the PEAK chunk unless told not to.
  if (!settings.peakChunk) sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  if (settings.flacLevel >= 0) {
    double level = settings.flacLevel / 8.0;  // libsndfile maps 0..1 onto FLAC's levels 0..8
    sf_command(file_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  }
  if (settings.quality >= 0.0) {
    // libsndfile's compression level runs the other way: 0 is the best sound.
    double level = 1.0 - settings.quality / 10.0;
    // libsndfile finds no MP3 bit rate for the very end of its scale.
    if (settings.type == FileType::kMp3 && level > 0.99) level = 0.99;
    if (!sf_command(file_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level)) {
      *error = std::string("libsndfile cannot set the quality of ") + FileTypeName(settings.type) + " files";
      Abort();
      return false;
    }
  }
  // Tags go in before the first samples; formats without them ignore them.
  if (!settings.title.empty()) sf_set_string(file_, SF_STR_TITLE, settings.title.c_str());
  if (!settings.comment.empty()) sf_set_string(file_, SF_STR_COMMENT, settings.comment.c_str());
  sf_set_string(file_, SF_STR_SOFTWARE, "selvarin-render");
  return true;
}

bool AudioWriter::WriteFloat(const float* interleaved, long frames, std::string* error) {
  if (!file_) return false;
  if (sf_writef_float(file_, interleaved, frames) != frames) {
    *error = "cannot write " + settings_.path + ": " + sf_strerror(file_);
    return false;
  }
  return true;
}

bool AudioWriter::Commit(std::string* error) {
  if (!file_) return false;
  const int closed = sf_close(file_);
  file_ = nullptr;
  const bool descriptorClosed = !closeFd_ || CloseDescriptor(fd_);
  fd_ = -1;
  if (closed != 0 || !descriptorClosed) {
    *error = "cannot finish " + settings_.path + ": " +
             (closed != 0 ? sf_error_number(closed) : "the system could not write all of it");
    Abort();
    return false;
  }
  if (!tempPath_.empty()) {
    std::string reason;
    if (!ReplaceFile(tempPath_, settings_.path, &reason)) {
      *error = "cannot rename " + tempPath_ + " to " + settings_.path + ": " + reason;
      Abort();
      return false;
    }
    tempPath_.clear();
  }
  return true;
}

void AudioWriter::Abort() {
  if (file_) {
    sf_close(file_);
    file_ = nullptr;
  }
  if (fd_ >= 0 && closeFd_) CloseDescriptor(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) {
    RemoveFile(tempPath_);
    tempPath_.clear();
  }
}

}  // namespace selvarin
