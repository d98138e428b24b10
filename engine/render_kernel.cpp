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

// Runs one LFO for one sample: takes its value, advances its phase and
// overwrites the quantity it drives. The volume is driven only while the
// block's target v is not 0, so a transport stop still fades out.
inline void RunLfoRT(LfoLane& l, Driven& d, const SquareSmoothing& sq, double baseIncrement, double beatIncrement,
                     float v) {
  const double s = LfoWaveRT(l.wave, l.phase, l.squareState, sq);
  l.phase = AdvancePhaseRT(l.phase, l.increment);
  const double o = l.swing * s + l.centre;
  switch (l.target) {
    case kTargetBaseFreq:
      d.toneAIncrement = o;
      if (l.indicator) l.indicator->SetValueRT(static_cast<float>(o));
      d.toneBIncrement = beatIncrement + d.toneAIncrement;
      break;
    case kTargetBinaural:
      if (l.indicator) l.indicator->SetValueRT(static_cast<float>(o));
      d.toneBIncrement = baseIncrement + o;
      break;
    case kTargetPan:
      d.pan = static_cast<float>(o);
      if (l.indicator) l.indicator->SetValueRT(d.pan);
      break;
    case kTargetVolume:
      if (v != 0.0f) {
        d.volume = static_cast<float>(o);
        if (l.indicator) l.indicator->SetValueRT(d.volume);
      }
      break;
    default:
      break;
  }
}

// The sample loop for one waveform and mix. AlwaysSounding: the block's
// volume target is audible, so no sample can be silent.
template <int Wave, bool Binaural, bool AlwaysSounding>
void RenderLoopRT(EngineState& st, const BlockRamps& rp, const BlockIO& io, int n) {
  const GoldenShape golden{st.goldenSplit, st.goldenA, st.goldenB, st.goldenC};
  const SquareSmoothing sq{st.squareInputWeight, st.squareFeedbackWeight};
  const bool lfo1 = st.lfoActive[0];
  const bool lfo2 = st.lfoActive[1];
  LfoLane l1 = LoadLane(st, 0);
  LfoLane l2 = LoadLane(st, 1);
  Driven d{st.toneAIncrement, st.toneBIncrement, st.pan, st.volume};
  double phaseA = st.toneAPhase;
  double phaseB = st.toneBPhase;
  const double baseIncrement = st.baseIncrement;
  const double beatIncrement = st.beatIncrement;
  const float v = rp.v;
  const bool vAudible = v > kAudibleThreshold;
  double* const outL = io.outL;
  double* const outR = io.outR;
  const double* const inL = io.inL;
  const double* const inR = io.inR;
  const bool passThrough = inL && inR;

  for (int i = 0; i < n; ++i) {
    if (!AlwaysSounding && !(vAudible || d.volume > kAudibleThreshold)) {
      // Silent: exact zeros (or the input); LFOs and tones pause.
      outL[i] = passThrough ? inL[i] : 0.0;
      outR[i] = passThrough ? inR[i] : 0.0;
      continue;
    }
    if (lfo1) RunLfoRT(l1, d, sq, baseIncrement, beatIncrement, v);
    if (lfo2) RunLfoRT(l2, d, sq, baseIncrement, beatIncrement, v);
    d.volume += rp.volumeStep;
    d.toneAIncrement += rp.stepA;
    d.toneBIncrement += rp.stepB;
    d.pan += rp.panStep;

    const double a = ToneWaveRT<Wave>(phaseA, golden);
    const double b = ToneWaveRT<Wave>(phaseB, golden);
    const double V = d.volume;
    double left, right;
    if (Binaural) {
      const double P = d.pan;
      left = ((1.0 + P) * a + (1.0 - P) * b) * V * 0.5;
      right = ((1.0 + P) * b + (1.0 - P) * a) * V * 0.5;
    } else {
      // The sum is not halved: monaural peaks reach twice the volume.
      left = right = (a + b) * V;
    }
    if (passThrough) {
      left += inL[i];
      right += inR[i];
    }
    outL[i] = left;
    outR[i] = right;

    phaseA = AdvancePhaseRT(phaseA, d.toneAIncrement);
    phaseB = AdvancePhaseRT(phaseB, d.toneBIncrement);
  }

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

using LoopFn = void (*)(EngineState&, const BlockRamps&, const BlockIO&, int);

template <int Wave>
LoopFn PickLoop(bool binaural, bool alwaysSounding) {
  if (binaural) return alwaysSounding ? RenderLoopRT<Wave, true, true> : RenderLoopRT<Wave, true, false>;
  return alwaysSounding ? RenderLoopRT<Wave, false, true> : RenderLoopRT<Wave, false, false>;
}

}  // namespace

void RenderSamplesRT(EngineState& st, const BlockRamps& ramps, const BlockIO& io, int n) {
  if (n <= 0 || !io.outL || !io.outR) return;
  const bool binaural = st.binauralMode;
  const bool alwaysSounding = ramps.v > kAudibleThreshold;
  LoopFn loop;
  switch (st.waveform) {
    case kToneSine: loop = PickLoop<kToneSine>(binaural, alwaysSounding); break;
    case kToneTriangle: loop = PickLoop<kToneTriangle>(binaural, alwaysSounding); break;
    case kToneSaw: loop = PickLoop<kToneSaw>(binaural, alwaysSounding); break;
    case kToneSquare: loop = PickLoop<kToneSquare>(binaural, alwaysSounding); break;
    case kToneGoldenSine: loop = PickLoop<kToneGoldenSine>(binaural, alwaysSounding); break;
    case kToneSineHalf: loop = PickLoop<kToneSineHalf>(binaural, alwaysSounding); break;
    case kToneGoldenTriangle: loop = PickLoop<kToneGoldenTriangle>(binaural, alwaysSounding); break;
    default: loop = PickLoop<kToneGoldenSquare>(binaural, alwaysSounding); break;
  }
  loop(st, ramps, io, n);
}

}  // namespace selvarin
