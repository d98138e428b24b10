#pragma once
// The K-weighting of loudness measurement (ITU-R BS.1770): a high shelf
// (+4 dB above about 1.7 kHz, the head's effect) followed by a high pass
// (the revised low-frequency B curve), for any sample rate, on stereo.
#include <cstddef>

namespace selvarin {

struct Biquad {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

// The two stages for a sample rate, from their analogue prototypes.
Biquad KWeightingShelf(double sampleRate);
Biquad KWeightingHighPass(double sampleRate);

class KWeighting {
 public:
  explicit KWeighting(double sampleRate);

  // Filters frames of interleaved stereo and returns the sum of the
  // squares of both filtered channels.
  double SumOfSquares(const float* interleaved, size_t frames);

 private:
  Biquad shelf_, highPass_;
  // Direct form I: the last two inputs and outputs of each stage, both
  // channels side by side.
  double x1_[2] = {}, x2_[2] = {}, y1_[2] = {}, y2_[2] = {}, z1_[2] = {}, z2_[2] = {};
};

}  // namespace selvarin
