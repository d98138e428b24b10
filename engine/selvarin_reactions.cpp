// Parameter reactions: how each parameter's value takes effect.
#include <cmath>

#include "engine/band_label.h"
#include "engine/editor_links.h"
#include "engine/lfo.h"
#include "engine/note_values.h"
#include "engine/param_table.h"
#include "engine/selvarin.h"
#include "engine/tone_waveforms.h"
#include "engine/volume_curve.h"

namespace selvarin {

namespace {
// Reciprocal of the sample rate; 0 before the first reset knows the rate (or
// for a rate too small to invert), so nothing derived from it is infinite.
double SamplePeriod(const EngineState& st) {
  const double r = st.sampleRate > 0.0 ? 1.0 / st.sampleRate : 0.0;
  return std::isfinite(r) ? r : 0.0;
}
}  // namespace

void CLS_SELVARIN::OnParameterChanged(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  ScopedLock lock(Mutex());
  const IParamEntry* p = Param(paramIdx);
  if (!p) return;
  const int32_t a = RoundHalfAway(p->Value() * ApplyScale(paramIdx));
  int32_t& last = state_.lastApplied[static_cast<size_t>(paramIdx)];
  if (a == last) return;  // unchanged after rounding: nothing to do
  last = a;
  ApplyParameter(paramIdx, a);
  RefreshLfoRanges(paramIdx);
  state_.syncClickedInEditor = false;
  CountApplied(paramIdx);
}

void CLS_SELVARIN::ApplyToneIncrements() {
  EngineState& st = state_;
  const double r = SamplePeriod(st);
  const double base = static_cast<double>(st.baseHz) * kTwoPi * r;
  const double beat = static_cast<double>(st.beatHz) * kTwoPi * r;
  const float sumHz = st.baseHz + st.beatHz;
  const double sum = static_cast<double>(sumHz) * kTwoPi * r;
  // A tone with no finite speed would sound as NaN: the last speeds stay.
  if (!std::isfinite(base) || !std::isfinite(beat) || !std::isfinite(sum)) return;
  st.baseIncrement = base;
  st.toneAIncrementTarget = base;
  st.beatIncrement = beat;
  st.toneBIncrementTarget = sum;
}

void CLS_SELVARIN::SetBandLabelRT() {
  if (state_.bandLabel) state_.bandLabel->SetTextRT(BandLabelText(state_.beatHz, state_.binauralMode));
}

void CLS_SELVARIN::ApplyParameter(int idx, int32_t a) {
  EngineState& st = state_;
  switch (idx) {
    case kParamBaseFreq:
      st.baseHz = static_cast<float>(a * 0.1);
      ApplyToneIncrements();
      break;
    case kParamBinaural:
      st.beatHz = static_cast<float>(a * 0.01);
      ApplyToneIncrements();
      SetBandLabelRT();
      break;
    case kParamWave: {
      st.waveform = a;
      GoldenShape g{st.goldenSplit, st.goldenA, st.goldenB, st.goldenC};
      SetGoldenCoefficients(a, st.goldenFraction, &g);
      st.goldenA = g.a;
      st.goldenB = g.b;
      st.goldenC = g.c;
      break;
    }
    case kParamPan:
      st.panTarget = static_cast<float>(a * 0.01);
      break;
    case kParamBeats:
      st.binauralMode = !(a > 0.5);
      if (st.beatHz == 0.0f) SetBandLabelRT();
      break;
    case kParamPlayAnyway:
      st.playAnyway = a > 0.5;
      break;
    case kParamFade:  // a quarter of the fade time: ~98 % of a glide is done after it
      st.fadeSamples = RoundHalfAwayUnsigned(static_cast<double>(a) * st.sampleRate * 0.00025);
      break;
    case kParamVolume:
      st.volumeTarget = VolumeGainFromPercent(a);
      break;
    case kParamLfosSync:
      if (a > 0.5) {
        if (!st.lfosSyncLatch) {
          st.lfosSyncLatch = true;
          RestartLfo(st, 0);
          RestartLfo(st, 1);
        }
      } else {
        st.lfosSyncLatch = false;
      }
      break;
    default:
      if (idx >= kParamLfo2Target)
        ApplyLfoParameter(1, idx - kParamLfo2Target, a);
      else if (idx >= kParamLfo1Target)
        ApplyLfoParameter(0, idx - kParamLfo1Target, a);
      break;
  }
}

void CLS_SELVARIN::ApplyLfoParameter(int lfo, int role, int32_t a) {
  EngineState& st = state_;
  switch (role) {
    case kLfoRoleTarget:
      st.lfoTarget[lfo] = static_cast<int16_t>(a);
      UpdateLfoActivity(st, lfo);
      st.lfoTargetParam[lfo] = a >= 0 && a < kNumLfoTargets ? kTargetParam[a] : int16_t{-1};
      break;
    case kLfoRoleWave:  // the LFO goes on from where it is
      st.lfoWave[lfo] = static_cast<int16_t>(a);
      break;
    case kLfoRoleSync: {
      const bool synced = a == 1;
      if (synced == st.lfoSynced[lfo]) break;
      st.lfoSynced[lfo] = synced;
      // One rate knob per LFO is visible: note values or milliseconds.
      if (EditorLink* editor = Editor()) {
        editor->HideParamControls(LfoParam(lfo, kLfoRoleRateNote), !synced);
        editor->HideParamControls(LfoParam(lfo, kLfoRoleRateMs), synced);
      }
      if (st.started && st.syncClickedInEditor) ConvertLfoRate(lfo);
      break;
    }
    case kLfoRoleRateNote:
      // Without a tempo there is no note length: the LFO keeps its speed.
      if (st.lfoSynced[lfo]) LfoIncrementFromNote(a, st.samplesPerWhole, &st.lfoIncrement[lfo]);
      break;
    case kLfoRoleRateMs:
      if (!st.lfoSynced[lfo]) LfoIncrementFromMs(a, st.sampleRate, &st.lfoIncrement[lfo]);
      break;
    case kLfoRoleDepth:
      st.lfoDepth[lfo] = static_cast<float>(a * 0.01);
      break;
    case kLfoRoleStart: {
      const float start = static_cast<float>(a * 0.01);
      if (start != st.lfoStart[lfo]) {
        st.lfoStart[lfo] = start;
        RestartLfo(st, lfo);
      }
      break;
    }
    default:
      break;
  }
}

// After a click on an LFO's Sync button the rate of the new mode is set to
// the LFO's current speed, so the switch is heard only as rounding.
void CLS_SELVARIN::ConvertLfoRate(int lfo) {
  const EngineState& st = state_;
  const double increment = st.lfoIncrement[lfo];
  if (st.lfoSynced[lfo]) {
    const int k = NearestNoteValue(increment, st.samplesPerWhole);
    SetParameterFromEngine(LfoParam(lfo, kLfoRoleRateNote), static_cast<double>(k));
    return;
  }
  const int msParam = LfoParam(lfo, kLfoRoleRateMs);
  double ms = MillisecondsForIncrement(increment, st.sampleRate);
  if (std::isnan(ms)) return;
  // A standing LFO (no tempo yet) has no speed to keep: take the slowest rate.
  if (std::isinf(ms)) {
    const IParamEntry* p = Param(msParam);
    if (!p) return;
    ms = ms > 0.0 ? p->Max() : p->Min();
  }
  SetParameterFromEngine(msParam, ms);
}

void CLS_SELVARIN::RefreshLfoRanges(int idx) {
  EngineState& st = state_;
  for (int lfo = 0; lfo < kNumLfos; ++lfo) {
    if (!st.lfoActive[lfo]) continue;
    bool refresh = idx == LfoParam(lfo, kLfoRoleTarget) || idx == LfoParam(lfo, kLfoRoleDepth) ||
                   idx == st.lfoTargetParam[lfo];
    // LFO2 may have just come back from a clash with LFO1; its range was
    // not kept up while it was paused.
    if (lfo == 1 && idx == kParamLfo1Target) refresh = true;
    if (refresh) ComputeLfoRange(st, lfo);
  }
}

void CLS_SELVARIN::CountApplied(int idx) {
  if (ParamsReady()) return;
  if (!census_.applied[idx]) {
    census_.applied[idx] = true;
    --census_.remaining;
  }
  if (census_.remaining <= 0) SetParamsReady(true);
}

}  // namespace selvarin
