#include "tools/render/loudness_target.h"

#include <cmath>
#include <cstdio>

namespace selvarin {

namespace {

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

// The gain whose result measures `target` LUFS. Loudness follows the gain
// decibel for decibel, except where the gain carries 400 ms blocks across
// the -70 LUFS gate; a few corrections settle that.
double GainForLoudness(const LoudnessMeter& m, double target) {
  double gain = 1.0, best = 1.0, bestMiss = HUGE_VAL;
  for (int i = 0; i < 20; ++i) {
    const double miss = target - m.Result(gain).integrated;
    if (std::fabs(miss) < std::fabs(bestMiss)) {
      best = gain;
      bestMiss = miss;
    }
    if (std::fabs(miss) < 1e-6) break;
    gain *= DbToGain(miss);
  }
  return best;
}

}  // namespace

bool PlanGain(const LoudnessMeter& m, const GainRequest& r, GainPlan* plan, std::string* error) {
  *plan = GainPlan{};
  const LoudnessResult measured = m.Result();
  if (r.loudnessGiven) {
    if (!std::isfinite(measured.integrated)) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "the render is silent (no 400 ms of it above -70 LUFS): no gain brings it to %.1f LUFS",
                    r.loudness);
      *error = text;
      return false;
    }
    plan->gain = GainForLoudness(m, r.loudness);
  }
  const double ceiling = DbToGain(r.ceiling);
  if (r.ceilingGiven && measured.truePeak * plan->gain > ceiling) {
    plan->gain = ceiling / measured.truePeak;
    plan->limitedByPeak = true;
  }
  plan->expected = m.Result(plan->gain);
  if (r.loudnessGiven && plan->limitedByPeak) plan->missedLu = r.loudness - plan->expected.integrated;
  return true;
}

}  // namespace selvarin
