#include "graphics/igraphics.h"

#include <cmath>
#include <cstring>

#include "framework/audio_plugin.h"
#include "framework/decimal_number.h"
#include "framework/param_entry.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

namespace {
// A control that is never attached: its address matches no control of any
// editor, and whoever looks at it finds an ordinary, empty control.
class ClosedPopupMarker : public IControl {
 public:
  ClosedPopupMarker() : IControl(nullptr, IArea{}) {}
  bool Draw(IGraphics&) override { return true; }
};
}  // namespace

IControl* JustClosedPopupMarker() {
  static ClosedPopupMarker marker;
  return &marker;
}

IGraphics::IGraphics(IAudioPlugin* plug, int width, int height, int frameRate)
    : plug_(plug), width_(width), height_(height), frameRate_(frameRate > 0 ? frameRate : 24) {
  popupTextStyle = MakeTextStyle("Arial", 15, IRgba{200, 255, 255, 255});
  nMail_ = plug ? plug->NParams() : 0;
  mail_.reset(new ParamMail[static_cast<size_t>(nMail_ > 0 ? nMail_ : 1)]);
}

IGraphics::~IGraphics() {
  // The plug-in holds its lock while it replaces or deletes its editor.
  if (releaseControlLinks) releaseControlLinks();
  DeleteControls();
}

void IGraphics::DeleteControls() {
  // Last to first: a pop-up's destructor may still look at the list.
  while (!controls_.empty()) {
    IControl* c = controls_.back();
    controls_.pop_back();
    delete c;
  }
  openPopup_ = nullptr;
  mouseOverIdx = -1;
}

void IGraphics::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  ReleaseCapture();
  if (plug_) {
    // The audio thread writes into the indicator and label controls: they
    // go, and the engine's links with them, while it cannot be rendering.
    ScopedLock lock(plug_->Mutex());
    if (releaseControlLinks) releaseControlLinks();
    DeleteControls();
  } else {
    DeleteControls();
  }
  if (plug_) plug_->ResizeEditor(width, height);
}

void IGraphics::PrepareSurface() {
  surface_.reset(new RasterSysBitmap(ScaledWidth(), ScaledHeight()));
  SyncFromPlugin();
}

int IGraphics::AddControl(IControl* control) {
  if (!control) return -1;
  control->SetGraphics(this);
  controls_.push_back(control);
  return NControls() - 1;
}

void IGraphics::RemoveControl(IControl* control) {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] == control) {
      controls_.erase(controls_.begin() + static_cast<long>(i));
      // Indices above the gap moved down by one.
      const int idx = static_cast<int>(i);
      if (captureIdx_ == idx) captureIdx_ = -1; else if (captureIdx_ > idx) --captureIdx_;
      if (mouseOverIdx == idx) mouseOverIdx = -1; else if (mouseOverIdx > idx) --mouseOverIdx;
      return;
    }
  }
}

// ---- parameter link ----

void IGraphics::PushParamToControls(int paramIdx, double value, bool normalized) {
  if (paramIdx < 0 || paramIdx >= nMail_) return;
  if (!normalized) {
    const IParamEntry* p = plug_ ? plug_->Param(paramIdx) : nullptr;
    if (!p) return;
    value = p->ToNormalized(value);
  }
  ParamMail& m = mail_[static_cast<size_t>(paramIdx)];
  m.normalized.store(value, std::memory_order_relaxed);
  m.valueWaiting.store(true, std::memory_order_release);
  mailWaiting_.store(true, std::memory_order_release);
}

void IGraphics::HideParamControls(int paramIdx, bool hide) {
  if (paramIdx < 0 || paramIdx >= nMail_) return;
  mail_[static_cast<size_t>(paramIdx)].hideWanted.store(hide ? 1 : 0, std::memory_order_release);
  mailWaiting_.store(true, std::memory_order_release);
}

void IGraphics::SyncFromPlugin() {
  if (!mailWaiting_.exchange(false, std::memory_order_acq_rel)) return;
  for (int i = 0; i < nMail_; ++i) {
    ParamMail& m = mail_[static_cast<size_t>(i)];
    const int hide = m.hideWanted.exchange(-1, std::memory_order_acq_rel);
    if (hide >= 0) {
      for (IControl* c : controls_)
        if (c->paramIdx == i) c->Hide(hide != 0);
    }
    if (m.valueWaiting.exchange(false, std::memory_order_acq_rel)) {
      const double v = m.normalized.load(std::memory_order_relaxed);
      for (IControl* c : controls_)
        if (c->paramIdx == i) c->ReceivePluginValue(v);
    }
  }
}

void IGraphics::DropPublishedValue(int paramIdx) {
  if (paramIdx >= 0 && paramIdx < nMail_)
    mail_[static_cast<size_t>(paramIdx)].valueWaiting.store(false, std::memory_order_relaxed);
}

void IGraphics::ForwardControlValue(int paramIdx, double normalized) {
  SyncFromPlugin();
  // A control may add or remove controls while it takes the value; index
  // the list afresh each time.
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = controls_[static_cast<size_t>(i)];
    if (c->paramIdx == paramIdx) c->ReceiveEnteredValue(normalized);
  }
}

void IGraphics::CommitEnteredText(IControl* control, IParamEntry* param, const char* text) {
  if (!param) return;
  if (!text) text = "";
  double v = 0.0;
  int listed = 0;
  if (param->DisplayTextCount() > 0 && param->ParseDisplayText(text, &listed)) {
    v = listed;
  } else {
    // "nan", "inf" and hexadecimal are not numbers a user types into a
    // value entry (a NaN would reach the host).
    v = LeadingDecimal(text);
    if (param->NegateDisplay()) v = -v;
  }
  if (!control) return;
  HostEditScope edit(this, plug_, control->paramIdx);
  control->ReceiveEnteredValue(param->ToNormalized(v));
}

void IGraphics::MarkBackgroundDirty() {
  if (!controls_.empty()) controls_[0]->MarkDirty(false);
}

}  // namespace selvarin
