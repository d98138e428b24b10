#pragma once
// Command-line options of the desktop application, parsed without the
// plug-in or the audio system: names are resolved later against them.
#include <string>
#include <vector>

#include "tools/render/render_options.h"

namespace selvarin {

struct AppOptions {
  std::string preset;                // factory preset to start with (name or number); empty: the saved sound
  std::vector<ParamSetting> params;  // parameters set after the preset
  double tempo = 120.0;              // what the stopped transport reports, in BPM
  std::string device;                // output device (name or number); empty: the saved or the default one
  double sampleRate = 0.0;           // 0: the saved or the device's usual rate
  int bufferFrames = 0;              // 0: the saved or the usual size
  bool listDevices = false;
  bool listPresets = false;
  bool listParams = false;
  bool verbose = false;  // audio facts on stderr: the first callback, drop-outs at exit
};

enum class AppCommand { kRun, kHelp, kVersion, kError };

AppCommand ParseAppOptions(int argc, const char* const* argv, AppOptions* out, std::string* error);

const char* AppUsage();

// A whole string as a finite decimal number ("48000", "1.5"); nothing else.
bool ParseDecimal(const std::string& text, double* value);

}  // namespace selvarin
