#include "engine/tone_waveforms.h"

namespace selvarin {

void SetGoldenCoefficients(int wave, float g, GoldenShape* shape) {
  if (!shape) return;
  // The segment lengths are formed in single precision, then widened.
  const float rest = 1.0f - g;          // second segment, 1 - g
  const float skew = 1.0f - 2.0f * g;   // 1 - 2g
  const double gd = g;
  const double restd = rest;
  switch (wave) {
    case kToneGoldenSine:
      shape->a = 0.5 / gd;
      shape->b = 0.5 / restd;
      shape->c = static_cast<double>(skew) * kPi / restd;
      break;
    case kToneSineHalf:
      shape->a = 0.25 / gd;
      shape->b = 0.25 / restd;
      shape->c = static_cast<double>(skew) * kPi / restd * 0.5;
      break;
    case kToneGoldenTriangle:
      shape->a = 2.0 / shape->split;
      shape->b = static_cast<double>((g + 1.0f) / rest);
      shape->c = (1.0 / kPi) / restd;
      break;
    default:
      break;
  }
}

}  // namespace selvarin
