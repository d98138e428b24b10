#include "engine/selvarin.h"

#include <cstring>

#include "engine/editor_links.h"
#include "engine/factory_presets.h"
#include "engine/param_table.h"
#include "graphics/selvarin/selvarin_layout.h"
#include "selvarin_version.h"

namespace selvarin {

namespace {
// The host's program list: the default entry and the 140 factory presets
// fill 141 slots; the other 9 stay empty. The length is fixed because hosts
// save and automate the program as the normalised value index / (count - 1):
// another count would make projects saved so far select other presets.
constexpr int kPresetCount = 150;
constexpr int32_t kVendorVersion = SELVARIN_VENDOR_VERSION;
}  // namespace

CLS_SELVARIN::CLS_SELVARIN(const InstanceInfo& info)
    : SelvarinBase(info, kNumParams, "0-2", kPresetCount, "Selvarin", "", "Kavelin", kVendorVersion,
                   FourCC('v', '1', 'i', 'd'), FourCC('K', 'v', 'L', 'n'), /*latency=*/0, /*doesMidi=*/true,
                   /*doesChunks=*/false, /*isInstrument=*/true) {
  // Every byte 155: no parameter rounds to that, so each first application counts.
  std::memset(state_.lastApplied.data(), 155, sizeof(int32_t) * state_.lastApplied.size());
  census_ = ParamCensus{};

  state_.inputPassThrough = NInChannels() == 2;
  state_.squareFeedbackWeight = kSquareFeedbackWeight;
  state_.squareInputWeight = kSquareInputWeight;
  state_.playAnyway = false;

  DefineEngineParameters(*this);

  // The editor: its indicator and label controls become the engine's links,
  // and both Sync buttons point at syncClickedInEditor.
  SelvarinEditorLinks links;
  links.lfoIndicator[0] = &state_.lfoIndicator[0];
  links.lfoIndicator[1] = &state_.lfoIndicator[1];
  links.bandLabel = &state_.bandLabel;
  links.syncClickedInEditor = &state_.syncClickedInEditor;
  links.inputPassThrough = state_.inputPassThrough;
  BuildSelvarinEditor(this, links);

  AddFactoryPresets(*this);
}

// The editor goes first, while the engine whose links it clears is whole.
CLS_SELVARIN::~CLS_SELVARIN() { AttachEditor(nullptr); }

void CLS_SELVARIN::SetLfoIndicator(int lfo, LfoIndicatorValues* indicator) {
  if (lfo >= 0 && lfo < kNumLfos) state_.lfoIndicator[lfo] = indicator;
}

}  // namespace selvarin
