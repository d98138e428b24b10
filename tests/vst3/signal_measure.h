#pragma once
// Measurements of rendered audio, as a listener would judge it.
#include <cmath>
#include <cstddef>
#include <vector>

#include "tests/support/zero_crossing.h"

namespace selvarin {
namespace test {

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
