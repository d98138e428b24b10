#include "tools/render/render_options.h"

#include <cctype>
#include <cmath>
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
         "  -o, --output FILE        output file (.wav or .flac)\n"
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

ParseResult ParseRenderOptions(int argc, const char* const* argv, RenderOptions* out, std::string* error) {
  RenderOptions o;
  std::string formatName;
  std::string bits;
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
    auto needValue = [&](const char* what) -> bool {
      if (hasInlineValue) return true;
      if (i + 1 >= argc || !argv[i + 1]) {
        *error = "option " + arg + " needs " + what;
        return false;
      }
      value = argv[++i];
      return true;
    };
    auto flag = [&]() -> bool {
      if (!hasInlineValue) return true;
      *error = "option " + arg + " takes no value";
      return false;
    };

    if (arg == "-h" || arg == "--help") {
      *out = o;
      return ParseResult::kHelp;
    } else if (arg == "-o" || arg == "--output") {
      if (!needValue("a file name")) return ParseResult::kError;
      if (value.empty()) {
        *error = "the output file name is empty";
        return ParseResult::kError;
      }
      o.output = value;
    } else if (arg == "-d" || arg == "--duration") {
      if (!needValue("a duration")) return ParseResult::kError;
      if (!ParseDuration(value, &o.seconds) || o.seconds <= 0.0 || o.seconds > kMaxSeconds) {
        *error = "bad duration '" + value + "' (seconds, m:ss or h:mm:ss; more than 0, at most 24 hours)";
        return ParseResult::kError;
      }
    } else if (arg == "-r" || arg == "--rate") {
      if (!needValue("a sample rate")) return ParseResult::kError;
      if (!ParseNumber(value, &o.sampleRate) || o.sampleRate != std::floor(o.sampleRate) ||
          o.sampleRate < kMinRate || o.sampleRate > kMaxRate) {
        *error = "bad sample rate '" + value + "' (a whole number of Hz from 1000 to 1200000)";
        return ParseResult::kError;
      }
    } else if (arg == "-b" || arg == "--bits") {
      if (!needValue("16, 24 or 32")) return ParseResult::kError;
      bits = Lower(value);
      if (bits == "16") o.format = SampleFormat::kPcm16;
      else if (bits == "24") o.format = SampleFormat::kPcm24;
      else if (bits == "32" || bits == "32f" || bits == "float") o.format = SampleFormat::kFloat32;
      else {
        *error = "bad sample format '" + value + "' (16, 24 or 32 for 32-bit float)";
        return ParseResult::kError;
      }
      o.formatGiven = true;
    } else if (arg == "--format") {
      if (!needValue("wav or flac")) return ParseResult::kError;
      formatName = Lower(value);
      if (formatName != "wav" && formatName != "flac") {
        *error = "bad file type '" + value + "' (wav or flac)";
        return ParseResult::kError;
      }
    } else if (arg == "-P" || arg == "--preset") {
      if (!needValue("a preset number or name")) return ParseResult::kError;
      if (value.empty()) {
        *error = "the preset name is empty";
        return ParseResult::kError;
      }
      o.preset = value;
    } else if (arg == "-p" || arg == "--param") {
      if (!needValue("NAME=VALUE")) return ParseResult::kError;
      const size_t eq = value.rfind('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) {
        *error = "bad parameter setting '" + value + "' (NAME=VALUE or INDEX=VALUE)";
        return ParseResult::kError;
      }
      o.params.push_back({value.substr(0, eq), value.substr(eq + 1)});
    } else if (arg == "--block") {
      if (!needValue("a block size")) return ParseResult::kError;
      if (!ParseInt(value, 1, 65536, &o.blockSize)) {
        *error = "bad block size '" + value + "' (1 to 65536)";
        return ParseResult::kError;
      }
    } else if (arg == "--tempo") {
      if (!needValue("a tempo")) return ParseResult::kError;
      if (!ParseNumber(value, &o.tempo) || o.tempo < 1.0 || o.tempo > 999.0) {
        *error = "bad tempo '" + value + "' (1 to 999 beats per minute)";
        return ParseResult::kError;
      }
    } else if (arg == "--stopped") {
      if (!flag()) return ParseResult::kError;
      o.playing = false;
    } else if (arg == "--playing") {
      if (!flag()) return ParseResult::kError;
      o.playing = true;
    } else if (arg == "--precision") {
      if (!needValue("32 or 64")) return ParseResult::kError;
      if (value != "32" && value != "64") {
        *error = "bad precision '" + value + "' (32 or 64)";
        return ParseResult::kError;
      }
      o.precision = value == "32" ? 32 : 64;
    } else if (arg == "--plugin") {
      if (!needValue("a bundle path")) return ParseResult::kError;
      o.pluginPath = value;
    } else if (arg == "--list-presets") {
      if (!flag()) return ParseResult::kError;
      o.listPresets = true;
    } else if (arg == "--list-params") {
      if (!flag()) return ParseResult::kError;
      o.listParams = true;
    } else if (arg == "--no-progress") {
      if (!flag()) return ParseResult::kError;
      o.progress = false;
    } else if (!arg.empty() && arg[0] == '-') {
      *error = "unknown option '" + arg + "' (see --help)";
      return ParseResult::kError;
    } else {
      *error = "unexpected argument '" + arg + "' (the output file goes after -o)";
      return ParseResult::kError;
    }
  }

  if (!formatName.empty()) {
    o.fileType = formatName == "flac" ? FileType::kFlac : FileType::kWav;
  } else if (EndsWith(o.output, ".flac")) {
    o.fileType = FileType::kFlac;
  } else {
    o.fileType = FileType::kWav;
  }
  const bool listing = o.listPresets || o.listParams;
  if (!listing) {
    if (o.output.empty()) {
      *error = "no output file (use -o FILE.wav or -o FILE.flac)";
      return ParseResult::kError;
    }
    if (o.fileType == FileType::kFlac && o.format == SampleFormat::kFloat32) {
      *error = "FLAC holds no 32-bit float samples (use --bits 16 or 24, or a WAV file)";
      return ParseResult::kError;
    }
    if (o.fileType == FileType::kFlac && o.sampleRate > kMaxFlacRate) {
      *error = "FLAC holds sample rates up to 655350 Hz (use a WAV file)";
      return ParseResult::kError;
    }
  }
  *out = o;
  return ParseResult::kRun;
}

}  // namespace selvarin
