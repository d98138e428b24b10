#include "tools/render/k_weighting.h"

#include <cmath>
#include <initializer_list>

namespace selvarin {

namespace {

// The analogue prototypes of both stages, as fitted to the 48 kHz
// coefficients of the recommendation, so that every rate gets the same curve.
constexpr double kShelfHz = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kHighPassHz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

// States that have decayed this far are cleared, so that silence never
// leaves the filters computing with denormal numbers.
constexpr double kTiny = 1e-30;
constexpr size_t kRun = 1024;  // frames between clearings

}  // namespace

Biquad KWeightingShelf(double rate) {
  const double k = std::tan(M_PI * kShelfHz / rate);
  const double vh = std::pow(10.0, kShelfGainDb / 20.0);
  const double vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1.0 + k / kShelfQ + k * k;
  Biquad f;
  f.b0 = (vh + vb * k / kShelfQ + k * k) / a0;
  f.b1 = 2.0 * (k * k - vh) / a0;
  f.b2 = (vh - vb * k / kShelfQ + k * k) / a0;
  f.a1 = 2.0 * (k * k - 1.0) / a0;
  f.a2 = (1.0 - k / kShelfQ + k * k) / a0;
  return f;
}

Biquad KWeightingHighPass(double rate) {
  const double k = std::tan(M_PI * kHighPassHz / rate);
  const double a0 = 1.0 + k / kHighPassQ + k * k;
  Biquad f;
  f.b0 = 1.0;
  f.b1 = -2.0;
  f.b2 = 1.0;
  f.a1 = 2.0 * (k * k - 1.0) / a0;
  f.a2 = (1.0 - k / kHighPassQ + k * k) / a0;
  return f;
}

KWeighting::KWeighting(double sampleRate)
    : shelf_(KWeightingShelf(sampleRate)), highPass_(KWeightingHighPass(sampleRate)) {}

double KWeighting::SumOfSquares(const float* x, size_t frames) {
  // Both channels in one vector of two doubles. In direct form I each
  // stage's output waits only on its previous output times one coefficient,
  // the shortest chain from sample to sample.
  using D2 = double __attribute__((vector_size(16)));
  const Biquad f = shelf_, h = highPass_;
  const D2 b0 = {f.b0, f.b0}, b1 = {f.b1, f.b1}, b2 = {f.b2, f.b2}, a1 = {f.a1, f.a1}, a2 = {f.a2, f.a2};
  const D2 c1 = {h.a1, h.a1}, c2 = {h.a2, h.a2};
  D2 x1 = {x1_[0], x1_[1]}, x2 = {x2_[0], x2_[1]}, y1 = {y1_[0], y1_[1]}, y2 = {y2_[0], y2_[1]};
  D2 z1 = {z1_[0], z1_[1]}, z2 = {z2_[0], z2_[1]};
  double sum = 0.0;
  for (size_t start = 0; start < frames; start += kRun) {
    const size_t end = frames - start < kRun ? frames : start + kRun;
    D2 squares = {0.0, 0.0};
    for (size_t i = start; i < end; ++i) {
      const D2 in = {x[2 * i], x[2 * i + 1]};
      const D2 y = (b0 * in + b1 * x1 + b2 * x2 - a2 * y2) - a1 * y1;
      // The high pass's numerator is 1, -2, 1.
      const D2 z = (y - y1 - y1 + y2 - c2 * z2) - c1 * z1;
      x2 = x1;
      x1 = in;
      y2 = y1;
      y1 = y;
      z2 = z1;
      z1 = z;
      squares += z * z;
    }
    sum += squares[0] + squares[1];
    // Decayed states are cleared: silence never computes with denormals.
    for (D2* s : {&x1, &x2, &y1, &y2, &z1, &z2})
      for (int c = 0; c < 2; ++c)
        if (std::fabs((*s)[c]) < kTiny) (*s)[c] = 0.0;
  }
  x1_[0] = x1[0], x1_[1] = x1[1], x2_[0] = x2[0], x2_[1] = x2[1];
  y1_[0] = y1[0], y1_[1] = y1[1], y2_[0] = y2[0], y2_[1] = y2[1];
  z1_[0] = z1[0], z1_[1] = z1[1], z2_[0] = z2[0], z2_[1] = z2[1];
  return sum;
}

}  // namespace selvarin
