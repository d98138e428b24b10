#pragma once
// The tone engine's state, in the order the plug-in keeps it. Per-LFO fields
// are pairs: element 0 is LFO1, element 1 is LFO2.
#include <array>
#include <cstdint>

#include "engine/engine_math.h"
#include "engine/lfo_step_table.h"
#include "engine/param_ids.h"

namespace selvarin {

struct LfoIndicatorValues;
class BandLabelSlot;

// The pattern that fills `lastApplied` at construction (every byte 155); no
// parameter rounds to it, so the first application of each one takes effect.
constexpr int32_t kNeverApplied = -1684300901;  // 0x9B9B9B9B
// Written into `lastApplied` to force the next application.
constexpr int32_t kForceReapply = -1;

// Weights of the smoothed square LFO (a one-pole low-pass of the raw
// square). The input weight is 0.00999999f (bits 0x3C23D700), not 0.01f:
// with the 0.99f feedback the two single-precision values add up to exactly
// 1, so the output settles at +-1 and never overshoots it (0.01f would make
// the sum 1 + 9.3e-9).
constexpr float kSquareInputWeight = 0.00999999f;
constexpr float kSquareFeedbackWeight = 0.99f;
constexpr float kGoldenFraction = 0.618f;

struct EngineState {
  std::array<int32_t, kNumParams> lastApplied{};  // rounded value last applied, per parameter
  double lfoIncrement[kNumLfos] = {0.0, 0.0};     // radians per sample
  double lfoPhase[kNumLfos] = {0.0, 0.0};         // radians, [0, 2 pi)
  double lfoSquareState[kNumLfos] = {0.0, 0.0};   // smoothed "Square" output
  int16_t lfoTarget[kNumLfos] = {0, 0};
  int16_t lfoTargetParam[kNumLfos] = {-1, -1};
  int16_t lfoWave[kNumLfos] = {0, 0};
  float lfoCentre[kNumLfos] = {0.0f, 0.0f};  // in the target's units
  float lfoSwing[kNumLfos] = {0.0f, 0.0f};   // half the peak-to-peak swing
  float lfoDepth[kNumLfos] = {0.0f, 0.0f};   // 0 .. 1
  float lfoStart[kNumLfos] = {0.0f, 0.0f};   // fraction of a cycle
  bool lfoActive[kNumLfos] = {false, false};
  bool lfoSynced[kNumLfos] = {true, true};  // note values (true) or milliseconds
  double sampleRate = 0.0;       // rate the increments were derived for
  double samplesPerWhole = 0.0;  // four beats, 0 without a tempo
  uint32_t fadeSamples = 0;      // glide length
  int32_t waveform = 0;
  uint32_t lastBlockClock = 0;  // ms clock at the previous block's start
  float panTarget = 0.0f;       // -1 .. 1
  float volumeTarget = 0.0f;    // linear gain
  float volume = 0.0f;          // gain in effect
  float pan = 0.0f;             // pan in effect
  float goldenFraction = kGoldenFraction;
  double toneAIncrementTarget = 0.0;
  double toneAIncrement = 0.0;
  double toneBIncrementTarget = 0.0;
  double toneBIncrement = 0.0;
  double toneAPhase = 0.0;
  double toneBPhase = 0.0;
  double baseIncrement = 0.0;  // "Base Freq" alone, never modulated
  double beatIncrement = 0.0;  // "Binaural" alone, never modulated
  // The float fraction times 2 pi, in double: 3.8830083370775546.
  double goldenSplit = static_cast<double>(kGoldenFraction) * kTwoPi;
  double goldenA = 0.0;
  double goldenB = 0.0;
  double goldenC = 0.0;
  float squareInputWeight = 0.0f;
  float squareFeedbackWeight = 0.0f;
  float baseHz = 0.0f;
  float beatHz = 0.0f;
  bool started = false;
  bool binauralMode = false;
  bool playAnyway = false;
  bool lfosSyncLatch = false;
  bool syncClickedInEditor = false;  // the editor's Sync buttons point here
  bool inputPassThrough = false;
  bool rephasePending = false;
  bool referenceTrig = false;  // render with the C library's sin and cos (tests compare against it)
  LfoIndicatorValues* lfoIndicator[kNumLfos] = {nullptr, nullptr};
  BandLabelSlot* bandLabel = nullptr;
  LfoStepTable lfoStepTable[kNumLfos];  // the render loop's cache, a function of its step alone
};

// Which parameters have been applied at least once; opens the base's
// ready-to-render flag when all have.
struct ParamCensus {
  int remaining = kNumParams;
  bool applied[kNumParams] = {};
};

}  // namespace selvarin
