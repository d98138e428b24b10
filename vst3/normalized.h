#pragma once
#include <cmath>

namespace selvarin {

// A host's normalised value made safe: not finite gives fallback, the rest
// is clamped into 0..1.
inline double SafeNormalized(double x, double fallback = 0.0) {
  if (!std::isfinite(x)) return fallback;
  return x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x;
}

}  // namespace selvarin
