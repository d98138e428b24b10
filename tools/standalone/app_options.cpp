#include "tools/standalone/app_options.h"

#include <charconv>
#include <cmath>

namespace selvarin {

namespace {

const char kUsage[] =
    "usage: selvarin [options]\n"
    "Plays Selvarin's binaural and monaural beats live, with its editor in a window.\n"
    "The last sound and audio settings are restored at start.\n"
    "\n"
    "  -P, --preset NAME|N     start with a factory preset (its name or number)\n"
    "  -p, --param NAME=VALUE  set a parameter (plain value or display text), repeatable\n"
    "  -t, --tempo BPM         tempo of the stopped transport, for tempo-synced LFOs (default 120)\n"
    "  -d, --device NAME|N     output device, by name or by its number in --list-devices\n"
    "  -r, --rate HZ           sample rate\n"
    "  -b, --buffer FRAMES     buffer size in frames (16 to 8192)\n"
    "      --list-devices      list the output devices and exit\n"
    "      --list-presets      list the factory presets with their numbers and exit\n"
    "      --list-params       list the parameters (names, defaults, values) and exit\n"
    "  -v, --verbose           report the audio output's start and drop-outs on stderr\n"
    "  -h, --help              this text\n"
    "      --version           the version\n"
    "\n"
    "Space turns PLAY on and off. Settings: $XDG_CONFIG_HOME/selvarin (or ~/.config/selvarin);\n"
    "%APPDATA%\\Selvarin on Windows.\n";

}  // namespace

const char* AppUsage() { return kUsage; }

bool ParseDecimal(const std::string& text, double* value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  double v = 0.0;
  const auto r = std::from_chars(begin, end, v, std::chars_format::fixed);
  if (text.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

AppCommand ParseAppOptions(int argc, const char* const* argv, AppOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    std::string v;
    auto value = [&]() {
      if (i + 1 >= argc) {
        *error = "option " + a + " needs a value";
        return false;
      }
      v = argv[++i];
      return true;
    };
    double x = 0.0;
    if (a == "-h" || a == "--help") {
      return AppCommand::kHelp;
    } else if (a == "--version") {
      return AppCommand::kVersion;
    } else if (a == "--list-devices") {
      o->listDevices = true;
    } else if (a == "--list-presets") {
      o->listPresets = true;
    } else if (a == "--list-params") {
      o->listParams = true;
    } else if (a == "-v" || a == "--verbose") {
      o->verbose = true;
    } else if (a == "-P" || a == "--preset") {
      if (!value()) return AppCommand::kError;
      o->preset = v;
    } else if (a == "-p" || a == "--param") {
      if (!value()) return AppCommand::kError;
      const size_t eq = v.rfind('=');
      if (eq == std::string::npos || eq == 0) {
        *error = "parameter setting '" + v + "' is not NAME=VALUE";
        return AppCommand::kError;
      }
      o->params.push_back(ParamSetting{v.substr(0, eq), v.substr(eq + 1)});
    } else if (a == "-t" || a == "--tempo") {
      if (!value()) return AppCommand::kError;
      if (!ParseDecimal(v, &x) || x < 1.0 || x > 999.0) {
        *error = "tempo '" + v + "' is not a number of BPM from 1 to 999";
        return AppCommand::kError;
      }
      o->tempo = x;
    } else if (a == "-d" || a == "--device") {
      if (!value()) return AppCommand::kError;
      if (v.empty()) {
        *error = "the device name is empty";
        return AppCommand::kError;
      }
      o->device = v;
    } else if (a == "-r" || a == "--rate") {
      if (!value()) return AppCommand::kError;
      if (!ParseDecimal(v, &x) || x < 8000.0 || x > 768000.0) {
        *error = "sample rate '" + v + "' is not a number of Hz from 8000 to 768000";
        return AppCommand::kError;
      }
      o->sampleRate = x;
    } else if (a == "-b" || a == "--buffer") {
      if (!value()) return AppCommand::kError;
      if (!ParseDecimal(v, &x) || x != std::floor(x) || x < 16.0 || x > 8192.0) {
        *error = "buffer size '" + v + "' is not a whole number of frames from 16 to 8192";
        return AppCommand::kError;
      }
      o->bufferFrames = static_cast<int>(x);
    } else {
      *error = "unknown option '" + a + "' (see --help)";
      return AppCommand::kError;
    }
  }
  return AppCommand::kRun;
}

}  // namespace selvarin
