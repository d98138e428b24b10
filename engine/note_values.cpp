#include "engine/note_values.h"

#include <cmath>

#include "engine/engine_math.h"
#include "engine/param_ids.h"

namespace selvarin {

namespace {
constexpr double kTwoPiThousand = 6283.185307179586;  // 2 pi x 1000: ms per cycle
constexpr double kShortestNote = 0.03125;             // 1/32 of a whole note
}  // namespace

float NoteValueLength(int k) {
  double x;
  switch (k % 3) {
    case 0:
      x = std::pow(2.0, k / 3) * kShortestNote;
      break;
    case 1:
      x = std::pow(2.0, (k + 2) / 3) * 2.0 * (1.0 / 3.0) * kShortestNote;
      break;
    default:
      x = std::pow(2.0, (k - 2) / 3) * 3.0 * 0.5 * kShortestNote;
      break;
  }
  return static_cast<float>(x);
}

bool LfoIncrementFromNote(int k, double samplesPerWhole, double* increment) {
  if (!increment || k < 0 || k >= kNumNoteValues) return false;
  if (!(samplesPerWhole > 0.0) || !std::isfinite(samplesPerWhole)) return false;
  // An absurd tempo can make a whole note shorter than the smallest double.
  const double inc = kTwoPi / static_cast<double>(NoteValueLength(k)) / samplesPerWhole;
  if (!std::isfinite(inc)) return false;
  *increment = inc;
  return true;
}

bool LfoIncrementFromMs(double ms, double sampleRate, double* increment) {
  if (!increment) return false;
  const double inc = kTwoPiThousand / ms / sampleRate;
  if (!std::isfinite(inc)) return false;
  *increment = inc;
  return true;
}

int NearestNoteValue(double q, double samplesPerWhole) {
  // The list is searched in single precision, with the third as 0.33333334.
  const float third = 0.33333334f;
  const double perSample = 1.0 / samplesPerWhole;
  double previous = 0.0;
  for (int k = 0; k < kNumNoteValues; ++k) {
    float x;
    switch (k % 3) {
      case 0:
        x = std::pow(2.0f, static_cast<float>(k) * third);
        break;
      case 1:
        x = std::pow(2.0f, static_cast<float>(k + 2) * third) * (2.0f * third);
        break;
      default:
        x = std::pow(2.0f, static_cast<float>(k - 2) * third) * (3.0f * 0.5f);
        break;
    }
    x *= 0.03125f;
    const double qk = kTwoPi / static_cast<double>(x) * perSample;
    if (qk > q) {
      previous = qk;
      continue;
    }
    // The midpoint between two neighbouring rates belongs to the longer note.
    return qk + previous < 2.0 * q ? k - 1 : k;
  }
  return kNumNoteValues;
}

double MillisecondsForIncrement(double increment, double sampleRate) {
  return kTwoPiThousand / increment / sampleRate;
}

}  // namespace selvarin
