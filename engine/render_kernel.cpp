#include "engine/render_kernel.h"

#include <type_traits>

#include "engine/editor_links.h"
#include "engine/lfo_wave_runs.h"
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
template <class Trig>
inline double StepLfoWaveRT(LfoLane& l, const SquareSmoothing& sq) {
  const double s = LfoWaveRT<Trig>(l.wave, l.phase, l.squareState, sq);
  l.phase = AdvancePhaseRT(l.phase, l.increment);
  return s;
}

// The LFO's next m wave values, with the wave chosen once for the run
// (waves that do not call sin).
template <int Wave>
inline void FillLfoWaveRT(LfoLane& l, const SquareSmoothing& sq, double* out, int m) {
  for (int j = 0; j < m; ++j) {
    out[j] = LfoWaveRT<FastTrig>(Wave, l.phase, l.squareState, sq);
    l.phase = AdvancePhaseRT(l.phase, l.increment);
  }
}

inline void FillLfoWaveRT(LfoLane& l, const SquareSmoothing& sq, double* out, int m) {
  switch (l.wave) {
    case kLfoTriangle: FillLfoWaveRT<kLfoTriangle>(l, sq, out, m); break;
    case kLfoSaw: FillLfoWaveRT<kLfoSaw>(l, sq, out, m); break;
    case kLfoSawFlip: FillLfoWaveRT<kLfoSawFlip>(l, sq, out, m); break;
    case kLfoSquare: FillLfoWaveRT<kLfoSquare>(l, sq, out, m); break;
    default: FillLfoWaveRT<kNumLfoWaves>(l, sq, out, m); break;  // no such wave: 0
  }
}

// Records the LFO's next m phases and moves it on.
inline void RecordLfoPhasesRT(LfoLane& l, double* phase, int m) {
  double p = l.phase;
  for (int j = 0; j < m; ++j) {
    phase[j] = p;
    p = AdvancePhaseRT(p, l.increment);
  }
  l.phase = p;
}

// The same for both LFOs in one loop, so the two chains of additions run
// side by side.
inline void RecordLfoPhasesRT(LfoLane& l1, double* phase1, LfoLane& l2, double* phase2, int m) {
  double p1 = l1.phase, p2 = l2.phase;
  for (int j = 0; j < m; ++j) {
    phase1[j] = p1;
    phase2[j] = p2;
    p1 = AdvancePhaseRT(p1, l1.increment);
    p2 = AdvancePhaseRT(p2, l2.increment);
  }
  l1.phase = p1;
  l2.phase = p2;
}

// Runs one LFO for one sample: value, phase advance, driven quantity.
template <class Trig>
inline void RunLfoRT(LfoLane& l, Driven& d, const SquareSmoothing& sq, double baseIncrement, double beatIncrement,
                     float v) {
  const double s = StepLfoWaveRT<Trig>(l, sq);
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

// Both tone values of one sample; with FastTrig the waveforms that use sin
// or cos take both phases in one pair.
template <int Wave, class Trig>
inline void ToneWavesRT(double phiA, double phiB, const GoldenShape& g, double* a, double* b) {
  if constexpr (std::is_same_v<Trig, FastTrig> && ToneWaveUsesTrig(Wave)) {
    const simd::Pair w = ToneWavePairRT<Wave>(simd::Set(phiA, phiB), g);
    *a = simd::Low(w);
    *b = simd::High(w);
  } else {
    *a = ToneWaveRT<Wave, Trig>(phiA, g);
    *b = ToneWaveRT<Wave, Trig>(phiB, g);
  }
}

// MixRT for two samples side by side, with the same operations in the same
// order in each lane.
template <bool Binaural>
inline void MixPairRT(simd::Pair a, simd::Pair b, simd::Pair pan, simd::Pair volume, simd::Pair* left,
                      simd::Pair* right) {
  using simd::Splat;
  if (Binaural) {
    const simd::Pair onePlus = Splat(1.0) + pan;
    const simd::Pair oneMinus = Splat(1.0) - pan;
    *left = (onePlus * a + oneMinus * b) * volume * Splat(0.5);
    *right = (onePlus * b + oneMinus * a) * volume * Splat(0.5);
  } else {
    *left = *right = (a + b) * volume;
  }
}

// The tone values of m recorded phases (staged loop).
template <int Wave>
inline void FillToneWaveRT(const double* phase, const GoldenShape& g, double* out, int m) {
  if constexpr (ToneWaveUsesTrig(Wave)) {
    int j = 0;
    for (; j + 1 < m; j += 2) simd::Store(out + j, ToneWavePairRT<Wave>(simd::Load(phase + j), g));
    if (j < m) out[j] = simd::Low(ToneWavePairRT<Wave>(simd::Splat(phase[j]), g));
  } else {
    for (int j = 0; j < m; ++j) out[j] = ToneWaveRT<Wave, FastTrig>(phase[j], g);
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
// next sample, with the silence test per sample. With LibmTrig it is the
// reference the faster forms are measured against.
template <int Wave, bool Binaural, class Trig>
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
    if (k.lfo1) RunLfoRT<Trig>(k.l1, k.d, k.sq, k.baseIncrement, k.beatIncrement, v);
    if (k.lfo2) RunLfoRT<Trig>(k.l2, k.d, k.sq, k.baseIncrement, k.beatIncrement, v);
    k.d.volume += rp.volumeStep;
    k.d.toneAIncrement += rp.stepA;
    k.d.toneBIncrement += rp.stepB;
    k.d.pan += rp.panStep;

    double a, b;
    ToneWavesRT<Wave, Trig>(k.phaseA, k.phaseB, k.golden, &a, &b);
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

// Tone values and mix of m recorded samples, two at a time, for the
// waveforms that use sin or cos, from the recorded tone phases.
// InCycle: every phase lies within the cycle.
template <int Wave, bool Binaural, bool InCycle>
inline void MixTrigWavesRT(const double* phaseA, const double* phaseB, const GoldenShape& g, const float* pan,
                           const float* volume, double* outL, double* outR, int m) {
  if constexpr (ToneWaveUsesTrig(Wave)) {
    const auto wave = [&g](simd::Pair phi) {
      return InCycle ? ToneWaveInCyclePairRT<Wave>(phi, g) : ToneWavePairRT<Wave>(phi, g);
    };
    simd::Pair left, right;
    int j = 0;
    for (; j + 1 < m; j += 2) {
      const simd::Pair a = wave(simd::Load(phaseA + j));
      const simd::Pair b = wave(simd::Load(phaseB + j));
      MixPairRT<Binaural>(a, b, simd::LoadFloats(pan + j), simd::LoadFloats(volume + j), &left, &right);
      simd::Store(outL + j, left);
      simd::Store(outR + j, right);
    }
    if (j < m) {  // an odd last sample: tone A and tone B in one pair
      const simd::Pair w = wave(simd::Set(phaseA[j], phaseB[j]));
      const simd::Pair a = simd::Splat(simd::Low(w));
      const simd::Pair b = simd::Splat(simd::High(w));
      MixPairRT<Binaural>(a, b, simd::Splat(pan[j]), simd::Splat(volume[j]), &left, &right);
      simd::StoreLow(outL + j, left);
      simd::StoreLow(outR + j, right);
    }
  }
}

// The staged loop works through runs of up to kRun samples; what its
// stages hand each other for one run.
constexpr int kRun = 128;
static_assert(kRun <= kLfoStepTableLength, "a run's LFO steps fit the table");
struct RunArrays {
  double lfoValue1[kRun], lfoValue2[kRun];  // wave values, then the LFO outputs
  double lfoPhase1[kRun], lfoPhase2[kRun];  // phases of the sine-type LFOs
  double incA[kRun], incB[kRun];            // tone increments an LFO drives
  double phaseA[kRun], phaseB[kRun];        // tone phases
  float pan[kRun], volume[kRun];
};

// The sine-type LFOs whose phases the recurrences record, for how many
// samples of the next run. A sine-type LFO whose phases grow by a fixed
// step over the whole block (step >= 0, see LfoLinearStepRT) is not
// recorded: its phases are computed run by run.
struct LfoRecording {
  bool lfo1 = false;
  bool lfo2 = false;
  int m = 0;
  double step1 = -1.0;
  double step2 = -1.0;
};

// Records the first run's phases of the sine-type LFOs (later runs' are
// recorded by the recurrences of the run before).
inline void RecordFirstLfoPhasesRT(LoopState& k, RunArrays& a, const LfoRecording& rec) {
  if (rec.lfo1 && rec.lfo2) {
    RecordLfoPhasesRT(k.l1, a.lfoPhase1, k.l2, a.lfoPhase2, rec.m);
  } else {
    if (rec.lfo1) RecordLfoPhasesRT(k.l1, a.lfoPhase1, rec.m);
    if (rec.lfo2) RecordLfoPhasesRT(k.l2, a.lfoPhase2, rec.m);
  }
}

// The run's m values of each running LFO: the sine-type waves two at a
// time, from their recorded phases or by their fixed step; the others
// sample by sample.
inline void FillLfoWavesRT(LoopState& k, RunArrays& a, const LfoRecording& sines, int m, LfoStepTable* tables) {
  const bool linear1 = sines.step1 >= 0.0, linear2 = sines.step2 >= 0.0;
  if (k.lfo1 && !sines.lfo1 && !linear1) FillLfoWaveRT(k.l1, k.sq, a.lfoValue1, m);
  if (k.lfo2 && !sines.lfo2 && !linear2) FillLfoWaveRT(k.l2, k.sq, a.lfoValue2, m);
  if (linear1) LfoSinLinearValuesRT(k.l1.wave, k.l1.phase, sines.step1, tables[0], a.lfoValue1, m, k.l1.increment);
  if (linear2) LfoSinLinearValuesRT(k.l2.wave, k.l2.phase, sines.step2, tables[1], a.lfoValue2, m, k.l2.increment);
  if (sines.lfo1) LfoSinWaveValuesRT(k.l1.wave, a.lfoPhase1, a.lfoValue1, m, k.l1.increment);
  if (sines.lfo2) LfoSinWaveValuesRT(k.l2.wave, a.lfoPhase2, a.lfoValue2, m, k.l2.increment);
}

// What LFOs driving targets T1 and T2 (kTargetNone: nothing) overwrite in
// every sample. Within a sample LFO1 writes before LFO2, so where both
// write tone B's increment, LFO2's value stands.
template <int T1, int T2>
struct DrivenBy {
  static constexpr bool kIncA = T1 == kTargetBaseFreq || T2 == kTargetBaseFreq;
  static constexpr int kIncBLfo = (T2 == kTargetBaseFreq || T2 == kTargetBinaural)   ? 2
                                  : (T1 == kTargetBaseFreq || T1 == kTargetBinaural) ? 1
                                                                                      : 0;
  static constexpr int kIncBTarget = kIncBLfo == 2 ? T2 : T1;
  static constexpr bool kPan = T1 == kTargetPan || T2 == kTargetPan;
  static constexpr bool kVolume = T1 == kTargetVolume || T2 == kTargetVolume;
};

// The output o = swing x s + centre of an LFO, two samples at a time.
struct LfoOutputPair {
  simd::Pair swing, centre;
  explicit LfoOutputPair(const LfoLane& l) : swing(simd::Splat(l.swing)), centre(simd::Splat(l.centre)) {}
  SELVARIN_FORCE_INLINE simd::Pair operator()(simd::Pair s) const { return swing * s + centre; }
};

// The LFO's indicator shows its last output of the run.
inline void ShowLastOutputRT(const LfoLane& l, const double* value, int m) {
  if (l.indicator) l.indicator->SetValueRT(static_cast<float>(l.swing * value[m - 1] + l.centre));
}

// The per-sample work of a run of m sounding samples, for LFOs driving
// targets T1 and T2 (kTargetNone: the LFO does not run or drives nothing),
// in the order of the plain loop but split by what depends on the sample
// before. First, two at a time, what the LFOs overwrite in each sample:
// the driven quantities from the LFO outputs, after the ramp step. Then,
// one sample at a time, the chains: ramps of the quantities no LFO drives
// and the tone phases, recorded for the waveform stage; beside them (with
// Record) the phases of the sine-type LFOs for the next run (rec; rec.m is
// at most m).
template <int T1, int T2, bool Record>
void RecurrencesRT(LoopState& state, const BlockRamps& ramps, int m, RunArrays& a, const LfoRecording& rec) {
  using Driven = DrivenBy<T1, T2>;
  using simd::Pair;
  using simd::Splat;
  const BlockRamps rp = ramps;
  if constexpr (T1 != kTargetNone || T2 != kTargetNone) {
    const LfoOutputPair out1(state.l1), out2(state.l2);
    const Pair stepA = Splat(rp.stepA), stepB = Splat(rp.stepB);
    const Pair under = Splat(Driven::kIncBTarget == kTargetBinaural ? state.baseIncrement : state.beatIncrement);
    // The samples j and j + 1 (the second only if `both`).
    const auto drive = [&](int j, Pair s1, Pair s2, bool both) {
      const Pair o1 = out1(s1), o2 = out2(s2);
      const auto store = [both](double* p, Pair x) { both ? simd::Store(p, x) : simd::StoreLow(p, x); };
      const auto storeFloats = [both](float* p, Pair x, float step) {
        both ? simd::StoreFloatsPlus(p, x, step) : void(*p = static_cast<float>(simd::Low(x)) + step);
      };
      if constexpr (Driven::kIncA) store(a.incA + j, (T2 == kTargetBaseFreq ? o2 : o1) + stepA);
      if constexpr (Driven::kIncBLfo != 0) store(a.incB + j, (under + (Driven::kIncBLfo == 1 ? o1 : o2)) + stepB);
      if constexpr (Driven::kPan) storeFloats(a.pan + j, T2 == kTargetPan ? o2 : o1, rp.panStep);
      if constexpr (Driven::kVolume) storeFloats(a.volume + j, T2 == kTargetVolume ? o2 : o1, rp.volumeStep);
    };
    // An LFO that drives nothing has no values to read.
    const auto load = [m](bool runs, const double* value, int j) {
      return !runs ? Splat(0.0) : j + 1 < m ? simd::Load(value + j) : Splat(value[j]);
    };
    int j = 0;
    for (; j + 1 < m; j += 2)
      drive(j, load(T1 != kTargetNone, a.lfoValue1, j), load(T2 != kTargetNone, a.lfoValue2, j), true);
    if (j < m) drive(j, load(T1 != kTargetNone, a.lfoValue1, j), load(T2 != kTargetNone, a.lfoValue2, j), false);
  }
  if constexpr (T1 != kTargetNone) ShowLastOutputRT(state.l1, a.lfoValue1, m);
  if constexpr (T2 != kTargetNone) ShowLastOutputRT(state.l2, a.lfoValue2, m);

  // Local copies: the recorded arrays cannot alias them, so they stay in registers.
  double incA = state.d.toneAIncrement, incB = state.d.toneBIncrement;
  float pan = state.d.pan, volume = state.d.volume;
  double phaseA = state.phaseA, phaseB = state.phaseB;
  const bool record1 = rec.lfo1, record2 = rec.lfo2;
  const int mNext = rec.m;
  double lfoPhase1 = state.l1.phase, lfoPhase2 = state.l2.phase;
  const double lfoIncrement1 = state.l1.increment, lfoIncrement2 = state.l2.increment;
  for (int j = 0; j < m; ++j) {
    if constexpr (!Driven::kVolume) a.volume[j] = volume = volume + rp.volumeStep;
    if constexpr (Driven::kIncA) incA = a.incA[j];
    else incA += rp.stepA;
    if constexpr (Driven::kIncBLfo != 0) incB = a.incB[j];
    else incB += rp.stepB;
    if constexpr (!Driven::kPan) a.pan[j] = pan = pan + rp.panStep;
    a.phaseA[j] = phaseA;
    a.phaseB[j] = phaseB;
    phaseA = AdvancePhaseRT(phaseA, incA);
    phaseB = AdvancePhaseRT(phaseB, incB);
    if (Record && j < mNext) {
      if (record1) {
        a.lfoPhase1[j] = lfoPhase1;
        lfoPhase1 = AdvancePhaseRT(lfoPhase1, lfoIncrement1);
      }
      if (record2) {
        a.lfoPhase2[j] = lfoPhase2;
        lfoPhase2 = AdvancePhaseRT(lfoPhase2, lfoIncrement2);
      }
    }
  }
  state.l1.phase = lfoPhase1;
  state.l2.phase = lfoPhase2;
  state.phaseA = phaseA;
  state.phaseB = phaseB;
  state.d.toneAIncrement = incA;
  state.d.toneBIncrement = incB;
  state.d.pan = Driven::kPan ? a.pan[m - 1] : pan;
  state.d.volume = Driven::kVolume ? a.volume[m - 1] : volume;
}

using RecurrencesFn = void (*)(LoopState&, const BlockRamps&, int, RunArrays&, const LfoRecording&);

template <int T1, bool Record>
RecurrencesFn PickRecurrences(int t2) {
  switch (t2) {
    case kTargetBaseFreq: return RecurrencesRT<T1, kTargetBaseFreq, Record>;
    case kTargetBinaural: return RecurrencesRT<T1, kTargetBinaural, Record>;
    case kTargetPan: return RecurrencesRT<T1, kTargetPan, Record>;
    case kTargetVolume: return RecurrencesRT<T1, kTargetVolume, Record>;
    default: return RecurrencesRT<T1, kTargetNone, Record>;
  }
}

// The target a running LFO drives; kTargetNone for a paused LFO or one
// whose output drives nothing (also the volume while the block's target v
// is 0, so that a transport stop still fades out).
int DrivenTarget(bool active, int target, float v) {
  if (target == kTargetVolume && v == 0.0f) return kTargetNone;
  return active && target > kTargetNone && target < kNumLfoTargets ? target : kTargetNone;
}

template <bool Record>
RecurrencesFn PickRecurrences(const LoopState& k, float v) {
  const int t2 = DrivenTarget(k.lfo2, k.l2.target, v);
  switch (DrivenTarget(k.lfo1, k.l1.target, v)) {
    case kTargetBaseFreq: return PickRecurrences<kTargetBaseFreq, Record>(t2);
    case kTargetBinaural: return PickRecurrences<kTargetBinaural, Record>(t2);
    case kTargetPan: return PickRecurrences<kTargetPan, Record>(t2);
    case kTargetVolume: return PickRecurrences<kTargetVolume, Record>(t2);
    default: return PickRecurrences<kTargetNone, Record>(t2);
  }
}

// Record: whether any LFO's phases are recorded for the next run.
RecurrencesFn PickRecurrences(const LoopState& k, float v, bool record) {
  return record ? PickRecurrences<true>(k, v) : PickRecurrences<false>(k, v);
}

// The same loop when every sample sounds (the block's volume target is
// audible), in stages over short runs of samples: the LFO waves, then the
// per-sample recurrences (LFO outputs, ramps, phases), then the tone
// waveforms with the mix. Each stage repeats exactly the operations of the
// plain loop in the same order, so the samples are identical; sin and cos
// are evaluated two samples at a time.
template <int Wave, bool Binaural>
void RenderStagedRT(EngineState& st, const BlockRamps& rp, const BlockIO& io, int n) {
  LoopState k(st);
  const float v = rp.v;
  const bool passThrough = io.inL && io.inR;
  RunArrays a;
  // The trig waveforms are mixed two samples at a time straight from the
  // phases, unless the input is added.
  const bool pairPath = ToneWaveUsesTrig(Wave) && !passThrough;

  LfoRecording sines;
  if (k.lfo1 && LfoWaveUsesTrig(k.l1.wave)) sines.step1 = LfoLinearStepRT(k.l1.phase, k.l1.increment, n);
  if (k.lfo2 && LfoWaveUsesTrig(k.l2.wave)) sines.step2 = LfoLinearStepRT(k.l2.phase, k.l2.increment, n);
  sines.lfo1 = k.lfo1 && LfoWaveUsesTrig(k.l1.wave) && sines.step1 < 0.0;
  sines.lfo2 = k.lfo2 && LfoWaveUsesTrig(k.l2.wave) && sines.step2 < 0.0;
  const RecurrencesFn recurrences = PickRecurrences(k, v, sines.lfo1 || sines.lfo2);
  sines.m = n < kRun ? n : kRun;
  RecordFirstLfoPhasesRT(k, a, sines);

  for (int start = 0; start < n; start += kRun) {
    const int m = n - start < kRun ? n - start : kRun;
    FillLfoWavesRT(k, a, sines, m, st.lfoStepTable);
    const int rest = n - start - m;
    sines.m = rest < kRun ? rest : kRun;  // the next run's length
    recurrences(k, rp, m, a, sines);

    double* const outL = io.outL + start;
    double* const outR = io.outR + start;
    if (!pairPath) {
      double waveA[kRun], waveB[kRun];
      FillToneWaveRT<Wave>(a.phaseA, k.golden, waveA, m);
      FillToneWaveRT<Wave>(a.phaseB, k.golden, waveB, m);
      if (passThrough) {
        const double* const inL = io.inL + start;
        const double* const inR = io.inR + start;
        for (int j = 0; j < m; ++j) {
          double left, right;
          MixRT<Binaural>(waveA[j], waveB[j], a.pan[j], a.volume[j], &left, &right);
          outL[j] = left + inL[j];  // the input may share the output's buffer
          outR[j] = right + inR[j];
        }
      } else {
        for (int j = 0; j < m; ++j) MixRT<Binaural>(waveA[j], waveB[j], a.pan[j], a.volume[j], &outL[j], &outR[j]);
      }
    } else {
      // Only a block's first phases can lie outside the cycle.
      if (PhasesInCycle(simd::Set(a.phaseA[0], a.phaseB[0])))
        MixTrigWavesRT<Wave, Binaural, true>(a.phaseA, a.phaseB, k.golden, a.pan, a.volume, outL, outR, m);
      else
        MixTrigWavesRT<Wave, Binaural, false>(a.phaseA, a.phaseB, k.golden, a.pan, a.volume, outL, outR, m);
    }
  }
  k.Store(st);
}

using LoopFn = void (*)(EngineState&, const BlockRamps&, const BlockIO&, int);

// The loop for a block: the reference (C library sin and cos, one sample
// at a time), or FastTrig one sample at a time, or FastTrig staged.
enum class LoopKind { kReference, kOneByOne, kStaged };

template <int Wave, bool Binaural>
LoopFn PickLoop(LoopKind kind) {
  switch (kind) {
    case LoopKind::kReference: return RenderFusedRT<Wave, Binaural, LibmTrig>;
    case LoopKind::kOneByOne: return RenderFusedRT<Wave, Binaural, FastTrig>;
    default: return RenderStagedRT<Wave, Binaural>;
  }
}

template <int Wave>
LoopFn PickLoop(bool binaural, LoopKind kind) {
  return binaural ? PickLoop<Wave, true>(kind) : PickLoop<Wave, false>(kind);
}

LoopFn PickLoop(int waveform, bool binaural, LoopKind kind) {
  switch (waveform) {
    case kToneSine: return PickLoop<kToneSine>(binaural, kind);
    case kToneTriangle: return PickLoop<kToneTriangle>(binaural, kind);
    case kToneSaw: return PickLoop<kToneSaw>(binaural, kind);
    case kToneSquare: return PickLoop<kToneSquare>(binaural, kind);
    case kToneGoldenSine: return PickLoop<kToneGoldenSine>(binaural, kind);
    case kToneSineHalf: return PickLoop<kToneSineHalf>(binaural, kind);
    case kToneGoldenTriangle: return PickLoop<kToneGoldenTriangle>(binaural, kind);
    default: return PickLoop<kToneGoldenSquare>(binaural, kind);
  }
}

void RenderWith(LoopKind kind, EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  if (n <= 0 || !io.outL || !io.outR) return;
  PickLoop(st.waveform, st.binauralMode, kind)(st, ramps, io, n);
}

}  // namespace

void RenderSamplesRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  LoopKind kind = ramps.v > kAudibleThreshold ? LoopKind::kStaged : LoopKind::kOneByOne;
  if (st.referenceTrig) kind = LoopKind::kReference;
  RenderWith(kind, st, ramps, io, n);
}

void RenderSamplesOneByOneRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  RenderWith(LoopKind::kOneByOne, st, ramps, io, n);
}

void RenderSamplesReferenceRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  RenderWith(LoopKind::kReference, st, ramps, io, n);
}

}  // namespace selvarin
