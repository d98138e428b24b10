#include "vst3/vst3_view.h"

#include <cstring>

#include "graphics/igraphics.h"
#include "vst3/vst3_adapter.h"

namespace selvarin {

using namespace Steinberg;

IVST3View::IVST3View(IVST3Adapter* plug) : plug_(plug), windowHost_(CreateViewWindowHost()) {
  if (plug_) plug_->addRef();
}

IVST3View::~IVST3View() {
  // A view released while attached still closes its window (the plug-in
  // hears of it as of any close) and lets go of the host's run loop. A view
  // that never held the editor has nothing of it to close.
  if (plug_ && plug_->HoldsEditor(this)) {
    if (Graphics()) plug_->OnEditorClose();
    if (windowHost_) windowHost_->Close();
  }
  if (plug_) {
    plug_->RemoveView(this);
    plug_->release();
  }
}

IGraphics* IVST3View::Graphics() const { return plug_ ? plug_->EditorGraphics() : nullptr; }

tresult PLUGIN_API IVST3View::isPlatformTypeSupported(FIDString type) {
  if (!Graphics() || !type) return kResultFalse;
  return windowHost_->IsPlatformTypeSupported(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IVST3View::attached(void* parent, FIDString type) {
  if (plug_) plug_->EnteredFromUi("attached");
  IGraphics* g = Graphics();
  if (!g) return kResultFalse;
  // One editor window per instance: while another view of it is attached
  // this one is refused, and touches nothing of that view's window.
  if (!plug_->ClaimEditor(this)) return kResultFalse;
  bool rescaled = false;
  if (type && windowHost_->IsPlatformTypeSupported(type)) {
    windowHost_->Close();  // attached twice: the old window goes first
    rescaled = TakeScaleFor(parent);
    if (!windowHost_->Open(*g, parent, type, plugFrame)) {
      if (!systemWindow) plug_->LetGoOfEditor(this);  // never attached: the editor stays free
      return kResultFalse;
    }
    FollowSystemScale();
  }
  systemWindow = parent;
  plug_->OnEditorOpen();
  // The host sized its window from getSize at the former scale.
  if (rescaled) AskFrameForSize();
  return kResultOk;
}

tresult PLUGIN_API IVST3View::removed() {
  if (plug_) plug_->EnteredFromUi("removed");
  if (Graphics() && plug_->HoldsEditor(this)) {
    plug_->OnEditorClose();
    windowHost_->Close();
    plug_->LetGoOfEditor(this);
  }
  return CPluginView::removed();
}

tresult PLUGIN_API IVST3View::getSize(ViewRect* size) {
  IGraphics* g = Graphics();
  if (!g || !size) return kResultFalse;
  *size = ViewRect(0, 0, g->ScaledWidth(), g->ScaledHeight());
  return kResultOk;
}

tresult PLUGIN_API IVST3View::onSize(ViewRect* newSize) {
  if (plug_) plug_->EnteredFromUi("onSize");
  if (!newSize) return kResultOk;
  rect = *newSize;
  if (resizePending_) {
    resizePending_ = false;
    plug_->OnEditorSizeChanged(newSize->left, newSize->top, newSize->right, newSize->bottom);
  }
  return kResultOk;
}

tresult PLUGIN_API IVST3View::setFrame(IPlugFrame* frame) {
  if (plug_) plug_->EnteredFromUi("setFrame");
  plugFrame = frame;
  return kResultOk;
}

bool IVST3View::RequestResize(int width, int height) {
  if (!plugFrame) return false;
  resizePending_ = true;
  IGraphics* g = Graphics();
  ViewRect r(0, 0, g ? g->ToDevice(width) : width, g ? g->ToDevice(height) : height);
  return plugFrame->resizeView(this, &r) == kResultTrue;
}

}  // namespace selvarin
