#pragma once
// Parameter indices of the tone engine. The index is also the host-visible
// parameter identifier, so the numbers never change.

namespace selvarin {

enum ParamId : int {
  kParamBaseFreq = 0,
  kParamBinaural = 1,
  kParamWave = 2,
  kParamPan = 3,
  kParamBeats = 4,
  kParamPlayAnyway = 5,
  kParamFade = 6,
  kParamVolume = 7,
  kParamLfo1Target = 8,
  kParamLfo1Wave = 9,
  kParamLfo1Sync = 10,
  kParamLfo1RateNote = 11,
  kParamLfo1RateMs = 12,
  kParamLfo1Depth = 13,
  kParamLfo1Start = 14,
  kParamLfo2Target = 15,
  kParamLfo2Wave = 16,
  kParamLfo2Sync = 17,
  kParamLfo2RateNote = 18,
  kParamLfo2RateMs = 19,
  kParamLfo2Depth = 20,
  kParamLfo2Start = 21,
  kParamLfosSync = 22,
  kNumParams = 23,
};

// Roles of one LFO's seven parameters, as offsets from its first parameter.
enum LfoRole : int {
  kLfoRoleTarget = 0,
  kLfoRoleWave = 1,
  kLfoRoleSync = 2,
  kLfoRoleRateNote = 3,
  kLfoRoleRateMs = 4,
  kLfoRoleDepth = 5,
  kLfoRoleStart = 6,
};

constexpr int kNumLfos = 2;
constexpr int kLfoFirstParam[kNumLfos] = {kParamLfo1Target, kParamLfo2Target};

constexpr int LfoParam(int lfo, LfoRole role) { return kLfoFirstParam[lfo] + role; }

// "LFO Target" entries.
enum LfoTargetEntry : int {
  kTargetNone = 0,
  kTargetBaseFreq = 1,
  kTargetBinaural = 2,
  kTargetPan = 3,
  kTargetVolume = 4,
  kNumLfoTargets = 5,
};

// "Wave" entries of the tone.
enum ToneWaveEntry : int {
  kToneSine = 0,
  kToneTriangle = 1,
  kToneSaw = 2,
  kToneSquare = 3,
  kToneGoldenSine = 4,
  kToneSineHalf = 5,
  kToneGoldenTriangle = 6,
  kToneGoldenSquare = 7,
  kNumToneWaves = 8,
};

// "LFO Wave" entries.
enum LfoWaveEntry : int {
  kLfoSine = 0,
  kLfoTriangle = 1,
  kLfoSaw = 2,
  kLfoSawFlip = 3,
  kLfoSquare = 4,
  kLfoSineHalf = 5,
  kLfoHalfFlip = 6,
  kNumLfoWaves = 7,
};

constexpr int kNumNoteValues = 31;

}  // namespace selvarin
