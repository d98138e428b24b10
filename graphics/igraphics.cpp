#include "graphics/igraphics.h"

#include <cstdlib>
#include <cstring>

#include "framework/audio_plugin.h"
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
    IMutexLock lock(plug_->Mutex());
    if (releaseControlLinks) releaseControlLinks();
    DeleteControls();
  } else {
    DeleteControls();
  }
  if (plug_) plug_->ResizeEditor(width, height);
}

void IGraphics::PrepareSurface() {
  surface_.reset(new RasterSysBitmap(width_, height_));
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
    v = std::strtod(text, nullptr);  // leading numeric prefix, 0 when none
    if (param->NegateDisplay()) v = -v;
  }
  if (!control) return;
  const bool bound = control->paramIdx >= 0 && plug_;
  if (bound) plug_->BeginParamEdit(control->paramIdx);
  control->ReceiveEnteredValue(param->ToNormalized(v));
  if (bound) plug_->EndParamEdit(control->paramIdx);
}

void IGraphics::MarkBackgroundDirty() {
  if (!controls_.empty()) controls_[0]->MarkDirty(false);
}

// ---- events ----

void IGraphics::ReleaseCapture() {
  captureIdx_ = -1;
  lastX_ = lastY_ = -1;
}

void IGraphics::EndMouseCapture() { ReleaseCapture(); }

int IGraphics::ControlIndexAt(int x, int y) {
  if (captureIdx_ >= 0 && captureIdx_ < NControls()) return captureIdx_;
  for (int i = NControls() - 1; i >= 0; --i) {
    IControl* c = controls_[static_cast<size_t>(i)];
    if (!c->hidden && !c->grayed && c->HitTest(x, y)) return i;
  }
  return -1;
}

bool IGraphics::OnMouseDown(int x, int y, const IPointerState& mod) {
  SyncFromPlugin();
  ReleaseCapture();
  const int idx = ControlIndexAt(x, y);
  if (idx < 0) return false;
  IControl* c = controls_[static_cast<size_t>(idx)];
  captureIdx_ = idx;
  lastX_ = x;
  lastY_ = y;
  rightButtonDown_ = mod.R;
  if (openPopup_ && openPopup_ != JustClosedPopupMarker()) {
    int popupIdx = -1;
    for (int i = 0; i < NControls(); ++i)
      if (controls_[static_cast<size_t>(i)] == openPopup_) popupIdx = i;
    if (popupIdx >= 0 && popupIdx != idx && c->owner != openPopup_) {
      ClosePopup(false);
      // Closing took the list out of the list of controls: index afresh.
      captureIdx_ = ControlIndexOf(c);
    }
  }
  const int param = c->paramIdx;
  if (gestureParam_ >= 0 && plug_) plug_->EndParamEdit(gestureParam_);  // a release the host never sent
  gestureParam_ = -1;
  if (param >= 0 && plug_) {
    plug_->BeginParamEdit(param);
    gestureParam_ = param;
  }
  c->OnMouseDown(x, y, mod);
  return true;
}

int IGraphics::ControlIndexOf(const IControl* c) const {
  for (int i = 0; i < NControls(); ++i)
    if (controls_[static_cast<size_t>(i)] == c) return i;
  return -1;
}

void IGraphics::OnMouseUp(int x, int y, const IPointerState& mod) {
  SyncFromPlugin();
  // Only the control that took the press hears its release: a release over
  // another control (after a pop-up choice closed the list, or a press on
  // empty space) sends that control no value and no end of an edit it never
  // began.
  const int idx = captureIdx_ >= 0 && captureIdx_ < NControls() ? captureIdx_ : -1;
  ReleaseCapture();
  rightButtonDown_ = false;
  const int begun = gestureParam_;
  gestureParam_ = -1;
  if (idx >= 0) controls_[static_cast<size_t>(idx)]->OnMouseUp(x, y, mod);
  if (begun >= 0 && plug_) plug_->EndParamEdit(begun);
}

void IGraphics::OnMouseDrag(int x, int y, const IPointerState& mod) {
  SyncFromPlugin();
  if (captureIdx_ < 0 || captureIdx_ >= NControls()) return;
  if (x == lastX_ && y == lastY_) return;
  const int dX = x - lastX_, dY = y - lastY_;
  lastX_ = x;
  lastY_ = y;
  controls_[static_cast<size_t>(captureIdx_)]->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDoubleClick(int x, int y, const IPointerState& mod) {
  SyncFromPlugin();
  ReleaseCapture();
  const int idx = ControlIndexAt(x, y);
  if (idx < 0) return false;
  IControl* c = controls_[static_cast<size_t>(idx)];
  if (gestureParam_ >= 0 && plug_) plug_->EndParamEdit(gestureParam_);
  gestureParam_ = -1;
  if (c->paramIdx >= 0 && plug_) {
    plug_->BeginParamEdit(c->paramIdx);
    gestureParam_ = c->paramIdx;
  }
  if (!c->dblAsClick) {
    c->OnMouseDoubleClick(x, y, mod);
    return false;
  }
  captureIdx_ = idx;
  lastX_ = x;
  lastY_ = y;
  c->OnMouseDown(x, y, mod);
  return true;
}

void IGraphics::OnMouseWheel(int x, int y, const IPointerState& mod, int delta) {
  SyncFromPlugin();
  const int idx = ControlIndexAt(x, y);
  if (idx < 0) return;
  IControl* c = controls_[static_cast<size_t>(idx)];
  const int param = c->paramIdx;
  if (param >= 0 && plug_) {
    plug_->OnParamWheelEdit(param);
    // The first notch of a burst begins the host edit that the countdown
    // ends; a burst on another parameter ends the running one first, so
    // every edit the host sees is begun and ended once.
    const int pending = plug_->PendingEndEditParam();
    if (pending != param) {
      if (pending >= 0) plug_->FlushDeferredEndEdit();
      plug_->BeginParamEdit(param);
    }
  }
  c->OnMouseWheel(x, y, mod, delta);
  if (param >= 0 && plug_) plug_->DeferEndParamEdit(param);
}

bool IGraphics::OnMouseOver(int x, int y, const IPointerState& mod) {
  if (!handleMouseOver) return false;
  SyncFromPlugin();
  const int idx = ControlIndexAt(x, y);
  if (idx < 0) return true;
  lastX_ = x;
  lastY_ = y;
  IControl* c = controls_[static_cast<size_t>(idx)];
  c->OnMouseOver(x, y, mod);
  if (c->paramIdx >= 0 && plug_) plug_->OnParamMouseOver(c->paramIdx);
  if (mouseOverIdx >= 0 && mouseOverIdx != idx && mouseOverIdx < NControls())
    controls_[static_cast<size_t>(mouseOverIdx)]->OnMouseOut();
  mouseOverIdx = idx;
  return true;
}

void IGraphics::OnMouseOut() {
  SyncFromPlugin();
  for (IControl* c : controls_) c->OnMouseOut();
  mouseOverIdx = -1;
}

void IGraphics::OnKeyDown(int x, int y, int key) {
  SyncFromPlugin();
  const int idx = ControlIndexAt(x, y);
  if (idx >= 0) controls_[static_cast<size_t>(idx)]->OnKeyDown(x, y, key);
}

void IGraphics::OnFileDrop(int x, int y, const char* path) {
  SyncFromPlugin();
  const int idx = ControlIndexAt(x, y);
  ReleaseCapture();
  rightButtonDown_ = false;
  if (idx < 0) return;
  IControl* c = controls_[static_cast<size_t>(idx)];
  c->OnFileDrop(x, y, path);
  if (c->paramIdx >= 0 && plug_) plug_->EndParamEdit(c->paramIdx);
}

// ---- redraw ----

bool IGraphics::NeedsRedraw(IArea* rect) {
  SyncFromPlugin();
  for (IControl* c : controls_) c->PullPublished();
  bool dirty = false;
  IArea r = rect ? *rect : IArea{};
  for (IControl* c : controls_) {
    if (c->NeedsRedraw()) {
      r = r.Union(c->rect);
      dirty = true;
    }
  }
  if (rect) *rect = r;
  return dirty;
}

bool IGraphics::Draw(const IArea& rect) {
  if (controls_.empty()) return true;
  drawRect_ = rect;
  // A control may not remove others while drawing, but the list is indexed
  // afresh anyway.
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = controls_[static_cast<size_t>(i)];
    if (!c->hidden && !rect.Empty() && !c->rect.Empty() && rect.Overlaps(c->rect)) c->Draw(*this);
    c->MarkClean();
  }
  return PresentSurface(rect);
}

namespace {
// Merges group `r` into the list, joining every group it overlaps.
int AddMerged(IArea* groups, int n, int max, IArea r) {
  for (bool merged = true; merged;) {
    merged = false;
    for (int i = 0; i < n; ++i) {
      if (groups[i].Overlaps(r)) {
        r = r.Union(groups[i]);
        groups[i] = groups[--n];
        merged = true;
        break;
      }
    }
  }
  if (n < max) {
    groups[n++] = r;
  } else {
    groups[n - 1] = groups[n - 1].Union(r);  // out of room: one group grows
  }
  return n;
}
}  // namespace

int IGraphics::DirtyRects(IArea* out, int max, const IArea* extra) {
  if (!out || max <= 0) return 0;
  SyncFromPlugin();
  for (IControl* c : controls_) c->PullPublished();
  int n = 0;
  if (extra && !extra->Empty()) n = AddMerged(out, n, max, *extra);
  for (IControl* c : controls_)
    if (c->NeedsRedraw() && !c->rect.Empty()) n = AddMerged(out, n, max, c->rect);
  // A control whose drawing is not clipped to the update rectangle (turned
  // images, text, fills) must be drawn in one pass only: groups it touches
  // become one.
  for (bool merged = n > 1; merged;) {
    merged = false;
    for (IControl* c : controls_) {
      if (c->hidden || c->ClipsToDrawRect() || c->rect.Empty()) continue;
      int first = -1;
      for (int i = 0; i < n && !merged; ++i) {
        if (!out[i].Overlaps(c->rect)) continue;
        if (first < 0) {
          first = i;
        } else {
          const IArea joined = out[first].Union(out[i]);
          out[i] = out[--n];
          if (first == n) first = i;
          out[first] = out[--n];
          n = AddMerged(out, n, max, joined);
          merged = true;
        }
      }
      if (merged) break;
    }
  }
  return n;
}

bool IGraphics::DrawRects(const IArea* rects, int count) {
  if (controls_.empty()) return true;
  for (int k = 0; k < count; ++k) {
    const IArea& rect = rects[k];
    drawRect_ = rect;
    for (int i = 0; i < NControls(); ++i) {
      IControl* c = controls_[static_cast<size_t>(i)];
      if (!c->hidden && !rect.Empty() && !c->rect.Empty() && rect.Overlaps(c->rect)) c->Draw(*this);
    }
  }
  for (IControl* c : controls_) c->MarkClean();
  bool ok = true;
  for (int k = 0; k < count; ++k) ok = PresentSurface(rects[k]) && ok;
  return ok;
}

void IGraphics::ClosePopup(bool itemChosen) {
  if (!openPopup_ || openPopup_ == JustClosedPopupMarker()) return;
  IControl* popup = openPopup_;
  if (!itemChosen && popup->owner) popup->owner->OnPopupResult("", -1);
  RemoveControl(popup);
  delete popup;
  openPopup_ = itemChosen ? nullptr : JustClosedPopupMarker();
  MarkBackgroundDirty();
}

}  // namespace selvarin
