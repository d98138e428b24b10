#include "tools/render/output_fades.h"

#include <cmath>

namespace selvarin {

namespace {
// 0 at x = 0, 1 at x = 1, rising smoothly and monotonically between.
double RaisedCosine(double x) { return 0.5 - 0.5 * std::cos(M_PI * x); }
}  // namespace

OutputFades::OutputFades(int64_t totalFrames, int64_t fadeInFrames, int64_t fadeOutFrames)
    : total_(totalFrames), in_(fadeInFrames), out_(fadeOutFrames) {}

double OutputFades::Gain(int64_t frame) const {
  double g = 1.0;
  if (frame < in_) g *= RaisedCosine(static_cast<double>(frame) / static_cast<double>(in_));
  const int64_t left = total_ - 1 - frame;  // frames after this one
  if (left < out_) g *= RaisedCosine(left <= 0 ? 0.0 : static_cast<double>(left) / static_cast<double>(out_));
  return g;
}

template <typename T>
void OutputFades::Scale(T* const* channels, int64_t position, int n) const {
  // Most blocks lie between the fades and stay as they are.
  if (position >= in_ && position + n <= total_ - out_) return;
  for (int i = 0; i < n; ++i) {
    const double g = Gain(position + i);
    channels[0][i] = static_cast<T>(channels[0][i] * g);
    channels[1][i] = static_cast<T>(channels[1][i] * g);
  }
}

void OutputFades::Apply(double* const* channels, int64_t position, int n) const { Scale(channels, position, n); }
void OutputFades::Apply(float* const* channels, int64_t position, int n) const { Scale(channels, position, n); }

}  // namespace selvarin
