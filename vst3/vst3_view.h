#pragma once
// IVST3View: the editor view a host attaches to a window of its own. It owns
// nothing of the editor: the graphics object lives as long as the plug-in;
// each attach opens the editor's window inside the host's window and each
// remove closes it, so controls and values survive any number of attaches.
// The editor is one window per instance: while one view is attached, the
// attach of another view of the same instance is refused.
//
// Display scale: the host's content scale factor wins; without one the view
// takes the system's scale for the parent window when it is attached (and
// follows the system's changes). The view's size is the editor's times the
// scale; a new scale while attached asks the host's frame for that size.
#include <memory>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"
#include "vst3/view_window_host.h"

namespace selvarin {

class IGraphics;
class IVST3Adapter;

class IVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
 public:
  // Takes a reference on the adapter for the view's whole life.
  explicit IVST3View(IVST3Adapter* plug);
  ~IVST3View() override;

  // ---- FUnknown, for both interfaces ----
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return CPluginView::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return CPluginView::release(); }

  // ---- IPlugViewContentScaleSupport ----
  // NaN and factors not above 0 are refused (false, nothing changes);
  // others are limited to 1..4 and win over the system's scale.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

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

  // The plug-in asks its host for a new editor size (layout pixels; the
  // host is asked for that size times the scale) through this view.
  bool RequestResize(int width, int height);
  bool HasFrame() const { return plugFrame != nullptr; }

 private:
  IGraphics* Graphics() const;
  // Before the window opens: the editor takes the host's scale, or else the
  // system's for the parent. True when the scale changed.
  bool TakeScaleFor(void* parent);
  // After it opened: the system's later changes reach the editor while the
  // host has set no scale of its own.
  void FollowSystemScale();
  // A new scale: the editor redraws at it and, while attached, the host's
  // frame is asked for the new size.
  void ApplyScale(double scale);
  // Asks the frame for the editor's size at its scale.
  bool AskFrameForSize();
  bool OtherViewShowsEditor() const;

  IVST3Adapter* plug_;
  std::unique_ptr<ViewWindowHost> windowHost_;
  bool resizePending_ = false;
  double hostScale_ = 0.0;  // the host's factor; 0 while it has given none
};

}  // namespace selvarin
