#pragma once
// The report every render ends with: integrated loudness, loudness range,
// true peak and sample peak of what was written, as a line of text or as
// one JSON object for scripts.
#include <cstdint>
#include <string>

#include "tools/render/loudness_meter.h"

namespace selvarin {

struct RenderReport {
  bool written = true;       // false: a dry run, which measured only
  std::string path;          // what was written ("-": standard output)
  std::string format;        // "WAV", "FLAC", ...; empty on a dry run without -o
  std::string sampleFormat;  // "24-bit", "32-bit float"; empty for lossy formats
  int sampleRate = 0;
  int64_t frames = 0;
  LoudnessResult loudness;
  double gain = 1.0;  // the constant gain of the file (linear)
  bool loudnessGiven = false;
  double loudnessTarget = 0.0;  // LUFS
  bool ceilingGiven = false;
  double ceiling = 0.0;     // dBTP
  double missedLu = 0.0;    // how far below the loudness target the ceiling kept it
};

// "Loudness: -16.0 LUFS integrated, range 0.0 LU, true peak -3.2 dBTP,
// sample peak -3.2 dBFS", with the gain when there was one.
std::string ReportLine(const RenderReport& report);

// The same as one JSON object on one line; numbers that do not exist (the
// loudness of silence) are null.
std::string ReportJson(const RenderReport& report);

// Decibels of a linear peak; -infinity for silence.
double PeakDb(double linear);

}  // namespace selvarin
