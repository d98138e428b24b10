// The view's display scale: the host's content scale factor, or the
// system's scale for the parent window, and the size the host is asked for.
#include <cmath>

#include "graphics/igraphics.h"
#include "vst3/vst3_adapter.h"
#include "vst3/vst3_view.h"

namespace selvarin {

using namespace Steinberg;

tresult PLUGIN_API IVST3View::queryInterface(const TUID iid, void** obj) {
  if (obj && FUnknownPrivate::iidEqual(iid, IPlugViewContentScaleSupport::iid)) {
    addRef();
    *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    return kResultOk;
  }
  return CPluginView::queryInterface(iid, obj);
}

tresult PLUGIN_API IVST3View::setContentScaleFactor(ScaleFactor factor) {
  if (plug_) plug_->EnteredFromUi("setContentScaleFactor");
  // NaN and factors not above 0 say nothing usable: the editor stays as it is.
  if (!Graphics() || !(factor > 0.0f)) return kResultFalse;
  const double s = factor < 1.0f ? 1.0 : (factor > 4.0f ? 4.0 : static_cast<double>(factor));
  hostScale_ = s;
  // While another view of the plug-in shows the editor, the factor waits
  // for this view's attach: it is not this view's window that would change.
  if (!OtherViewShowsEditor()) ApplyScale(s);
  return kResultTrue;
}

bool IVST3View::OtherViewShowsEditor() const {
  if (!plug_) return false;
  for (const IVST3View* v : plug_->Views())
    if (v != this && v->isAttached()) return true;
  return false;
}

bool IVST3View::TakeScaleFor(void* parent) {
  IGraphics* g = Graphics();
  if (!g) return false;
  const double before = g->Scale();
  g->SetScale(hostScale_ > 0.0 ? hostScale_ : windowHost_->SystemScale(parent));
  return g->Scale() != before;
}

void IVST3View::FollowSystemScale() {
  windowHost_->FollowSystemScale([this](double s) {
    if (hostScale_ <= 0.0) ApplyScale(s);
  });
}

void IVST3View::ApplyScale(double scale) {
  IGraphics* g = Graphics();
  if (!g) return;
  const double before = g->Scale();
  g->SetScale(scale);
  if (g->Scale() != before && systemWindow) AskFrameForSize();
}

bool IVST3View::AskFrameForSize() {
  IGraphics* g = Graphics();
  if (!plugFrame || !g) return false;
  ViewRect r(0, 0, g->ScaledWidth(), g->ScaledHeight());
  return plugFrame->resizeView(this, &r) == kResultTrue;
}

}  // namespace selvarin
