#include "tools/render/loudness_report.h"

#include <cmath>
#include <cstdio>

namespace selvarin {

namespace {

std::string Fixed(double v, int decimals, bool sign = false) {
  if (!std::isfinite(v)) return v < 0 ? "-inf" : "inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, sign ? "%+.*f" : "%.*f", decimals, v);
  // No "-0.0": a value that rounds to zero is zero.
  const std::string s = buf;
  return s.find_first_not_of("-+0.") == std::string::npos && s[0] == '-' ? s.substr(1) : s;
}

std::string JsonNumber(double v, int decimals) { return std::isfinite(v) ? Fixed(v, decimals) : "null"; }

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

double GainDb(double gain) { return 20.0 * std::log10(gain); }

}  // namespace

double PeakDb(double linear) { return linear > 0.0 ? 20.0 * std::log10(linear) : -HUGE_VAL; }

std::string ReportLine(const RenderReport& r) {
  const LoudnessResult& l = r.loudness;
  std::string line = r.written ? "Loudness: " : "Loudness (nothing written): ";
  line += Fixed(l.integrated, 1) + " LUFS integrated, range " + Fixed(l.range, 1) + " LU, true peak " +
          Fixed(PeakDb(l.truePeak), 1) + " dBTP, sample peak " + Fixed(PeakDb(l.samplePeak), 1) + " dBFS";
  if (r.gain != 1.0) line += "; gain " + Fixed(GainDb(r.gain), 2, true) + " dB";
  return line + "\n";
}

std::string ReportJson(const RenderReport& r) {
  const LoudnessResult& l = r.loudness;
  std::string j = "{";
  j += "\"written\":" + std::string(r.written ? "true" : "false");
  j += ",\"path\":" + (r.written ? JsonString(r.path) : std::string("null"));
  j += ",\"format\":" + (r.format.empty() ? std::string("null") : JsonString(r.format));
  j += ",\"sample_format\":" + (r.sampleFormat.empty() ? std::string("null") : JsonString(r.sampleFormat));
  j += ",\"sample_rate\":" + std::to_string(r.sampleRate);
  j += ",\"channels\":2";
  j += ",\"frames\":" + std::to_string(r.frames);
  j += ",\"seconds\":" + JsonNumber(r.sampleRate > 0 ? static_cast<double>(r.frames) / r.sampleRate : 0.0, 6);
  j += ",\"integrated_lufs\":" + JsonNumber(l.integrated, 2);
  j += ",\"loudness_range_lu\":" + JsonNumber(l.range, 2);
  j += ",\"true_peak_dbtp\":" + JsonNumber(PeakDb(l.truePeak), 2);
  j += ",\"sample_peak_dbfs\":" + JsonNumber(PeakDb(l.samplePeak), 2);
  j += ",\"gain_db\":" + JsonNumber(GainDb(r.gain), 6);
  j += ",\"target_lufs\":" + (r.loudnessGiven ? JsonNumber(r.loudnessTarget, 2) : std::string("null"));
  j += ",\"true_peak_ceiling_dbtp\":" + (r.ceilingGiven ? JsonNumber(r.ceiling, 2) : std::string("null"));
  j += ",\"target_missed_lu\":" + (r.loudnessGiven ? JsonNumber(r.missedLu, 2) : std::string("null"));
  return j + "}\n";
}

}  // namespace selvarin
