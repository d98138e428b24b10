#pragma once
// Cosine minus one and sine of the multiples of one small angle step: a
// sine-type LFO whose argument grows by that exact step per sample takes
// its values from them, sin(a + j step) = sin a + (sin a (cos(j step) - 1)
// + cos a sin(j step)). Kept with the engine's state and rebuilt only when
// the step changes.

namespace selvarin {

constexpr int kLfoStepTableLength = 128;

struct LfoStepTable {
  double step = -1.0;  // negative: not built
  double cosineMinusOne[kLfoStepTableLength] = {};
  double sine[kLfoStepTableLength] = {};
};

}  // namespace selvarin
