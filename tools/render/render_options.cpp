#include "tools/render/render_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/decimal_number.h"
#include "tools/render/name_suggest.h"
#include "tools/render/name_text.h"

namespace selvarin {

namespace {

constexpr double kMaxSeconds = 24.0 * 3600.0;
constexpr double kMinRate = 1000.0;
constexpr double kMaxRate = 1200000.0;
constexpr double kMaxFlacRate = 655350.0;

bool EndsWith(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return s.size() >= n && Lower(s.substr(s.size() - n)) == suffix;
}

bool ParseInt(const std::string& text, int lo, int hi, int* out) {
  double v = 0.0;
  if (!ParseNumber(text, &v) || v != std::floor(v) || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseNumber(const std::string& text, double* value) { return ParseDecimal(text.data(), text.size(), value); }

bool ParseDuration(const std::string& text, double* seconds) {
  double total = 0.0;
  size_t start = 0;
  int fields = 0;
  while (true) {
    const size_t colon = text.find(':', start);
    const std::string part = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    double v = 0.0;
    if (!ParseNumber(part, &v) || v < 0.0) return false;
    // Only the last field may have a fraction; minutes and seconds before
    // it stay below 60.
    if (colon != std::string::npos && v != std::floor(v)) return false;
    if (fields > 0 && v >= 60.0) return false;
    total = total * 60.0 + v;
    ++fields;
    if (colon == std::string::npos) break;
    if (fields == 3) return false;
    start = colon + 1;
  }
  if (!std::isfinite(total)) return false;
  *seconds = total;
  return true;
}

const char* RenderUsage() {
  return "Usage: selvarin-render [options] -o FILE\n"
         "Renders the Selvarin VST3 instrument to an audio file, loading the plug-in\n"
         "bundle the way a host does.\n"
         "\n"
         "  -o, --output FILE        output file: .wav, .flac, .ogg (Vorbis), .opus or .mp3;\n"
         "                           a device or FIFO is written in place, - writes to\n"
         "                           standard output\n"
         "  -d, --duration TIME      length: seconds (2.5), m:ss or h:mm:ss; default 10,\n"
         "                           or the session's length\n"
         "  -r, --rate HZ            sample rate, 1000 to 1200000; default 48000\n"
         "  -b, --bits 16|24|32      sample format; 32 is 32-bit float (WAV only); default 24\n"
         "      --format TYPE        wav, flac, ogg, opus or mp3; default from the file\n"
         "                           name, else wav\n"
         "  -q, --quality Q          Ogg Vorbis, Opus and MP3: 0 (smallest) to 10 (best)\n"
         "      --flac-level N       FLAC compression, 0 (fastest) to 8 (smallest); default 5\n"
         "      --peak-chunk         32-bit float WAV: add a PEAK chunk (the peak of each\n"
         "                           channel, which costs a scan of every sample)\n"
         "  -P, --preset N|NAME      factory preset by number (0-149) or by a unique\n"
         "                           case-insensitive part of its name\n"
         "  -p, --param NAME=VALUE   set a parameter by name or index to a plain value\n"
         "                           (Hz, %, ms, ...) or one of its texts (Saw, Yes, 1/4);\n"
         "                           repeatable, applied after the preset. Of the two\n"
         "                           parameters named \"LFO1 Rate\" (and \"LFO2 Rate\"), a note\n"
         "                           value such as 1/4 sets the note-value one, a number\n"
         "                           the millisecond one\n"
         "      --session FILE       timed changes, ramps and presets from a session file\n"
         "                           (- reads standard input); see --session-help\n"
         "      --session-help       the session format, with an example\n"
         "      --dry-run            print the session as resolved, write no audio\n"
         "      --loudness LUFS      bring the file's integrated loudness to LUFS (-70 to\n"
         "                           0; -14 to -16 for streaming, -23 for broadcast) with\n"
         "                           one constant gain, found by a pass that measures\n"
         "      --true-peak DBTP     keep the true peak at or below DBTP (-70 to 0; -1\n"
         "                           with --loudness), lowering the gain if need be\n"
         "      --report [json]      with json, the loudness and peak report as one JSON\n"
         "                           object on standard output; with --dry-run, measure\n"
         "                           the render and report, writing nothing\n"
         "      --plot FILE.png      draw the timeline: one lane per parameter it changes\n"
         "      --plot-size WxH      the picture's size; default 1200x600\n"
         "      --fade-in TIME       fade the output in from silence over TIME\n"
         "      --fade-out TIME      fade the output out to silence over TIME\n"
         "      --block N            block size, 1 to 65536; default 1024\n"
         "      --tempo BPM          host tempo, 1 to 999; default 120\n"
         "      --stopped            host transport stopped (default: playing)\n"
         "      --precision 32|64    processing precision; default 32\n"
         "      --plugin PATH        the Selvarin.vst3 bundle to load\n"
         "      --list-presets       print the factory presets and exit\n"
         "      --list-params        print the parameters and exit\n"
         "      --no-progress        no progress bar\n"
         "  -h, --help               this text\n"
         "\n"
         "Every render ends with a report of what was written: integrated loudness\n"
         "(LUFS), loudness range (LU), true peak (dBTP) and sample peak (dBFS).\n"
         "A file is replaced only once the render is complete, keeping its permissions;\n"
         "a symbolic link is written through, a file you may not write is refused.\n"
         "Exit status: 0 done, 1 failed, 2 bad options, 130 stopped (Ctrl-C, kill),\n"
         "141 the reader of the output went away.\n";
}

namespace {

// What the parser keeps besides the options themselves.
struct ParseState {
  RenderOptions o;
  std::string formatName;
  bool plotSizeGiven = false;
};

// One command-line option: its names, what value it needs (null for a
// flag) and how it stores that value. Apply returns false with the reason.
struct OptionDef {
  const char* shortName;  // "-o", or null
  const char* longName;   // "--output"
  const char* needs;      // "a file name"; null: a flag taking no value
  bool (*apply)(const std::string& value, ParseState* s, std::string* error);
  // A flag that may take a value after all: the words it accepts ("a|b"),
  // taken from the next argument only when it is one of them.
  const char* optional = nullptr;
};

bool Fail(std::string* error, std::string reason) {
  *error = std::move(reason);
  return false;
}

bool ApplyOutput(const std::string& v, ParseState* s, std::string* e) {
  if (v.empty()) return Fail(e, "the output file name is empty");
  s->o.output = v;
  return true;
}

bool ApplyDuration(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseDuration(v, &s->o.seconds) || s->o.seconds <= 0.0 || s->o.seconds > kMaxSeconds)
    return Fail(e, "bad duration '" + v + "' (seconds, m:ss or h:mm:ss; more than 0, at most 24 hours)");
  s->o.durationGiven = true;
  return true;
}

bool ApplyRate(const std::string& v, ParseState* s, std::string* e) {
  double& rate = s->o.sampleRate;
  if (!ParseNumber(v, &rate) || rate != std::floor(rate) || rate < kMinRate || rate > kMaxRate)
    return Fail(e, "bad sample rate '" + v + "' (a whole number of Hz from 1000 to 1200000)");
  return true;
}

bool ApplyBits(const std::string& v, ParseState* s, std::string* e) {
  const std::string bits = Lower(v);
  if (bits == "16") s->o.format = SampleFormat::kPcm16;
  else if (bits == "24") s->o.format = SampleFormat::kPcm24;
  else if (bits == "32" || bits == "32f" || bits == "float") s->o.format = SampleFormat::kFloat32;
  else return Fail(e, "bad sample format '" + v + "' (16, 24 or 32 for 32-bit float)");
  s->o.formatGiven = true;
  return true;
}

// File types by name and by the extensions that imply them.
struct FileTypeEntry {
  const char* name;
  FileType type;
  const char* extensions[3];
};
const FileTypeEntry kFileTypes[] = {
    {"wav", FileType::kWav, {".wav", ".wave", nullptr}},
    {"flac", FileType::kFlac, {".flac", nullptr, nullptr}},
    {"ogg", FileType::kOggVorbis, {".ogg", ".oga", nullptr}},
    {"opus", FileType::kOpus, {".opus", nullptr, nullptr}},
    {"mp3", FileType::kMp3, {".mp3", nullptr, nullptr}},
};

bool ApplyFormat(const std::string& v, ParseState* s, std::string* e) {
  s->formatName = Lower(v);
  for (const FileTypeEntry& t : kFileTypes)
    if (s->formatName == t.name) return true;
  return Fail(e, "bad file type '" + v + "' (wav, flac, ogg, opus or mp3)");
}

bool ApplySession(const std::string& v, ParseState* s, std::string* e) {
  if (v.empty()) return Fail(e, "the session file name is empty");
  s->o.session = v;
  return true;
}

bool ApplyFade(const std::string& v, double* seconds, const char* which, std::string* e) {
  if (!ParseDuration(v, seconds) || *seconds <= 0.0 || *seconds > kMaxSeconds)
    return Fail(e, std::string("bad ") + which + " '" + v + "' (seconds, m:ss or h:mm:ss; more than 0)");
  return true;
}
bool ApplyFadeIn(const std::string& v, ParseState* s, std::string* e) { return ApplyFade(v, &s->o.fadeIn, "fade-in", e); }
bool ApplyFadeOut(const std::string& v, ParseState* s, std::string* e) {
  return ApplyFade(v, &s->o.fadeOut, "fade-out", e);
}

bool ApplyFlacLevel(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseInt(v, 0, 8, &s->o.flacLevel)) return Fail(e, "bad FLAC level '" + v + "' (0, fastest, to 8, smallest)");
  return true;
}

bool ApplyQuality(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseNumber(v, &s->o.quality) || s->o.quality < 0.0 || s->o.quality > 10.0)
    return Fail(e, "bad quality '" + v + "' (0, the smallest file, to 10, the best sound)");
  return true;
}

bool ApplyPreset(const std::string& v, ParseState* s, std::string* e) {
  if (v.empty()) return Fail(e, "the preset name is empty");
  s->o.preset = v;
  return true;
}

bool ApplyParam(const std::string& v, ParseState* s, std::string* e) {
  const size_t eq = v.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == v.size())
    return Fail(e, "bad parameter setting '" + v + "' (NAME=VALUE or INDEX=VALUE)");
  s->o.params.push_back({v.substr(0, eq), v.substr(eq + 1)});
  return true;
}

bool ApplyLoudness(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseNumber(v, &s->o.loudness) || s->o.loudness < -70.0 || s->o.loudness > 0.0)
    return Fail(e, "bad loudness '" + v + "' (LUFS from -70 to 0, such as -16)");
  s->o.loudnessGiven = true;
  return true;
}

bool ApplyTruePeak(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseNumber(v, &s->o.truePeak) || s->o.truePeak < -70.0 || s->o.truePeak > 0.0)
    return Fail(e, "bad true-peak ceiling '" + v + "' (dBTP from -70 to 0, such as -1)");
  s->o.truePeakGiven = true;
  return true;
}

bool ApplyReport(const std::string& v, ParseState* s, std::string* e) {
  const std::string format = Lower(v);
  if (format == "json") s->o.report = ReportFormat::kJson;
  else if (format.empty() || format == "text") s->o.report = ReportFormat::kText;
  else return Fail(e, "bad report format '" + v + "' (text or json)");
  s->o.reportGiven = true;
  return true;
}

bool ApplyPlot(const std::string& v, ParseState* s, std::string* e) {
  if (v.empty()) return Fail(e, "the plot file name is empty");
  if (v == "-") return Fail(e, "the plot goes to a file (--plot FILE.png)");
  s->o.plot = v;
  return true;
}

bool ApplyPlotSize(const std::string& v, ParseState* s, std::string* e) {
  const size_t x = Lower(v).find('x');
  int w = 0, h = 0;
  if (x == std::string::npos || !ParseInt(v.substr(0, x), 320, 10000, &w) || !ParseInt(v.substr(x + 1), 200, 10000, &h))
    return Fail(e, "bad plot size '" + v + "' (WIDTHxHEIGHT in pixels, 320x200 to 10000x10000)");
  s->o.plotWidth = w;
  s->o.plotHeight = h;
  s->plotSizeGiven = true;
  return true;
}

bool ApplyBlock(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseInt(v, 1, 65536, &s->o.blockSize)) return Fail(e, "bad block size '" + v + "' (1 to 65536)");
  return true;
}

bool ApplyTempo(const std::string& v, ParseState* s, std::string* e) {
  if (!ParseNumber(v, &s->o.tempo) || s->o.tempo < 1.0 || s->o.tempo > 999.0)
    return Fail(e, "bad tempo '" + v + "' (1 to 999 beats per minute)");
  return true;
}

bool ApplyPrecision(const std::string& v, ParseState* s, std::string* e) {
  if (v != "32" && v != "64") return Fail(e, "bad precision '" + v + "' (32 or 64)");
  s->o.precision = v == "32" ? 32 : 64;
  return true;
}

bool ApplyPlugin(const std::string& v, ParseState* s, std::string*) {
  s->o.pluginPath = v;
  return true;
}

// A flag option sets one bool of the options.
template <bool RenderOptions::*Field, bool Value>
bool SetFlag(const std::string&, ParseState* s, std::string*) {
  s->o.*Field = Value;
  return true;
}

const OptionDef kOptions[] = {
    {"-o", "--output", "a file name", ApplyOutput},
    {"-d", "--duration", "a duration", ApplyDuration},
    {"-r", "--rate", "a sample rate", ApplyRate},
    {"-b", "--bits", "16, 24 or 32", ApplyBits},
    {nullptr, "--format", "wav or flac", ApplyFormat},
    {"-P", "--preset", "a preset number or name", ApplyPreset},
    {"-p", "--param", "NAME=VALUE", ApplyParam},
    {nullptr, "--block", "a block size", ApplyBlock},
    {nullptr, "--tempo", "a tempo", ApplyTempo},
    {nullptr, "--stopped", nullptr, SetFlag<&RenderOptions::playing, false>},
    {nullptr, "--playing", nullptr, SetFlag<&RenderOptions::playing, true>},
    {nullptr, "--precision", "32 or 64", ApplyPrecision},
    {nullptr, "--plugin", "a bundle path", ApplyPlugin},
    {nullptr, "--list-presets", nullptr, SetFlag<&RenderOptions::listPresets, true>},
    {nullptr, "--list-params", nullptr, SetFlag<&RenderOptions::listParams, true>},
    {nullptr, "--no-progress", nullptr, SetFlag<&RenderOptions::progress, false>},
    {nullptr, "--session", "a session file (or - for standard input)", ApplySession},
    {nullptr, "--dry-run", nullptr, SetFlag<&RenderOptions::dryRun, true>},
    {nullptr, "--fade-in", "a duration", ApplyFadeIn},
    {nullptr, "--fade-out", "a duration", ApplyFadeOut},
    {"-q", "--quality", "a quality from 0 to 10", ApplyQuality},
    {nullptr, "--flac-level", "a level from 0 to 8", ApplyFlacLevel},
    {nullptr, "--peak-chunk", nullptr, SetFlag<&RenderOptions::peakChunk, true>},
    {nullptr, "--loudness", "a loudness in LUFS", ApplyLoudness},
    {nullptr, "--true-peak", "a ceiling in dBTP", ApplyTruePeak},
    {nullptr, "--report", nullptr, ApplyReport, "text|json"},
    {nullptr, "--plot", "a PNG file name", ApplyPlot},
    {nullptr, "--plot-size", "a size such as 1200x600", ApplyPlotSize},
};

// Whether word is one of the "a|b" words.
bool OneOf(const std::string& word, const char* words) {
  const std::string all = std::string("|") + words + "|";
  return !word.empty() && word.find('|') == std::string::npos && all.find("|" + Lower(word) + "|") != std::string::npos;
}

std::string UnknownOption(const std::string& arg) {
  std::vector<std::string> names = {"--help", "--session-help"};
  for (const OptionDef& def : kOptions) names.push_back(def.longName);
  const std::string guess = DidYouMean(SuggestNames(arg, names));
  return "unknown option '" + arg + "'" + (guess.empty() ? " (see --help)" : guess);
}

const OptionDef* FindOption(const std::string& name) {
  for (const OptionDef& def : kOptions)
    if ((def.shortName && name == def.shortName) || name == def.longName) return &def;
  return nullptr;
}

FileType TypeFor(const ParseState& s) {
  for (const FileTypeEntry& t : kFileTypes) {
    if (!s.formatName.empty()) {
      if (s.formatName == t.name) return t.type;
      continue;
    }
    for (const char* ext : t.extensions)
      if (ext && EndsWith(s.o.output, ext)) return t.type;
  }
  return FileType::kWav;
}

bool CheckLossy(const RenderOptions& o, std::string* error) {
  const std::string name = FileTypeName(o.fileType);
  if (o.formatGiven) return Fail(error, name + " files take --quality, not --bits");
  const int rate = static_cast<int>(o.sampleRate);
  if (o.fileType == FileType::kOpus && rate != 8000 && rate != 12000 && rate != 16000 && rate != 24000 &&
      rate != 48000)
    return Fail(error, "Opus holds sample rates of 8000, 12000, 16000, 24000 and 48000 Hz only");
  if (o.fileType == FileType::kMp3) {
    bool ok = false;
    for (int r : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}) ok = ok || r == rate;
    if (!ok) return Fail(error, "MP3 holds sample rates from 8000 to 48000 Hz (such as 44100 or 48000) only");
  }
  return true;
}

// The choices that depend on several options, made once all are read.
bool Complete(ParseState* s, std::string* error) {
  RenderOptions& o = s->o;
  o.fileType = TypeFor(*s);
  if (o.listPresets || o.listParams) return true;
  if (o.loudnessGiven && !o.truePeakGiven) {
    o.truePeakGiven = true;
    o.truePeak = -1.0;
  }
  if (s->plotSizeGiven && o.plot.empty()) return Fail(error, "--plot-size applies to --plot");
  if (o.durationGiven && std::llround(o.seconds * o.sampleRate) < 1) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.0f", o.sampleRate);
    return Fail(error, "the duration is shorter than one frame at " + std::string(rate) + " Hz");
  }
  if (o.dryRun) return true;
  if (o.output.empty()) return Fail(error, "no output file (use -o FILE.wav or -o FILE.flac)");
  if (o.output == "-" && o.report == ReportFormat::kJson)
    return Fail(error, "--report json prints to standard output, which -o - takes for the audio");
  if (o.fileType == FileType::kFlac && o.format == SampleFormat::kFloat32)
    return Fail(error, "FLAC holds no 32-bit float samples (use --bits 16 or 24, or a WAV file)");
  if (o.fileType == FileType::kFlac && o.sampleRate > kMaxFlacRate)
    return Fail(error, "FLAC holds sample rates up to 655350 Hz (use a WAV file)");
  if (o.flacLevel >= 0 && o.fileType != FileType::kFlac) return Fail(error, "--flac-level applies to FLAC files");
  if (o.peakChunk && (o.fileType != FileType::kWav || o.format != SampleFormat::kFloat32))
    return Fail(error, "--peak-chunk applies to 32-bit float WAV files");
  if (IsLossy(o.fileType)) return CheckLossy(o, error);
  if (o.quality >= 0.0) return Fail(error, "--quality applies to Ogg Vorbis, Opus and MP3 files");
  return true;
}

}  // namespace

bool NeedsMeasuringPass(const RenderOptions& o) {
  return o.loudnessGiven || o.truePeakGiven || (o.dryRun && o.reportGiven);
}

bool IsLossy(FileType type) {
  return type == FileType::kOggVorbis || type == FileType::kOpus || type == FileType::kMp3;
}

const char* FileTypeName(FileType type) {
  switch (type) {
    case FileType::kWav: return "WAV";
    case FileType::kFlac: return "FLAC";
    case FileType::kOggVorbis: return "Ogg Vorbis";
    case FileType::kOpus: return "Opus";
    case FileType::kMp3: return "MP3";
  }
  return "?";
}

ParseResult ParseRenderOptions(int argc, const char* const* argv, RenderOptions* out, std::string* error) {
  ParseState state;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i] ? argv[i] : "";
    std::string value;
    bool hasInlineValue = false;
    if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasInlineValue = true;
      }
    }
    if (arg == "-h" || arg == "--help") {
      *out = state.o;
      return ParseResult::kHelp;
    }
    if (arg == "--session-help") {
      *out = state.o;
      return ParseResult::kSessionHelp;
    }
    const OptionDef* def = FindOption(arg);
    if (!def) {
      if (!arg.empty() && arg[0] == '-') *error = UnknownOption(arg);
      else *error = "unexpected argument '" + arg + "' (the output file goes after -o)";
      return ParseResult::kError;
    }
    if (!def->needs && hasInlineValue && !def->optional) {
      *error = "option " + arg + " takes no value";
      return ParseResult::kError;
    }
    if (def->optional && !hasInlineValue && i + 1 < argc && argv[i + 1] && OneOf(argv[i + 1], def->optional))
      value = argv[++i];
    if (def->needs && !hasInlineValue) {
      if (i + 1 >= argc || !argv[i + 1]) {
        *error = "option " + arg + " needs " + def->needs;
        return ParseResult::kError;
      }
      value = argv[++i];
    }
    if (!def->apply(value, &state, error)) return ParseResult::kError;
  }
  if (!Complete(&state, error)) return ParseResult::kError;
  *out = state.o;
  return ParseResult::kRun;
}

}  // namespace selvarin
