#pragma once
// The platform side of the editor view: which parent window types this
// system embeds into, and how the editor's window is opened inside one and
// kept running (Windows: the window's own timer; X11: the host's run loop).
// CMake compiles one implementation per system (vst3/x11/, vst3/win32/, or
// view_window_host_none.cpp where the editor has no window system).
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
};

std::unique_ptr<ViewWindowHost> CreateViewWindowHost();

}  // namespace selvarin
