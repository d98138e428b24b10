#include "tools/render/audio_writer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

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

// libsndfile's file calls, all onto the output target.
sf_count_t VioLength(void* target) { return static_cast<OutputTarget*>(target)->Length(); }
sf_count_t VioSeek(sf_count_t offset, int whence, void* target) {
  return static_cast<OutputTarget*>(target)->Seek(offset, whence);
}
sf_count_t VioRead(void*, sf_count_t, void*) { return 0; }  // written only
sf_count_t VioWrite(const void* data, sf_count_t bytes, void* target) {
  if (bytes <= 0) return 0;
  return static_cast<OutputTarget*>(target)->Write(data, static_cast<size_t>(bytes)) ? bytes : 0;
}
sf_count_t VioTell(void* target) { return static_cast<OutputTarget*>(target)->Position(); }
SF_VIRTUAL_IO kTargetIo = {VioLength, VioSeek, VioRead, VioWrite, VioTell};

}  // namespace

std::string AudioWriter::Failure(const char* what, int code) const {
  if (target_.Status() != IoStatus::kDone) return target_.Error();
  // libsndfile prints to standard output when asked about a code it does
  // not know (some encoders report -1): ask only about its own.
  const std::string reason = code > 0 ? sf_error_number(code) : "the encoder failed";
  return std::string(what) + " " + settings_.path + ": " + reason;
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
  if (!target_.Open(settings.path, error)) return false;
  // libsndfile writes WAV only where it can seek back to the header; a pipe
  // gets a header written here, then the bare samples.
  if (settings.type == FileType::kWav && !target_.Seekable()) {
    const std::string header = StreamWavHeader(settings);
    if (!target_.Write(header.data(), header.size())) {
      *error = target_.Error();
      Abort();
      return false;
    }
    info.format = SF_FORMAT_RAW | SF_ENDIAN_LITTLE | Subtype(settings.format);
  }
  file_ = sf_open_virtual(&kTargetIo, SFM_WRITE, &info, &target_);
  if (!file_) {
    *error = Failure("cannot write", sf_error(nullptr));
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
  // Some encoders go on after a failed write: the target remembers it.
  if (sf_writef_float(file_, interleaved, frames) != frames || target_.Status() != IoStatus::kDone) {
    *error = Failure("cannot write", sf_error(file_));
    return false;
  }
  return true;
}

bool AudioWriter::Commit(std::string* error) {
  if (!file_) return false;
  const int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0 || target_.Status() != IoStatus::kDone) {
    *error = Failure("cannot finish", closed);
    Abort();
    return false;
  }
  return target_.Commit(error);
}

void AudioWriter::Abort() {
  // Whatever the encoder still writes while closing goes nowhere.
  target_.Abort();
  if (file_) {
    sf_close(file_);
    file_ = nullptr;
  }
}

}  // namespace selvarin
