#pragma once
// IVST3View: the editor view a host attaches to a window of its own. It owns
// nothing of the editor: each attach opens the plug-in's editor window as a
// child of the host's window and each remove closes it; the graphics object
// lives as long as the plug-in.
#include "public.sdk/source/common/pluginview.h"

namespace selvarin {

class IGraphics;
class IVST3Adapter;

class IVST3View : public Steinberg::CPluginView {
 public:
  // Holds a reference on the adapter for its whole life and joins its views.
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
  Steinberg::tresult PLUGIN_API canResize() override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect*) override { return Steinberg::kResultFalse; }

  // The plug-in asks the host's frame for a new size; the host's onSize
  // answer then reaches the plug-in. False without a frame.
  bool RequestResize(int width, int height);
  bool ResizePending() const { return resizePending_; }

 private:
  IGraphics* Graphics() const;

  IVST3Adapter* plug_;
  bool resizePending_ = false;
};

}  // namespace selvarin
