// The block level of the render loop: reset, tempo, transport gating,
// re-phase, ramp steps; the per-sample work is in render_kernel.cpp.
#include <cmath>

#include "engine/lfo.h"
#include "engine/render_kernel.h"
#include "engine/selvarin.h"

namespace selvarin {

namespace {
// While a host plays, blocks come at least once per block's duration (8192
// samples at 22.05 kHz last 372 ms). A longer pause means the host stopped
// calling, as it does when it stops or moves the play position, so the next
// block puts the tones back in step with the timeline.
constexpr uint32_t kRephaseGapMs = 500;
constexpr int kSampleRateParams[] = {kParamBaseFreq, kParamBinaural, kParamFade, kParamLfo1RateMs, kParamLfo2RateMs};

bool AnyLfoTargets(const EngineState& st, int target) {
  return st.lfoTarget[0] == target || st.lfoTarget[1] == target;
}

// The phase a tone has at host position p had it run at `increment` since
// position 0, in [0, 2 pi) also before the timeline's start (pre-roll).
double TimelinePhase(int64_t position, double increment) {
  const double p = static_cast<double>(position);
  double phase = std::fmod(p * increment * kInvTwoPi, 1.0) * 2.0 * kPi;
  if (phase < 0.0) phase += kTwoPi;
  if (!(phase >= 0.0 && phase < kTwoPi)) phase = 0.0;  // rounding onto 2 pi, or no number
  return phase;
}
}  // namespace

void CLS_SELVARIN::ForceReapply(int idx) {
  state_.lastApplied[static_cast<size_t>(idx)] = kForceReapply;
  OnParameterChanged(idx);
}

void CLS_SELVARIN::OnReset() {
  ScopedLock lock(Mutex());
  EngineState& st = state_;
  if (!st.started) return;
  const double sr = SampleRate();
  if (sr != st.sampleRate) {
    st.sampleRate = sr;
    for (int idx : kSampleRateParams) ForceReapply(idx);
  }
  RestartLfo(st, 0);
  RestartLfo(st, 1);
  st.rephasePending = true;
}

void CLS_SELVARIN::RenderBlock(double** inputs, double** outputs, int frames) {
  EngineState& st = state_;
  if (!st.started) {
    st.started = true;
    OnReset();
  }

  // Tempo: note-value rates follow every change of the whole-note length.
  double w = 4.0 * SamplesPerBeat();
  if (!std::isfinite(w)) w = 0.0;
  if (w != st.samplesPerWhole) {
    st.samplesPerWhole = w;
    ForceReapply(kParamLfo1RateNote);
    ForceReapply(kParamLfo2RateNote);
  }

  // Transport gating: without "Play Anyway" the tone sounds only while the
  // host plays or records.
  const int transport = TransportState();
  BlockRamps rp;
  rp.v = (st.playAnyway || transport == kTransportPlaying || transport == kTransportRecording) ? st.volumeTarget
                                                                                                 : 0.0f;

  // Re-phase after a reset or a pause: each tone sits where it would be had
  // it run at its target frequency since the host timeline's start.
  // An offline render is paced by its writer, not the clock: a stalled disk
  // must not change the samples, so there only a reset re-phases.
  const uint32_t t = msClock_();
  const bool paused = static_cast<uint32_t>(t - st.lastBlockClock) > kRephaseGapMs && !IsOfflineRender();
  if (st.rephasePending || paused) {
    const int64_t p = HostSamplePosition();
    st.toneAPhase = TimelinePhase(p, st.toneAIncrementTarget);
    st.toneBPhase = TimelinePhase(p, st.toneBIncrementTarget);
    st.rephasePending = false;
  }

  const int n = frames;
  if (n > 0) {
    // Frequencies glide by n / max(fadeSamples, n) of the remaining distance
    // per block; a quantity an LFO drives is not ramped.
    const double dA = st.toneAIncrementTarget - st.toneAIncrement;
    const double dB = st.toneBIncrementTarget - st.toneBIncrement;
    if (std::fabs(dA) > kAudibleThreshold || std::fabs(dB) > kAudibleThreshold) {
      const uint32_t frames32 = static_cast<uint32_t>(n);
      const double m = static_cast<double>(st.fadeSamples > frames32 ? st.fadeSamples : frames32);
      rp.stepA = AnyLfoTargets(st, kTargetBaseFreq) ? 0.0 : dA / m;
      rp.stepB = AnyLfoTargets(st, kTargetBinaural) ? 0.0 : dB / m;
    }
    // Pan and volume move linearly over exactly one block.
    const float nf = static_cast<float>(n);
    rp.panStep = AnyLfoTargets(st, kTargetPan) ? 0.0f : (st.panTarget - st.pan) / nf;
    // An LFO on the volume sets it every sample; a ramp on top would add up
    // to the block's target again. Only the fade-out (v is 0), which the
    // LFO leaves alone, keeps its ramp.
    const bool lfoSetsVolume = AnyLfoTargets(st, kTargetVolume) && rp.v != 0.0f;
    rp.volumeStep = lfoSetsVolume ? 0.0f : (rp.v - st.volume) / nf;

    BlockIO io;
    if (outputs) {
      io.outL = outputs[0];
      io.outR = outputs[1];
    }
    if (st.inputPassThrough && inputs && inputs[0] && inputs[1]) {
      io.inL = inputs[0];
      io.inR = inputs[1];
    }
    RenderSamplesRT(st, rp, io, n);
  }

  st.lastBlockClock = t;
  st.pan = st.panTarget;
}

}  // namespace selvarin
