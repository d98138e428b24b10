// Mouse and key routing: the control under the pointer (or the one holding
// the capture) gets the event, framed by the host edit it makes.
#include "framework/audio_plugin.h"
#include "graphics/igraphics.h"

namespace selvarin {

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
  pressClosedList_ = false;
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
  BeginPressEdit(c->paramIdx);
  // A list the press closed (a choice in a pop-up or drop-down list) no
  // longer lies under the pointer: the double-click the window system makes
  // of the next press would reach the control beneath it.
  const bool wasPopup = c == openPopup_;
  const int before = NControls();
  c->OnMouseDown(x, y, mod);
  pressClosedList_ = wasPopup ? NControls() < before : (c->hidden && c->paramIdx < 0);
  return true;
}

void IGraphics::BeginPressEdit(int param) {
  if (gestureParam_ >= 0 && plug_) plug_->EndParamEdit(gestureParam_);  // a release the host never sent
  gestureParam_ = -1;
  if (param < 0 || !plug_) return;
  // A wheel edit of this parameter still waiting for its end ends first:
  // the host never sees one parameter's edits nested.
  if (plug_->PendingEndEditParam() == param) plug_->FlushDeferredEndEdit();
  plug_->BeginParamEdit(param);
  gestureParam_ = param;
}

bool IGraphics::HostEditOpen(int param) const {
  return param >= 0 && (param == gestureParam_ || (plug_ && plug_->PendingEndEditParam() == param));
}

HostEditScope::HostEditScope(const IGraphics* g, IAudioPlugin* plug, int param) {
  if (!plug || param < 0 || (g && g->HostEditOpen(param))) return;
  plug_ = plug;
  param_ = param;
  plug_->BeginParamEdit(param_);
}

HostEditScope::~HostEditScope() {
  if (plug_) plug_->EndParamEdit(param_);
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
  if (pressClosedList_) {
    // The first click chose in a list that has gone: to the control now
    // under the pointer this is a first click, not a double-click (which
    // would reset it, or the very value just chosen, to its default).
    pressClosedList_ = false;
    return OnMouseDown(x, y, mod);
  }
  BeginPressEdit(c->paramIdx);
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
  // Notches while a press on the same parameter is held belong to the
  // press's edit, which its release ends.
  const bool ownEdit = param >= 0 && plug_ && param != gestureParam_;
  if (param >= 0 && plug_) plug_->OnParamWheelEdit(param);
  if (ownEdit) {
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
  if (ownEdit) plug_->DeferEndParamEdit(param);
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

}  // namespace selvarin
