#pragma once
// Loudness and peaks of stereo audio as EBU R 128 describes them (ITU-R
// BS.1770 loudness, EBU Tech 3342 loudness range), measured as the audio
// streams past. The K-weighted power of every 100 ms is kept, so that what
// the same audio measures after a constant gain can be worked out without
// measuring it again (the gates move with the gain).
#include <cstddef>
#include <vector>

#include "tools/render/k_weighting.h"
#include "tools/render/true_peak.h"

namespace selvarin {

struct LoudnessResult {
  double integrated = 0.0;  // LUFS; -infinity when every 400 ms block is below -70 LUFS
  double range = 0.0;       // LU
  double truePeak = 0.0;    // linear, 1.0 is full scale
  double samplePeak = 0.0;  // linear
};

class LoudnessMeter {
 public:
  explicit LoudnessMeter(double sampleRate);

  void Add(const float* interleaved, size_t frames);
  // Completes the measurement (the true peak of the last samples).
  void Finish();

  // What the audio measured, or would measure times a constant gain.
  LoudnessResult Result(double gain = 1.0) const;

 private:
  KWeighting weighting_;
  TruePeak peaks_;
  size_t blockFrames_;  // 100 ms
  size_t inBlock_ = 0;
  double blockSum_ = 0.0;
  // Mean K-weighted power (both channels added) of each 100 ms.
  std::vector<double> blocks_;
};

// Loudness in LUFS of a mean K-weighted power, and back.
double LoudnessOfPower(double power);

}  // namespace selvarin
