#include "engine/render_kernel.h"

#include "engine/editor_links.h"
#include "engine/lfo_waveforms.h"
#include "engine/tone_waveforms.h"

namespace selvarin {

namespace {

// One LFO's state for the length of a block, kept in locals.
struct LfoLane {
  double phase;
  double increment;
  double squareState;
  double swing;
  double centre;
  int wave;
  int target;
  LfoIndicatorValues* indicator;
};

// The quantities an LFO may drive, kept in locals.
struct Driven {
  double toneAIncrement;
  double toneBIncrement;
  float pan;
  float volume;
};

LfoLane LoadLane(const EngineState& st, int i) {
  return {st.lfoPhase[i], st.lfoIncrement[i], st.lfoSquareState[i], st.lfoSwing[i], st.lfoCentre[i],
          st.lfoWave[i],  st.lfoTarget[i],    st.lfoIndicator[i]};
}

// What an LFO's output o does to the quantity it drives (Target known at
// compile time). The volume is driven only while the block's target v is
// not 0, so a transport stop still fades out.
template <int Target>
inline void ApplyLfoOutputRT(const LfoLane& l, double s, Driven& d, double baseIncrement, double beatIncrement,
                             float v) {
  const double o = l.swing * s + l.centre;
  if constexpr (Target == kTargetBaseFreq) {
    d.toneAIncrement = o;
    if (l.indicator) l.indicator->SetValueRT(static_cast<float>(o));
    d.toneBIncrement = beatIncrement + d.toneAIncrement;
  } else if constexpr (Target == kTargetBinaural) {
    if (l.indicator) l.indicator->SetValueRT(static_cast<float>(o));
    d.toneBIncrement = baseIncrement + o;
  } else if constexpr (Target == kTargetPan) {
    d.pan = static_cast<float>(o);
    if (l.indicator) l.indicator->SetValueRT(d.pan);
  } else if constexpr (Target == kTargetVolume) {
    if (v != 0.0f) {
      d.volume = static_cast<float>(o);
      if (l.indicator) l.indicator->SetValueRT(d.volume);
    }
  }
}

// The same with the target read at run time.
inline void ApplyLfoOutputRT(const LfoLane& l, double s, Driven& d, double baseIncrement, double beatIncrement,
                             float v) {
  switch (l.target) {
    case kTargetBaseFreq: ApplyLfoOutputRT<kTargetBaseFreq>(l, s, d, baseIncrement, beatIncrement, v); break;
    case kTargetBinaural: ApplyLfoOutputRT<kTargetBinaural>(l, s, d, baseIncrement, beatIncrement, v); break;
    case kTargetPan: ApplyLfoOutputRT<kTargetPan>(l, s, d, baseIncrement, beatIncrement, v); break;
    case kTargetVolume: ApplyLfoOutputRT<kTargetVolume>(l, s, d, baseIncrement, beatIncrement, v); break;
    default: break;
  }
}

// The LFO's wave value at its phase; then the phase moves on.
inline double StepLfoWaveRT(LfoLane& l, const SquareSmoothing& sq) {
  const double s = LfoWaveRT(l.wave, l.phase, l.squareState, sq);
  l.phase = AdvancePhaseRT(l.phase, l.increment);
  return s;
}

// The LFO's next m wave values, with the wave chosen once for the run.
template <int Wave>
inline void FillLfoWaveRT(LfoLane& l, const SquareSmoothing& sq, double* out, int m) {
  for (int j = 0; j < m; ++j) {
    out[j] = LfoWaveRT(Wave, l.phase, l.squareState, sq);
    l.phase = AdvancePhaseRT(l.phase, l.increment);
  }
}

inline void FillLfoWaveRT(LfoLane& l, const SquareSmoothing& sq, double* out, int m) {
  switch (l.wave) {
    case kLfoSine: FillLfoWaveRT<kLfoSine>(l, sq, out, m); break;
    case kLfoTriangle: FillLfoWaveRT<kLfoTriangle>(l, sq, out, m); break;
    case kLfoSaw: FillLfoWaveRT<kLfoSaw>(l, sq, out, m); break;
    case kLfoSawFlip: FillLfoWaveRT<kLfoSawFlip>(l, sq, out, m); break;
    case kLfoSquare: FillLfoWaveRT<kLfoSquare>(l, sq, out, m); break;
    case kLfoSineHalf: FillLfoWaveRT<kLfoSineHalf>(l, sq, out, m); break;
    case kLfoHalfFlip: FillLfoWaveRT<kLfoHalfFlip>(l, sq, out, m); break;
    default: FillLfoWaveRT<kNumLfoWaves>(l, sq, out, m); break;  // no such wave: 0
  }
}

// Runs one LFO for one sample: value, phase advance, driven quantity.
inline void RunLfoRT(LfoLane& l, Driven& d, const SquareSmoothing& sq, double baseIncrement, double beatIncrement,
                     float v) {
  const double s = StepLfoWaveRT(l, sq);
  ApplyLfoOutputRT(l, s, d, baseIncrement, beatIncrement, v);
}

// One stereo sample of the two tone values a and b.
template <bool Binaural>
inline void MixRT(double a, double b, float pan, float volume, double* left, double* right) {
  const double V = volume;
  if (Binaural) {
    const double P = pan;
    *left = ((1.0 + P) * a + (1.0 - P) * b) * V * 0.5;
    *right = ((1.0 + P) * b + (1.0 - P) * a) * V * 0.5;
  } else {
    // The sum is not halved: monaural peaks reach twice the volume.
    *left = *right = (a + b) * V;
  }
}

// Block-constant inputs and the loop state, loaded from and stored back to
// the engine state around a block.
struct LoopState {
  GoldenShape golden;
  SquareSmoothing sq;
  bool lfo1, lfo2;
  LfoLane l1, l2;
  Driven d;
  double phaseA, phaseB;
  double baseIncrement, beatIncrement;

  explicit LoopState(const EngineState& st)
      : golden{st.goldenSplit, st.goldenA, st.goldenB, st.goldenC},
        sq{st.squareInputWeight, st.squareFeedbackWeight},
        lfo1(st.lfoActive[0]),
        lfo2(st.lfoActive[1]),
        l1(LoadLane(st, 0)),
        l2(LoadLane(st, 1)),
        d{st.toneAIncrement, st.toneBIncrement, st.pan, st.volume},
        phaseA(st.toneAPhase),
        phaseB(st.toneBPhase),
        baseIncrement(st.baseIncrement),
        beatIncrement(st.beatIncrement) {}

  void Store(EngineState& st) const {
    st.toneAPhase = phaseA;
    st.toneBPhase = phaseB;
    st.toneAIncrement = d.toneAIncrement;
    st.toneBIncrement = d.toneBIncrement;
    st.pan = d.pan;
    st.volume = d.volume;
    st.lfoPhase[0] = l1.phase;
    st.lfoPhase[1] = l2.phase;
    st.lfoSquareState[0] = l1.squareState;
    st.lfoSquareState[1] = l2.squareState;
  }
};

// The sample loop in its plain form: every step of a sample before the
// next sample, with the silence test per sample.
template <int Wave, bool Binaural>
void RenderFusedRT(EngineState& st, const BlockRamps& rp, const BlockIO& io, int n) {
  LoopState k(st);
  const float v = rp.v;
  const bool vAudible = v > kAudibleThreshold;
  const bool passThrough = io.inL && io.inR;

  for (int i = 0; i < n; ++i) {
    if (!(vAudible || k.d.volume > kAudibleThreshold)) {
      // Silent: exact zeros (or the input); LFOs and tones pause.
      io.outL[i] = passThrough ? io.inL[i] : 0.0;
      io.outR[i] = passThrough ? io.inR[i] : 0.0;
      continue;
    }
    if (k.lfo1) RunLfoRT(k.l1, k.d, k.sq, k.baseIncrement, k.beatIncrement, v);
    if (k.lfo2) RunLfoRT(k.l2, k.d, k.sq, k.baseIncrement, k.beatIncrement, v);
    k.d.volume += rp.volumeStep;
    k.d.toneAIncrement += rp.stepA;
    k.d.toneBIncrement += rp.stepB;
    k.d.pan += rp.panStep;

    const double a = ToneWaveRT<Wave>(k.phaseA, k.golden);
    const double b = ToneWaveRT<Wave>(k.phaseB, k.golden);
    double left, right;
    MixRT<Binaural>(a, b, k.d.pan, k.d.volume, &left, &right);
    if (passThrough) {
      left += io.inL[i];
      right += io.inR[i];
    }
    io.outL[i] = left;
    io.outR[i] = right;

    k.phaseA = AdvancePhaseRT(k.phaseA, k.d.toneAIncrement);
    k.phaseB = AdvancePhaseRT(k.phaseB, k.d.toneBIncrement);
  }
  k.Store(st);
}

// The per-sample recurrences of a run of m sounding samples, for LFOs
// driving targets T1 and T2 (kTargetNone: the LFO does not run): the LFO
// outputs, the ramps and the tone phases, recording what the waveform and
// mix stages need.
template <int T1, int T2>
void RecurrencesRT(LoopState& state, const BlockRamps& ramps, float v, int m, const double* lfoValue1,
                   const double* lfoValue2, double* phaseA, double* phaseB, float* pan, float* volume) {
  // Local copies: the recorded arrays cannot alias them, so they stay in registers.
  LoopState k = state;
  const BlockRamps rp = ramps;
  for (int j = 0; j < m; ++j) {
    if (T1 != kTargetNone) ApplyLfoOutputRT<T1>(k.l1, lfoValue1[j], k.d, k.baseIncrement, k.beatIncrement, v);
    if (T2 != kTargetNone) ApplyLfoOutputRT<T2>(k.l2, lfoValue2[j], k.d, k.baseIncrement, k.beatIncrement, v);
    k.d.volume += rp.volumeStep;
    k.d.toneAIncrement += rp.stepA;
    k.d.toneBIncrement += rp.stepB;
    k.d.pan += rp.panStep;
    phaseA[j] = k.phaseA;
    phaseB[j] = k.phaseB;
    pan[j] = k.d.pan;
    volume[j] = k.d.volume;
    k.phaseA = AdvancePhaseRT(k.phaseA, k.d.toneAIncrement);
    k.phaseB = AdvancePhaseRT(k.phaseB, k.d.toneBIncrement);
  }
  state = k;
}

using RecurrencesFn = void (*)(LoopState&, const BlockRamps&, float, int, const double*, const double*, double*,
                               double*, float*, float*);

template <int T1>
RecurrencesFn PickRecurrences(int t2) {
  switch (t2) {
    case kTargetBaseFreq: return RecurrencesRT<T1, kTargetBaseFreq>;
    case kTargetBinaural: return RecurrencesRT<T1, kTargetBinaural>;
    case kTargetPan: return RecurrencesRT<T1, kTargetPan>;
    case kTargetVolume: return RecurrencesRT<T1, kTargetVolume>;
    default: return RecurrencesRT<T1, kTargetNone>;
  }
}

// The target a running LFO drives; kTargetNone for a paused LFO or one
// whose output drives nothing.
int DrivenTarget(bool active, int target) {
  return active && target > kTargetNone && target < kNumLfoTargets ? target : kTargetNone;
}

RecurrencesFn PickRecurrences(const LoopState& k) {
  const int t2 = DrivenTarget(k.lfo2, k.l2.target);
  switch (DrivenTarget(k.lfo1, k.l1.target)) {
    case kTargetBaseFreq: return PickRecurrences<kTargetBaseFreq>(t2);
    case kTargetBinaural: return PickRecurrences<kTargetBinaural>(t2);
    case kTargetPan: return PickRecurrences<kTargetPan>(t2);
    case kTargetVolume: return PickRecurrences<kTargetVolume>(t2);
    default: return PickRecurrences<kTargetNone>(t2);
  }
}

// The same loop when every sample sounds (the block's volume target is
// audible), in stages over short runs of samples: the LFO waves, then the
// per-sample recurrences (LFO outputs, ramps, phases), then the tone
// waveforms, then the mix. Each stage repeats exactly the operations of the
// plain loop in the same order, so the samples are identical; the stages
// keep the calls of sin and cos in tight loops with little else live.
template <int Wave, bool Binaural>
void RenderStagedRT(EngineState& st, const BlockRamps& rp, const BlockIO& io, int n) {
  constexpr int kRun = 64;
  LoopState k(st);
  const float v = rp.v;
  const bool passThrough = io.inL && io.inR;
  double lfoValue1[kRun], lfoValue2[kRun];
  double phaseA[kRun], phaseB[kRun];
  double waveA[kRun], waveB[kRun];
  float pan[kRun], volume[kRun];
  const RecurrencesFn recurrences = PickRecurrences(k);

  for (int start = 0; start < n; start += kRun) {
    const int m = n - start < kRun ? n - start : kRun;
    if (k.lfo1) FillLfoWaveRT(k.l1, k.sq, lfoValue1, m);
    if (k.lfo2) FillLfoWaveRT(k.l2, k.sq, lfoValue2, m);

    recurrences(k, rp, v, m, lfoValue1, lfoValue2, phaseA, phaseB, pan, volume);

    for (int j = 0; j < m; ++j) waveA[j] = ToneWaveRT<Wave>(phaseA[j], k.golden);
    for (int j = 0; j < m; ++j) waveB[j] = ToneWaveRT<Wave>(phaseB[j], k.golden);

    double* const outL = io.outL + start;
    double* const outR = io.outR + start;
    if (passThrough) {
      const double* const inL = io.inL + start;
      const double* const inR = io.inR + start;
      for (int j = 0; j < m; ++j) {
        double left, right;
        MixRT<Binaural>(waveA[j], waveB[j], pan[j], volume[j], &left, &right);
        outL[j] = left + inL[j];  // the input may share the output's buffer
        outR[j] = right + inR[j];
      }
    } else {
      for (int j = 0; j < m; ++j) MixRT<Binaural>(waveA[j], waveB[j], pan[j], volume[j], &outL[j], &outR[j]);
    }
  }
  k.Store(st);
}

using LoopFn = void (*)(EngineState&, const BlockRamps&, const BlockIO&, int);

template <int Wave>
LoopFn PickLoop(bool binaural, bool staged) {
  if (binaural) return staged ? RenderStagedRT<Wave, true> : RenderFusedRT<Wave, true>;
  return staged ? RenderStagedRT<Wave, false> : RenderFusedRT<Wave, false>;
}

LoopFn PickLoop(int waveform, bool binaural, bool staged) {
  switch (waveform) {
    case kToneSine: return PickLoop<kToneSine>(binaural, staged);
    case kToneTriangle: return PickLoop<kToneTriangle>(binaural, staged);
    case kToneSaw: return PickLoop<kToneSaw>(binaural, staged);
    case kToneSquare: return PickLoop<kToneSquare>(binaural, staged);
    case kToneGoldenSine: return PickLoop<kToneGoldenSine>(binaural, staged);
    case kToneSineHalf: return PickLoop<kToneSineHalf>(binaural, staged);
    case kToneGoldenTriangle: return PickLoop<kToneGoldenTriangle>(binaural, staged);
    default: return PickLoop<kToneGoldenSquare>(binaural, staged);
  }
}

}  // namespace

void RenderSamplesRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  if (n <= 0 || !io.outL || !io.outR) return;
  const bool everySampleSounds = ramps.v > kAudibleThreshold;
  PickLoop(st.waveform, st.binauralMode, everySampleSounds)(st, ramps, io, n);
}

void RenderSamplesOneByOneRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  if (n <= 0 || !io.outL || !io.outR) return;
  PickLoop(st.waveform, st.binauralMode, false)(st, ramps, io, n);
}

}  // namespace selvarin
