#include "tools/render/loudness_meter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace selvarin {

namespace {

constexpr double kAbsoluteGate = -70.0;       // LUFS
constexpr double kRelativeGate = -10.0;       // LU below the absolute-gated loudness
constexpr double kRangeRelativeGate = -20.0;  // the same for the loudness range
constexpr size_t kMomentary = 4;    // 400 ms blocks of 100 ms, overlapping by 300 ms
constexpr size_t kShortTerm = 30;   // 3 s windows for the range...
constexpr size_t kShortTermHop = 10;  // ...one a second

// The mean of n consecutive 100 ms powers starting at each hop.
std::vector<double> Windows(const std::vector<double>& blocks, size_t n, size_t hop) {
  std::vector<double> out;
  if (blocks.size() < n) return out;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) sum += blocks[i];
  for (size_t start = 0;;) {
    out.push_back(sum / static_cast<double>(n));
    if (start + hop + n > blocks.size()) break;
    // Recomputed rather than slid, so that rounding does not pile up.
    sum = 0.0;
    start += hop;
    for (size_t i = start; i < start + n; ++i) sum += blocks[i];
  }
  return out;
}

// Powers above the absolute gate, then above the relative gate below their
// mean.
std::vector<double> Gated(const std::vector<double>& powers, double scale, double relativeGate) {
  std::vector<double> above;
  double sum = 0.0;
  for (double p : powers) {
    const double q = p * scale;
    if (LoudnessOfPower(q) > kAbsoluteGate) {
      above.push_back(q);
      sum += q;
    }
  }
  if (above.empty()) return above;
  const double threshold = LoudnessOfPower(sum / static_cast<double>(above.size())) + relativeGate;
  std::vector<double> out;
  for (double q : above)
    if (LoudnessOfPower(q) > threshold) out.push_back(q);
  return out;
}

}  // namespace

double LoudnessOfPower(double power) {
  return power > 0.0 ? -0.691 + 10.0 * std::log10(power) : -std::numeric_limits<double>::infinity();
}

LoudnessMeter::LoudnessMeter(double sampleRate)
    : weighting_(sampleRate), blockFrames_(static_cast<size_t>(std::llround(sampleRate / 10.0))) {
  if (blockFrames_ < 1) blockFrames_ = 1;
}

void LoudnessMeter::Add(const float* x, size_t frames) {
  peaks_.Add(x, frames);
  while (frames > 0) {
    const size_t n = std::min(frames, blockFrames_ - inBlock_);
    blockSum_ += weighting_.SumOfSquares(x, n);
    inBlock_ += n;
    x += 2 * n;
    frames -= n;
    if (inBlock_ == blockFrames_) {
      blocks_.push_back(blockSum_ / static_cast<double>(blockFrames_));
      blockSum_ = 0.0;
      inBlock_ = 0;
    }
  }
}

void LoudnessMeter::Finish() { peaks_.Finish(); }

LoudnessResult LoudnessMeter::Result(double gain) const {
  LoudnessResult r;
  const double scale = gain * gain;
  const std::vector<double> blocks = Gated(Windows(blocks_, kMomentary, 1), scale, kRelativeGate);
  double sum = 0.0;
  for (double p : blocks) sum += p;
  r.integrated = blocks.empty() ? -std::numeric_limits<double>::infinity()
                                : LoudnessOfPower(sum / static_cast<double>(blocks.size()));
  std::vector<double> shortTerm = Gated(Windows(blocks_, kShortTerm, kShortTermHop), scale, kRangeRelativeGate);
  if (shortTerm.size() >= 2) {
    std::sort(shortTerm.begin(), shortTerm.end());
    const double last = static_cast<double>(shortTerm.size() - 1);
    const double low = shortTerm[static_cast<size_t>(std::llround(last * 0.10))];
    const double high = shortTerm[static_cast<size_t>(std::llround(last * 0.95))];
    r.range = LoudnessOfPower(high) - LoudnessOfPower(low);
  }
  r.truePeak = peaks_.Peak() * gain;
  r.samplePeak = peaks_.SamplePeak() * gain;
  return r;
}

}  // namespace selvarin
