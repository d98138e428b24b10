#pragma once
// What the application keeps between runs: the plug-in's state as a host
// saves it, the factory preset last chosen, and the audio settings. Stored
// as a small text file of "key=value" lines.
#include <cstdint>
#include <string>
#include <vector>

namespace selvarin {

struct AppSettings {
  std::string hostApi;  // the audio system the device belongs to; empty: none chosen
  std::string device;
  double sampleRate = 0.0;           // 0: none chosen
  int bufferFrames = 0;              // 0: none chosen
  int preset = -1;                   // the factory preset last chosen; -1: none
  std::vector<uint8_t> pluginState;  // the component's state; empty: none
};

std::string FormatSettings(const AppSettings& s);

// All or nothing: a file with any line that does not parse gives false and
// a reason, and *out is left alone.
bool ParseSettings(const std::string& text, AppSettings* out, std::string* error);

}  // namespace selvarin
