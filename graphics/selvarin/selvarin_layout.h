#pragma once
// Selvarin's editor: the 550 x 363 panel with its background, 29 controls
// and the links the tone engine keeps to the indicators and the band label.
namespace selvarin {

class IAudioPlugin;
class IGraphics;
struct LfoIndicatorValues;
class BandLabelSlot;

// Where the layout hands the engine its links, and what it needs from it.
struct SelvarinEditorLinks {
  LfoIndicatorValues** lfoIndicator[2] = {nullptr, nullptr};
  BandLabelSlot** bandLabel = nullptr;
  bool* syncClickedInEditor = nullptr;
  bool inputPassThrough = false;  // two input channels: no " i" after the version
};

// Image resources of the editor.
enum SelvarinImageId : int {
  kImgBackground = 100,
  kImgKnob = 101,
  kImgKnobSmall = 102,
  kImgWave = 103,
  kImgLfoWave = 104,
  kImgPlay = 105,
  kImgMonaural = 106,
  kImgLfoTarget = 107,
  kImgLfoTargetList = 108,
  kImgRateSync = 109,
  kImgLfosSync = 110,
};

// Builds the editor on this build's window host, fills the links, attaches
// it to the plug-in (which pushes every parameter's value) and turns
// mouse-over handling on. Returns the attached editor (owned by the plug-in).
IGraphics* BuildSelvarinEditor(IAudioPlugin* plug, const SelvarinEditorLinks& links);

// The version text shown top left: "v1.1 i" for version 1.10 without inputs.
void SelvarinVersionText(const IAudioPlugin& plug, bool inputPassThrough, char out[24]);

}  // namespace selvarin
