#include "graphics/icontrol.h"

#include "framework/audio_plugin.h"
#include "framework/param_entry.h"
#include "graphics/igraphics.h"
#include "graphics/prompt_popup.h"

namespace selvarin {

IControl::IControl(IAudioPlugin* plug, IArea r, int param) : rect(r), hitRect(r), paramIdx(param), plug_(plug) {}

IParamEntry* IControl::Param() const { return plug_ && paramIdx >= 0 ? plug_->Param(paramIdx) : nullptr; }

void IControl::OnMouseDown(int, int, const IPointerState& mod) {
  if (!graphics_) return;
  if (!mod.R) {
    graphics_->ClearOpenPopup();
    return;
  }
  if (paramIdx < 0 || promptDisabled) return;
  if (graphics_->HasOpenPopupReference()) {
    // This right click dismissed a list: it opens nothing.
    graphics_->ClearOpenPopup();
    return;
  }
  IParamEntry* p = Param();
  if (!p) return;
  if (p->DisplayTextCount() > 0 && (p->Kind() == kParamEnum || p->Kind() == kParamBool)) {
    PromptPopup::OpenFor(*graphics_, this);
    return;
  }
  graphics_->BeginValueEntry(this, p, true);
  redrawRequested = true;
}

void IControl::OnMouseDoubleClick(int, int, const IPointerState&) {
  if (defaultValue >= 0.0) {
    value = defaultValue;
    MarkDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, const IPointerState& mod, int delta) {
  if (paramIdx < 0) return;
  IParamEntry* p = Param();
  if (!p) return;
  float step;
  if (p->Kind() == kParamInt || p->Kind() == kParamDouble) {
    step = 0.01f;
  } else {
    // A parameter without display texts has no list to step through.
    const int n = p->DisplayTextCount();
    step = n > 0 ? 0.5f / static_cast<float>(n) : 0.01f;
  }
  const float change = (mod.C || mod.S) ? step * 0.1f * static_cast<float>(delta) : step * static_cast<float>(delta);
  value += change;
  MarkDirty(true);
}

void IControl::ReceivePluginValue(double v) {
  if (defaultValue < 0.0) {
    defaultValue = v;
  } else if (v == value) {
    return;
  }
  value = v;
  MarkDirty(false);
  redrawRequested = true;
}

void IControl::ReceiveEnteredValue(double v) {
  if (v != value) value = v;
  MarkDirty(true);
  redrawRequested = true;
}

void IControl::Hide(bool hide) {
  hidden = hide;
  redrawRequested = true;
  MarkDirty(false);
}

void IControl::SetDisabled(bool gray) {
  grayed = gray;
  blend.weight = gray ? 0.25f : 1.0f;
  MarkDirty(false);
}

void IControl::CloseTextEntry() {
  // The value goes to the host again as a whole edit: a perform without its
  // begin and end is not an edit to a host.
  HostEditScope edit(graphics_, plug_, paramIdx);
  MarkDirty(true);
  redrawRequested = true;
}

void IControl::MarkDirty(bool pushValue) {
  if (!(value >= clampLow)) value = clampLow;  // a NaN too: it never reaches the host
  else if (value > clampHigh) value = clampHigh;
  dirty = true;
  if (pushValue && plug_ && paramIdx >= 0) {
    // The user's value wins over host values published before it; one the
    // host publishes after it wins in both the parameter and the control.
    // Either way control and parameter end up agreeing.
    ScopedLock lock(plug_->Mutex());
    if (graphics_) graphics_->DropPublishedValue(paramIdx);
    plug_->SetParameterFromEditor(paramIdx, value);
  }
}

}  // namespace selvarin
