#pragma once
// The true peak of stereo audio: the largest magnitude of the signal
// interpolated to four times its sample rate (ITU-R BS.1770), the samples
// themselves included. Silence comes before the first sample; nothing
// after the last, whose last half window is not interpolated.
//
// Interpolating every sample costs more than rendering it, so a stretch is
// interpolated only where it could beat the peak found so far: between two
// samples the interpolated signal departs from the straight line joining
// them by at most a fixed multiple of the largest second difference nearby,
// which is small wherever the sound is smooth. The result is the same as
// interpolating everywhere.
#include <cstddef>
#include <vector>

namespace selvarin {

class TruePeak {
 public:
  TruePeak();

  void Add(const float* interleaved, size_t frames);
  // Interpolates the last whole windows; the peaks are complete
  // afterwards, and Add must not be called again.
  void Finish();

  // Linear: 1.0 is full scale. The true peak counts the samples too.
  double Peak() const { return peak_; }
  double SamplePeak() const { return samplePeak_; }

  // Points between samples interpolated so far, per channel (benchmarks
  // show how much the bound saves).
  long long Interpolated() const { return interpolated_; }

 private:
  void Run();

  // Interleaved frames not yet past: the ones the next intervals still
  // need, then the new ones.
  std::vector<float> pending_;
  size_t frames_ = 0;
  std::vector<float> blockMost_, blockSlope_, blockCurve_;
  double peak_ = 0.0;
  double samplePeak_ = 0.0;
  long long interpolated_ = 0;
};

}  // namespace selvarin
