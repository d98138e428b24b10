#include "tools/render/true_peak.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace selvarin {

namespace {

// Each of the three points between two samples is interpolated from the
// eight samples on either side: x[n-7] .. x[n+8] for the points after x[n].
constexpr int kTaps = 16;
constexpr int kBefore = kTaps / 2 - 1;  // samples before x[n] in a window
constexpr int kPhases = 3;   // points at 1/4, 2/4 and 3/4
// Intervals are judged 16 at a time; the windows of a group lie within its
// own 16 frames and the next 16.
constexpr size_t kGroup = 16;
static_assert(kTaps - 1 < static_cast<int>(kGroup), "a group's windows reach one group further at most");
static_assert(kTaps == 16, "the interpolation below takes four vectors of four taps");

// Four floats at once, where the compiler has vectors (else one by one).
using F4 = float __attribute__((vector_size(16)));
using U4 = uint32_t __attribute__((vector_size(16)));

double BesselI0(double x) {
  double sum = 1.0, term = 1.0;
  for (int k = 1; k < 40; ++k) {
    term *= (x / (2.0 * k)) * (x / (2.0 * k));
    sum += term;
  }
  return sum;
}

// The interpolation filter and the constants of the bound.
struct Interpolator {
  double c[kPhases][kTaps];  // c[p][i] weighs x[n - kBefore + i]
  F4 taps[kPhases][kTaps / 4];  // the same in float, four at a time
  // |point| <= lineGain * max(|x[n]|, |x[n+1]|) + slopeGain * |x[n+1] -
  // x[n]| + curveGain * (largest |second difference| in the window) +
  // restGain * (largest |x| there).
  double lineGain = 1.0, slopeGain = 0.0, curveGain = 0.0, restGain = 0.0;

  Interpolator() {
    // Windowed sinc (Kaiser, beta 6: flat within 0.01 dB to 18 kHz at 48
    // kHz), each phase scaled to pass a constant unchanged.
    const double beta = 6.0;
    for (int p = 0; p < kPhases; ++p) {
      const double frac = (p + 1) / 4.0;
      double sum = 0.0;
      for (int i = 0; i < kTaps; ++i) {
        const double t = frac - (i - kBefore);  // distance from the sample
        const double r = t / (kTaps / 2);
        const double w = BesselI0(beta * std::sqrt(1.0 - r * r)) / BesselI0(beta);
        c[p][i] = std::sin(M_PI * t) / (M_PI * t) * w;
        sum += c[p][i];
      }
      for (double& v : c[p]) v /= sum;
      for (int i = 0; i < kTaps; ++i) taps[p][i / 4][i % 4] = static_cast<float>(c[p][i]);
      Bound(p, frac);
    }
  }

  // The weights beyond the straight line between x[n] and x[n+1]: with
  // their mean and slope split off, they weigh second differences.
  void Bound(int p, double frac) {
    double g[kTaps];
    for (int i = 0; i < kTaps; ++i) g[i] = c[p][i];
    g[kBefore] -= 1.0 - frac;
    g[kBefore + 1] -= frac;
    double m0 = 0.0, m1 = 0.0;
    for (int i = 0; i < kTaps; ++i) {
      m0 += g[i];
      m1 += (i - kBefore) * g[i];
    }
    // a * x[n] + b * x[n+1] carries the mean and slope that remain:
    // m0 * x[n] + m1 * (x[n+1] - x[n]), m0 next to nothing.
    const double b = m1, a = m0 - m1;
    g[kBefore] -= a;
    g[kBefore + 1] -= b;
    // g[i] = G[i+1] - 2 G[i] + G[i-1], where G[k] weighs the second
    // difference at x[n - kBefore + k], k = 1 .. kTaps - 2.
    double G[kTaps + 1] = {};
    for (int i = 0; i + 1 <= kTaps - 2; ++i) G[i + 1] = g[i] + 2.0 * G[i] - (i > 0 ? G[i - 1] : 0.0);
    double curve = 0.0, rest = 0.0;
    for (int k = 1; k <= kTaps - 2; ++k) curve += std::fabs(G[k]);
    // Whatever the second differences do not reproduce is counted whole.
    for (int i = 0; i < kTaps; ++i) {
      const double right = i + 1 <= kTaps - 2 ? G[i + 1] : 0.0;
      const double at = i >= 1 && i <= kTaps - 2 ? G[i] : 0.0;
      const double left = i - 1 >= 1 ? G[i - 1] : 0.0;
      rest += std::fabs(g[i] - (right - 2.0 * at + left));
    }
    const double line = 1.0 + std::fabs(m0), slope = std::fabs(m1);
    lineGain = line > lineGain ? line : lineGain;
    slopeGain = slope > slopeGain ? slope : slopeGain;
    curveGain = curve > curveGain ? curve : curveGain;
    restGain = rest > restGain ? rest : restGain;
  }
};

const Interpolator& Filter() {
  static const Interpolator filter;
  return filter;
}

// Room for rounding in the bound (relative).
constexpr double kSlack = 1.0 + 1e-6;

F4 Load(const float* p) {
  F4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
F4 Abs(F4 v) {
  U4 u;
  std::memcpy(&u, &v, sizeof u);
  u &= 0x7FFFFFFFu;
  std::memcpy(&v, &u, sizeof v);
  return v;
}
F4 Max(F4 a, F4 b) { return a > b ? a : b; }
float Largest(F4 v) {
  float m = v[0];
  for (int i = 1; i < 4; ++i) m = v[i] > m ? v[i] : m;
  return m;
}

}  // namespace

TruePeak::TruePeak() {
  // One frame before group 0 (second differences look one frame back), then
  // a group of silence before the first sample, so that the points between
  // it and the first sample are interpolated too.
  frames_ = 1 + kGroup;
  pending_.assign(2 * frames_, 0.0f);
}

void TruePeak::Add(const float* x, size_t frames) {
  if (pending_.size() < 2 * (frames_ + frames)) pending_.resize(2 * (frames_ + frames));
  std::memcpy(pending_.data() + 2 * frames_, x, frames * 2 * sizeof(float));
  frames_ += frames;
  Run();
}

void TruePeak::Finish() {
  // The points whose window ends at the last sample; what follows the end
  // is no part of the signal (a player may go on with anything), so none
  // lie closer to the end than half a window.
  const Interpolator& f = Filter();
  const float* x = pending_.data() + 2;
  const size_t frames = frames_ - 1;
  double peak = peak_;
  for (size_t i = 0; i < 2 * frames; ++i) {
    const double a = std::fabs(x[i]);
    samplePeak_ = a > samplePeak_ ? a : samplePeak_;
  }
  peak = samplePeak_ > peak ? samplePeak_ : peak;
  for (size_t j = 0; j + kTaps <= frames; ++j) {
    for (size_t ch = 0; ch < 2; ++ch) {
      const float* w = x + 2 * j + ch;
      for (int ph = 0; ph < kPhases; ++ph) {
        double v = 0.0;
        for (int i = 0; i < kTaps; ++i) v += f.c[ph][i] * w[2 * i];
        v = std::fabs(v);
        peak = v > peak ? v : peak;
      }
    }
  }
  peak_ = peak;
  frames_ = 1;
}

void TruePeak::Run() {
  const Interpolator& f = Filter();
  // Group g holds the frames from 1 + 16 g on; its second differences need
  // the frame after it too.
  if (frames_ < 2 + 2 * kGroup) return;
  const size_t groups = (frames_ - 2) / kGroup;
  const float* x = pending_.data() + 2;
  blockMost_.resize(groups);
  blockSlope_.resize(groups);
  blockCurve_.resize(groups);
  F4 peakV = {0, 0, 0, 0};
  for (size_t g = 0; g < groups; ++g) {
    const float* p = x + 2 * kGroup * g;
    F4 most = {0, 0, 0, 0}, slope = {0, 0, 0, 0}, curve = {0, 0, 0, 0};
    for (size_t i = 0; i < 2 * kGroup; i += 4) {
      const F4 before = Load(p + i - 2), v = Load(p + i), after = Load(p + i + 2);
      most = Max(most, Abs(v));
      slope = Max(slope, Abs(after - v));
      curve = Max(curve, Abs(before - v - v + after));
    }
    peakV = Max(peakV, most);
    blockMost_[g] = Largest(most);
    blockSlope_[g] = Largest(slope);
    blockCurve_[g] = Largest(curve);
  }
  const double samples = Largest(peakV);
  samplePeak_ = samples > samplePeak_ ? samples : samplePeak_;
  double peak = samplePeak_ > peak_ ? samplePeak_ : peak_;
  // The windows of group g start at its 16 frames and reach into group g + 1.
  auto most2 = [](const std::vector<float>& v, size_t g) { return v[g] > v[g + 1] ? v[g] : v[g + 1]; };
  const size_t done = groups - 1;
  for (size_t g = 0; g < done; ++g) {
    const double most = most2(blockMost_, g);
    const double beyond = (f.curveGain * most2(blockCurve_, g) + f.restGain * most) * kSlack;
    if ((f.lineGain * most + f.slopeGain * most2(blockSlope_, g)) * kSlack + beyond <= peak) continue;
    // Four samples at once (two frames of both channels): the bound of the
    // interval after each, in float, against a threshold lowered for the
    // rounding of float.
    const F4 line = {static_cast<float>(f.lineGain), static_cast<float>(f.lineGain), static_cast<float>(f.lineGain),
                     static_cast<float>(f.lineGain)};
    const F4 slope = {static_cast<float>(f.slopeGain), static_cast<float>(f.slopeGain),
                      static_cast<float>(f.slopeGain), static_cast<float>(f.slopeGain)};
    const float limit = static_cast<float>((peak - beyond) / (kSlack * kSlack));
    const float* group = x + 2 * kGroup * g;
    for (size_t k = 0; k < 2 * kGroup; k += 4) {
      const F4 at = Load(group + k + 2 * kBefore), next = Load(group + k + 2 * (kBefore + 1));
      const F4 bound = Max(Abs(at), Abs(next)) * line + Abs(next - at) * slope;
      for (size_t lane = 0; lane < 4; ++lane) {
        if (!(bound[lane] > limit)) continue;
        ++interpolated_;
        const float* w = group + k + lane;  // the window's first sample, its channel every other float
        const F4 s0 = {w[0], w[2], w[4], w[6]}, s1 = {w[8], w[10], w[12], w[14]};
        const F4 s2 = {w[16], w[18], w[20], w[22]}, s3 = {w[24], w[26], w[28], w[30]};
        for (int ph = 0; ph < kPhases; ++ph) {
          const F4 sum = s0 * f.taps[ph][0] + s1 * f.taps[ph][1] + s2 * f.taps[ph][2] + s3 * f.taps[ph][3];
          const double v = std::fabs(static_cast<double>(sum[0] + sum[1]) + static_cast<double>(sum[2] + sum[3]));
          peak = v > peak ? v : peak;
        }
      }
    }
  }
  peak_ = peak;
  // Keep the first group not done, with the frame before it.
  const size_t keep = frames_ - kGroup * done;
  std::memmove(pending_.data(), pending_.data() + 2 * kGroup * done, keep * 2 * sizeof(float));
  frames_ = keep;
}

}  // namespace selvarin
