#pragma once
// IVST3View: the editor view a host attaches to a window of its own. It owns
// nothing of the editor: the graphics object lives as long as the plug-in;
// each attach opens the editor's window inside the host's window and each
// remove closes it, so controls and values survive any number of attaches.
// The editor is one window per instance: while one view is attached, the
// attach of another view of the same instance is refused.
#include <memory>

#include "public.sdk/source/common/pluginview.h"
#include "vst3/view_window_host.h"

namespace selvarin {

class IGraphics;
class IVST3Adapter;

class IVST3View : public Steinberg::CPluginView {
 public:
  // Takes a reference on the adapter for the view's whole life.
  explicit IVST3View(IVST3Adapter* plug);
  ~IVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onWheel(float) override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16, Steinberg::int16, Steinberg::int16) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16, Steinberg::int16, Steinberg::int16) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool) override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;

  // The plug-in asks its host for a new editor size through this view.
  bool RequestResize(int width, int height);
  bool HasFrame() const { return plugFrame != nullptr; }

 private:
  IGraphics* Graphics() const;

  IVST3Adapter* plug_;
  std::unique_ptr<ViewWindowHost> windowHost_;
  bool resizePending_ = false;
};

}  // namespace selvarin
