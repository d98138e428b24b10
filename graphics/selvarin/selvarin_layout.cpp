#include "graphics/selvarin/selvarin_layout.h"

#include <cstdio>
#include <cstring>

#include "engine/param_ids.h"
#include "framework/audio_plugin.h"
#include "graphics/dropdown.h"
#include "graphics/igraphics.h"
#include "graphics/knobs.h"
#include "graphics/platform_graphics.h"
#include "graphics/selvarin/panel_controls.h"

namespace selvarin {

namespace {
const char kMakerSite[] = "https://kavelin.example/selvarin";
const char kMakerSiteFallback[] = "http://kavelin.example/";

struct Styles {
  ITextStyle version = MakeTextStyle("Verdana", 13, IRgba{100, 255, 255, 255}, 0);
  ITextStyle label = MakeTextStyle("Arial", 15, IRgba{200, 255, 255, 255}, 1);
  ITextStyle knob = MakeTextStyle("Arial", 15, IRgba{200, 255, 255, 255}, 0);
};

// The shared rotating-knob values: gap 5, 300 degrees, gearing 4, vertical,
// hover fade 0.2, value text with its unit.
IKnobRotVal* RotKnob(IAudioPlugin* plug, int param, int cx, int cy, const IImage& img, const ITextStyle& s,
                     int width = 0) {
  return new IKnobRotVal(plug, param, cx, cy, img, s, 5, 300, 4.0, width, 0, 0.2f, true);
}
IKnobMulti* MultiKnob(IAudioPlugin* plug, int param, int cx, int cy, const IImage& img, const ITextStyle& s,
                      int width) {
  return new IKnobMulti(plug, param, cx, cy, img, s, 5, 4.0, width, 0);
}
}  // namespace

void SelvarinVersionText(const IAudioPlugin& plug, bool inputPassThrough, char out[24]) {
  char v[16];
  plug.VersionString(v);
  const size_t n = std::strlen(v);
  if (n > 0) v[n - 1] = '\0';  // "v1.10" reads "v1.1"
  std::snprintf(out, 24, "%s%s", v, inputPassThrough ? "" : " i");
}

IGraphics* BuildSelvarinEditor(IAudioPlugin* plug, const SelvarinEditorLinks& links) {
  const Styles st;
  IGraphics* g = CreatePlatformGraphics(plug, 550, 363, 0);
  if (!g) return nullptr;
  g->SetBackgroundImage(kImgBackground, "img/bg.png");

  GRAPH* lfo1 = new GRAPH(plug, 22, 223);
  GRAPH* lfo2 = new GRAPH(plug, 326, 527);
  g->AddControl(lfo1);
  g->AddControl(lfo2);

  char version[24];
  SelvarinVersionText(*plug, links.inputPassThrough, version);
  g->AddControl(new ITextControl(plug, IArea{45, 12, 95, 30}, st.version, version));
  g->AddControl(new IURLControl(plug, IArea{178, 15, 370, 62}, kMakerSite, kMakerSiteFallback, nullptr));
  LiveTextControl* band = new LiveTextControl(plug, IArea{233, 298, 317, 313}, st.label);
  g->AddControl(band);

  const IImage knob = g->LoadImageResource(kImgKnob, "img/knob.png", 1);
  const IImage knob2 = g->LoadImageResource(kImgKnobSmall, "img/knob2.png", 1);
  const IImage target = g->LoadImageResource(kImgLfoTarget, "img/lfo_tg.png", 5);
  const IImage targetList = g->LoadImageResource(kImgLfoTargetList, "img/lfo_tg_.png", 5);
  const IImage rateSync = g->LoadImageResource(kImgRateSync, "img/rate_sync.png", 1);
  const IImage lfoWave = g->LoadImageResource(kImgLfoWave, "img/lfo_wave.png", 7);
  bool* clicked = links.syncClickedInEditor;

  g->AddControl(RotKnob(plug, kParamBaseFreq, 48, 129, knob, st.knob));
  g->AddControl(RotKnob(plug, kParamBinaural, 122, 129, knob, st.knob));
  g->AddControl(MultiKnob(plug, kParamWave, 197, 129, g->LoadImageResource(kImgWave, "img/wave.png", 8), st.knob, 80));
  g->AddControl(new IButton(plug, kParamBeats, 235, 103, g->LoadImageResource(kImgMonaural, "img/btn3.png", 1), 0.0f));
  g->AddControl(new IButton(plug, kParamPlayAnyway, 241, 144, g->LoadImageResource(kImgPlay, "img/btn.png", 1), 0.0f));
  g->AddControl(RotKnob(plug, kParamFade, 352, 129, knob, st.knob, 60));
  g->AddControl(RotKnob(plug, kParamPan, 426, 129, knob, st.knob));
  g->AddControl(RotKnob(plug, kParamVolume, 501, 129, knob, st.knob));

  // One block per LFO: Sync, Target, Start, Wave, Depth and the two rate
  // knobs sharing one place (only one of them shows at a time).
  const int x0[2] = {0, 304};
  for (int lfo = 0; lfo < 2; ++lfo) {
    const int dx = x0[lfo];
    g->AddControl(new IButtonClick(plug, LfoParam(lfo, kLfoRoleSync), 183 + dx, 194, rateSync, 0.2f, clicked));
    g->AddControl(new IDropDown(plug, LfoParam(lfo, kLfoRoleTarget), 84 + dx, 214, target, targetList, 1, 0));
    g->AddControl(RotKnob(plug, LfoParam(lfo, kLfoRoleStart), 45 + dx, 277, knob2, st.knob));
    g->AddControl(MultiKnob(plug, LfoParam(lfo, kLfoRoleWave), 97 + dx, 277, lfoWave, st.knob, 60));
    g->AddControl(RotKnob(plug, LfoParam(lfo, kLfoRoleDepth), 149 + dx, 277, knob2, st.knob));
    g->AddControl(RotKnob(plug, LfoParam(lfo, kLfoRoleRateNote), 201 + dx, 277, knob2, st.knob));
    g->AddControl(RotKnob(plug, LfoParam(lfo, kLfoRoleRateMs), 201 + dx, 277, knob2, st.knob, 60));
    // Both LFOs start in note values: the millisecond knob starts hidden.
    g->HideParamControls(LfoParam(lfo, kLfoRoleRateMs), true);
  }
  g->AddControl(new IButtonHold(plug, kParamLfosSync, 235, 323, g->LoadImageResource(kImgLfosSync, "img/btn2.png", 1)));

  // A replaced, resized or destroyed editor takes its indicator and label
  // controls with it: the engine's links to them go first. Links that point
  // at another editor's controls by then (the one replacing it) stay.
  LfoIndicatorValues* const indicators[2] = {lfo1->Values(), lfo2->Values()};
  BandLabelSlot* const label = band->Slot();
  g->releaseControlLinks = [links, indicators, label] {
    for (int k = 0; k < 2; ++k)
      if (links.lfoIndicator[k] && *links.lfoIndicator[k] == indicators[k]) *links.lfoIndicator[k] = nullptr;
    if (links.bandLabel && *links.bandLabel == label) *links.bandLabel = nullptr;
  };
  {
    // The engine reads its links while it renders.
    ScopedLock lock(plug->Mutex());
    for (int k = 0; k < 2; ++k)
      if (links.lfoIndicator[k]) *links.lfoIndicator[k] = indicators[k];
    if (links.bandLabel) *links.bandLabel = label;
    plug->AttachEditor(g);
  }
  g->handleMouseOver = true;
  return g;
}

}  // namespace selvarin
