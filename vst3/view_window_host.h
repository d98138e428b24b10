#pragma once
// The platform side of the editor view: which parent window types this
// system embeds into, and how the editor's window is opened inside one and
// kept running (Windows: the window's own timer; X11: the host's run loop).
// CMake compiles one implementation per system (vst3/x11/, vst3/win32/, or
// view_window_host_none.cpp where the editor has no window system).
#include <functional>
#include <memory>

#include "pluginterfaces/gui/iplugview.h"

namespace selvarin {

class IGraphics;

class ViewWindowHost {
 public:
  virtual ~ViewWindowHost() = default;
  virtual bool IsPlatformTypeSupported(Steinberg::FIDString type) const = 0;
  // Opens the editor's window inside parent; false when it cannot, in which
  // case nothing stays open. frame is the host's frame (may be null).
  virtual bool Open(IGraphics& graphics, void* parent, Steinberg::FIDString type, Steinberg::IPlugFrame* frame) = 0;
  // Closes what Open opened; nothing when nothing is open.
  virtual void Close() = 0;

  // The display scale this system gives the parent window, for a host that
  // sets none (1 where the system says nothing).
  virtual double SystemScale(void* parent) const {
    (void)parent;
    return 1.0;
  }
  // While open, onChange hears of a new scale the system gives the parent
  // (an empty function: no more). Systems that report no changes ignore it.
  virtual void FollowSystemScale(std::function<void(double)> onChange) { (void)onChange; }
};

std::unique_ptr<ViewWindowHost> CreateViewWindowHost();

}  // namespace selvarin
