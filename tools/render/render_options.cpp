#include "tools/render/render_options.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace selvarin {

namespace {

constexpr double kMaxSeconds = 24.0 * 3600.0;
constexpr double kMinRate = 1000.0;
constexpr double kMaxRate = 1200000.0;
constexpr double kMaxFlacRate = 655350.0;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

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

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  // strtod also reads hexadecimal ("0x1A", "0x1p3"), which nobody means here.
  if (text.find_first_of("xX") != std::string::npos) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (!end || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

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
         "Renders the Selvarin VST3 instrument to a WAV or FLAC file, loading the plug-in\n"
         "bundle the way a host does.\n"
         "\n"
         "  -o, --output FILE        output file (.wav or .flac); a device or FIFO is\n"
         "                           written in place, - writes to standard output\n"
         "  -d, --duration TIME      length: seconds (2.5), m:ss or h:mm:ss; default 10\n"
         "  -r, --rate HZ            sample rate, 1000 to 1200000; default 48000\n"
         "  -b, --bits 16|24|32      sample format; 32 is 32-bit float (WAV only); default 24\n"
         "      --format wav|flac    file type; default from the file name, else wav\n"
         "  -P, --preset N|NAME      factory preset by number (0-149) or by a unique\n"
         "                           case-insensitive part of its name\n"
         "  -p, --param NAME=VALUE   set a parameter by name or index to a plain value\n"
         "                           (Hz, %, ms, ...) or one of its texts (Saw, Yes, 1/4);\n"
         "                           repeatable, applied after the preset. Of the two\n"
         "                           parameters named \"LFO1 Rate\" (and \"LFO2 Rate\"), a note\n"
         "                           value such as 1/4 sets the note-value one, a number\n"
         "                           the millisecond one\n"
         "      --block N            block size, 1 to 65536; default 1024\n"
         "      --tempo BPM          host tempo, 1 to 999; default 120\n"
         "      --stopped            host transport stopped (default: playing)\n"
         "      --precision 32|64    processing precision; default 32\n"
         "      --plugin PATH        the Selvarin.vst3 bundle to load\n"
         "      --list-presets       print the factory presets and exit\n"
         "      --list-params        print the parameters and exit\n"
         "      --no-progress        no progress bar\n"
         "  -h, --help               this text\n";
}

namespace {

// What the parser keeps besides the options themselves.
struct ParseState {
  RenderOptions o;
  std::string formatName;
};

// One command-line option: its names, what value it needs (null for a
// flag) and how it stores that value. Apply returns false with the reason.
struct OptionSpec {
  const char* shortName;  // "-o", or null
  const char* longName;   // "--output"
  const char* needs;      // "a file name"; null: a flag taking no value
  bool (*apply)(const std::string& value, ParseState* s, std::string* error);
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

bool ApplyFormat(const std::string& v, ParseState* s, std::string* e) {
  s->formatName = Lower(v);
  if (s->formatName != "wav" && s->formatName != "flac") return Fail(e, "bad file type '" + v + "' (wav or flac)");
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

const OptionSpec kOptions[] = {
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
};

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& spec : kOptions)
    if ((spec.shortName && name == spec.shortName) || name == spec.longName) return &spec;
  return nullptr;
}

// The choices that depend on several options, made once all are read.
bool Complete(ParseState* s, std::string* error) {
  RenderOptions& o = s->o;
  if (!s->formatName.empty()) {
    o.fileType = s->formatName == "flac" ? FileType::kFlac : FileType::kWav;
  } else if (EndsWith(o.output, ".flac")) {
    o.fileType = FileType::kFlac;
  } else {
    o.fileType = FileType::kWav;
  }
  if (o.listPresets || o.listParams) return true;
  if (std::llround(o.seconds * o.sampleRate) < 1) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.0f", o.sampleRate);
    return Fail(error, "the duration is shorter than one frame at " + std::string(rate) + " Hz");
  }
  if (o.output.empty()) return Fail(error, "no output file (use -o FILE.wav or -o FILE.flac)");
  if (o.fileType == FileType::kFlac && o.format == SampleFormat::kFloat32)
    return Fail(error, "FLAC holds no 32-bit float samples (use --bits 16 or 24, or a WAV file)");
  if (o.fileType == FileType::kFlac && o.sampleRate > kMaxFlacRate)
    return Fail(error, "FLAC holds sample rates up to 655350 Hz (use a WAV file)");
  return true;
}

}  // namespace

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
    const OptionSpec* spec = FindOption(arg);
    if (!spec) {
      if (!arg.empty() && arg[0] == '-') *error = "unknown option '" + arg + "' (see --help)";
      else *error = "unexpected argument '" + arg + "' (the output file goes after -o)";
      return ParseResult::kError;
    }
    if (!spec->needs && hasInlineValue) {
      *error = "option " + arg + " takes no value";
      return ParseResult::kError;
    }
    if (spec->needs && !hasInlineValue) {
      if (i + 1 >= argc || !argv[i + 1]) {
        *error = "option " + arg + " needs " + spec->needs;
        return ParseResult::kError;
      }
      value = argv[++i];
    }
    if (!spec->apply(value, &state, error)) return ParseResult::kError;
  }
  if (!Complete(&state, error)) return ParseResult::kError;
  *out = state.o;
  return ParseResult::kRun;
}

}  // namespace selvarin
