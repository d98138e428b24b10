#pragma once
// Selvarin's tone engine: two tones of one waveform, a base tone and a base
// plus beat tone, cross-faded between the ears (binaural) or summed
// (monaural), with a frequency glide, volume, transport gating and two LFOs.
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/ms_clock.h"
#include "framework/instance_info.h"
#include "selvarin_base.h"  // the adapter base, chosen by the build

namespace selvarin {

class CLS_SELVARIN : public SelvarinBase {
 public:
  explicit CLS_SELVARIN(const InstanceInfo& info);
  ~CLS_SELVARIN() override;

  // Re-derives the sample-rate-dependent state, restarts the LFOs and asks
  // for the tones to be re-phased at the next block. Takes the plug-in lock.
  void OnReset() override;
  // Applies parameter `paramIdx`'s current value. Takes the plug-in lock; may
  // run on the audio thread (automation), so it never allocates.
  void OnParameterChanged(int paramIdx) override;
  // Audio thread, called under the plug-in lock: renders one block into
  // outputs[0] (left) and outputs[1] (right).
  void RenderBlock(double** inputs, double** outputs, int frames) override;

  // ---- links the editor layout sets up ----
  void SetLfoIndicator(int lfo, LfoIndicatorValues* indicator);
  void SetBandLabel(BandLabelSlot* label) { state_.bandLabel = label; }
  // The flag the editor's Sync buttons set just before they push a value.
  bool* SyncClickedFlag() { return &state_.syncClickedInEditor; }

  // ---- inspection and tests ----
  const EngineState& State() const { return state_; }
  const ParamCensus& Census() const { return census_; }
  // Replaces the millisecond clock (tests); null restores the process clock.
  void SetMsClock(MsClockFn clock) { msClock_ = clock ? clock : &ProcessMillisecondsRT; }
  // Renders with the C library's sin and cos, one sample at a time (tests
  // compare the faster loops against it).
  void UseReferenceTrig(bool on) { state_.referenceTrig = on; }

 private:
  void ApplyParameter(int idx, int32_t a);
  void ApplyLfoParameter(int lfo, int role, int32_t a);
  void ApplyToneIncrements();
  void SetBandLabelRT();
  void RefreshLfoRanges(int idx);
  void CountApplied(int idx);
  void ConvertLfoRate(int lfo);
  void ForceReapply(int idx);

  EngineState state_;
  ParamCensus census_;
  MsClockFn msClock_ = &ProcessMillisecondsRT;
};

}  // namespace selvarin
