#pragma once
// Fade-in and fade-out of the rendered samples, done by the host on the
// output so that they work with every preset: a raised-cosine gain from
// silence at the first frame, and to silence at the last.
#include <cstdint>

namespace selvarin {

class OutputFades {
 public:
  OutputFades(int64_t totalFrames, int64_t fadeInFrames, int64_t fadeOutFrames);

  // Scales n frames of both channels that start at a frame position.
  void Apply(double* const* channels, int64_t position, int n) const;
  void Apply(float* const* channels, int64_t position, int n) const;

  double Gain(int64_t frame) const;

 private:
  template <typename T>
  void Scale(T* const* channels, int64_t position, int n) const;

  int64_t total_, in_, out_;
};

}  // namespace selvarin
