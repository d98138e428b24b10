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
}  // namespace

void CLS_SELVARIN::ForceReapply(int idx) {
  state_.lastApplied[static_cast<size_t>(idx)] = kForceReapply;
  OnParameterChanged(idx);
}

void CLS_SELVARIN::OnReset() {
  IMutexLock lock(Mutex());
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
  const uint32_t t = msClock_();
  if (st.rephasePending || static_cast<uint32_t>(t - st.lastBlockClock) > kRephaseGapMs) {
    const double p = static_cast<double>(HostSamplePosition());
    st.toneAPhase = std::fmod(p * st.toneAIncrementTarget * kInvTwoPi, 1.0) * 2.0 * kPi;
    st.toneBPhase = std::fmod(p * st.toneBIncrementTarget * kInvTwoPi, 1.0) * 2.0 * kPi;
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
    rp.volumeStep = (rp.v - st.volume) / nf;

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
