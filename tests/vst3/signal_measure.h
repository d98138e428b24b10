#pragma once
// Measurements of rendered audio, as a listener would judge it.
#include <cmath>
#include <cstddef>
#include <vector>

namespace selvarin {
namespace test {

// Frequency from upward zero crossings between from and to, with the
// crossing instants interpolated between samples. 0 when fewer than two.
inline double ZeroCrossingHz(const std::vector<double>& x, double sampleRate, size_t from, size_t to) {
  if (to > x.size()) to = x.size();
  double first = -1.0, last = -1.0;
  int count = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if (x[i - 1] < 0.0 && x[i] >= 0.0) {
      const double t = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
      if (count == 0) first = t;
      last = t;
      ++count;
    }
  }
  if (count < 2) return 0.0;
  return (count - 1) * sampleRate / (last - first);
}

inline double Peak(const std::vector<double>& x, size_t from = 0, size_t to = static_cast<size_t>(-1)) {
  double p = 0.0;
  if (to > x.size()) to = x.size();
  for (size_t i = from; i < to; ++i) p = std::fmax(p, std::fabs(x[i]));
  return p;
}

inline bool AllFinite(const std::vector<double>& x) {
  for (double v : x)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace test
}  // namespace selvarin
