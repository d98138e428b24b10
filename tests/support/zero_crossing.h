#pragma once
// Pitch of rendered audio measured the way a tuner does: by counting rising
// zero crossings.
#include <cstddef>
#include <vector>

namespace selvarin::test {

// Samples [begin, end) of a rendered channel. A range of its own type, so a
// sample rate can never be passed where a position is meant, or the other
// way round.
struct SampleRange {
  size_t begin = 0;
  size_t end = 0;
};

// Frequency from the rising zero crossings in `range` of x, the crossing
// instants interpolated between samples: (crossings - 1) cycles between the
// first and the last crossing. 0 when there are fewer than two; a range
// reaching past the end of x stops at its end.
inline double ZeroCrossingHz(const std::vector<double>& x, SampleRange range, double sampleRate) {
  const size_t end = range.end < x.size() ? range.end : x.size();
  double first = -1.0, last = -1.0;
  int count = 0;
  for (size_t i = range.begin + 1; i < end; ++i) {
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

}  // namespace selvarin::test
