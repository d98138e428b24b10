#pragma once
// Command-line options of selvarin-render, parsed without the plug-in: what
// names and values mean is decided later against the loaded plug-in.
#include <string>
#include <vector>

namespace selvarin {

enum class FileType { kWav, kFlac, kOggVorbis, kOpus, kMp3 };
enum class SampleFormat { kPcm16, kPcm24, kFloat32 };
enum class ReportFormat { kText, kJson };

struct ParamSetting {
  std::string target;  // a parameter name or index, as typed
  std::string value;   // a plain value or a display text, as typed
};

struct RenderOptions {
  std::string output;
  double seconds = 10.0;
  double sampleRate = 48000.0;
  int blockSize = 1024;
  double tempo = 120.0;
  bool playing = true;
  int precision = 32;  // 32 or 64-bit processing
  FileType fileType = FileType::kWav;
  SampleFormat format = SampleFormat::kPcm24;
  bool formatGiven = false;
  std::string preset;  // empty: the plug-in's own defaults
  std::vector<ParamSetting> params;
  std::string pluginPath;  // empty: look in the usual places
  bool listPresets = false;
  bool listParams = false;
  bool progress = true;
  bool durationGiven = false;  // -d given: it wins over a session's length
  std::string session;         // session file, "-" for standard input
  bool dryRun = false;         // print the resolved timeline, render nothing
  double fadeIn = 0.0;         // seconds of output fade at the start
  double fadeOut = 0.0;        // and at the end
  double quality = -1.0;       // lossy formats: 0 (smallest) to 10 (best); -1: the encoder's default
  int flacLevel = -1;          // FLAC compression 0 (fastest) to 8 (smallest); -1: libsndfile's default (5)
  bool peakChunk = false;      // float WAV: add a PEAK chunk (a scan of every sample)
  // The loudness and peak report every render ends with.
  ReportFormat report = ReportFormat::kText;
  bool reportGiven = false;    // --report: a dry run measures too
  // One constant gain for the whole file: to an integrated loudness, kept
  // under a true-peak ceiling. Each applies only when given.
  bool loudnessGiven = false;
  double loudness = -16.0;     // LUFS, -70 to 0
  bool truePeakGiven = false;  // given, or implied by --loudness
  double truePeak = -1.0;      // dBTP
  std::string plot;            // PNG of the timeline, empty for none
  int plotWidth = 1200;
  int plotHeight = 600;
};

// Lossy formats take --quality instead of --bits.
bool IsLossy(FileType type);
// Whether the render first measures the audio (to choose a gain, or to
// report on a dry run).
bool NeedsMeasuringPass(const RenderOptions& o);
const char* FileTypeName(FileType type);

enum class ParseResult { kRun, kHelp, kError, kSessionHelp };

ParseResult ParseRenderOptions(int argc, const char* const* argv, RenderOptions* out, std::string* error);

// Parses a duration: seconds ("90", "2.5"), "m:ss" or "h:mm:ss". False for
// anything else, negative or not finite.
bool ParseDuration(const std::string& text, double* seconds);

// Parses a whole string as a finite decimal number (no hexadecimal).
bool ParseNumber(const std::string& text, double* value);

const char* RenderUsage();

}  // namespace selvarin
