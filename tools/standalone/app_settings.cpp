#include "tools/standalone/app_settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "tools/standalone/app_options.h"

namespace selvarin {

namespace {

constexpr char kHeader[] = "# Selvarin settings, written by the application on exit";
constexpr int kFormatVersion = 1;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(const std::string& text, std::vector<uint8_t>* out) {
  if (text.size() % 2 != 0) return false;
  out->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return true;
}

bool ParseInt(const std::string& text, int lo, int hi, int* out) {
  int v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// Names are kept on one line: no line breaks, no NULs.
bool OneLine(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

}  // namespace

std::string FormatSettings(const AppSettings& s) {
  std::string out = std::string(kHeader) + "\nversion=" + std::to_string(kFormatVersion) + "\n";
  if (OneLine(s.hostApi)) out += "host-api=" + s.hostApi + "\n";
  if (OneLine(s.device)) out += "device=" + s.device + "\n";
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.0f", s.sampleRate > 0.0 && std::isfinite(s.sampleRate) ? s.sampleRate : 0.0);
  out += std::string("rate=") + rate + "\n";
  out += "buffer=" + std::to_string(s.bufferFrames > 0 ? s.bufferFrames : 0) + "\n";
  out += "preset=" + std::to_string(s.preset >= 0 ? s.preset : -1) + "\n";
  static const char kDigits[] = "0123456789abcdef";
  out += "plugin-state=";
  for (uint8_t b : s.pluginState) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  out += "\n";
  return out;
}

bool ParseSettings(const std::string& text, AppSettings* out, std::string* error) {
  AppSettings s;
  bool versionSeen = false;
  size_t start = 0;
  int lineNo = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    const std::string key = eq == std::string::npos ? line : line.substr(0, eq);
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
    auto bad = [&](const char* what) {
      *error = "line " + std::to_string(lineNo) + ": " + what;
      return false;
    };
    if (eq == std::string::npos) return bad("not key=value");
    if (!versionSeen && key != "version") return bad("the version line must come first");
    if (key == "version") {
      int v = 0;
      if (versionSeen || !ParseInt(value, 1, 1000000, &v)) return bad("bad version");
      if (v != kFormatVersion) return bad("written by another version of Selvarin");
      versionSeen = true;
    } else if (key == "host-api") {
      s.hostApi = value;
    } else if (key == "device") {
      s.device = value;
    } else if (key == "rate") {
      double r = 0.0;
      if (!ParseDecimal(value, &r) || !(r == 0.0 || (r >= 8000.0 && r <= 768000.0))) return bad("bad sample rate");
      s.sampleRate = r;
    } else if (key == "buffer") {
      if (!ParseInt(value, 0, 8192, &s.bufferFrames) || (s.bufferFrames != 0 && s.bufferFrames < 16))
        return bad("bad buffer size");
    } else if (key == "preset") {
      if (!ParseInt(value, -1, 1 << 20, &s.preset)) return bad("bad preset number");
    } else if (key == "plugin-state") {
      if (value.size() > 65536 || !ParseHex(value, &s.pluginState)) return bad("bad plug-in state");
    } else {
      return bad("unknown key");
    }
  }
  if (!versionSeen) {
    *error = "no version line";
    return false;
  }
  *out = s;
  return true;
}

}  // namespace selvarin
