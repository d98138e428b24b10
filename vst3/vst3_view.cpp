#include "vst3/vst3_view.h"

#include <cstring>

#include "graphics/igraphics.h"
#include "vst3/vst3_adapter.h"

namespace sb = Steinberg;

namespace selvarin {

IVST3View::IVST3View(IVST3Adapter* plug) : plug_(plug) {
  plug_->addRef();
  plug_->AddView(this);
}

IVST3View::~IVST3View() {
  plug_->RemoveView(this);
  plug_->release();
}

IGraphics* IVST3View::Graphics() const { return dynamic_cast<IGraphics*>(plug_->Editor()); }

sb::tresult PLUGIN_API IVST3View::isPlatformTypeSupported(sb::FIDString type) {
  if (!Graphics()) return sb::kResultFalse;
  return type && std::strcmp(type, sb::kPlatformTypeHWND) == 0 ? sb::kResultTrue : sb::kResultFalse;
}

sb::tresult PLUGIN_API IVST3View::attached(void* parent, sb::FIDString type) {
  IGraphics* g = Graphics();
  if (!g) return sb::kResultFalse;
  if (type && std::strcmp(type, sb::kPlatformTypeHWND) == 0) g->CreateEditorWindow(parent);
  systemWindow = parent;
  plug_->OnEditorOpen();
  return sb::kResultOk;
}

sb::tresult PLUGIN_API IVST3View::removed() {
  if (IGraphics* g = Graphics()) {
    plug_->OnEditorClose();
    g->DestroyEditorWindow();
  }
  return CPluginView::removed();
}

sb::tresult PLUGIN_API IVST3View::getSize(sb::ViewRect* size) {
  IGraphics* g = Graphics();
  if (!g || !size) return sb::kResultFalse;
  *size = sb::ViewRect(0, 0, g->Width(), g->Height());
  return sb::kResultOk;
}

sb::tresult PLUGIN_API IVST3View::onSize(sb::ViewRect* newSize) {
  if (!newSize) return sb::kResultOk;
  rect = *newSize;
  if (resizePending_) {
    plug_->OnEditorSizeChanged(newSize->left, newSize->top, newSize->right, newSize->bottom);
    resizePending_ = false;
  }
  return sb::kResultOk;
}

bool IVST3View::RequestResize(int width, int height) {
  if (!plugFrame) return false;
  resizePending_ = true;
  sb::ViewRect r(0, 0, width, height);
  return plugFrame->resizeView(this, &r) == sb::kResultOk;
}

}  // namespace selvarin
