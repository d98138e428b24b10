#pragma once
// The application's window on this system (x11/ or win32/, chosen by
// CMake): a top-level window of a fixed client size holding panes (child
// windows of the application's own) for the editor view, the strip and the
// list sheet; the run loop; the Space key and the close button.
#include <functional>
#include <memory>
#include <string>

#include "pluginterfaces/base/funknown.h"

namespace selvarin {

class IGraphics;

class AppWindowEvents {
 public:
  virtual ~AppWindowEvents() = default;
  // The close button, or a request to quit from the system.
  virtual void OnCloseRequested() = 0;
  // Space, wherever the keyboard focus is inside the window.
  virtual void OnPlayKey() = 0;
  // Every 100 ms.
  virtual void OnTick() = 0;
  // The window was minimised (false) or shown again (true).
  virtual void OnShown(bool shown) = 0;
};

class AppWindow {
 public:
  virtual ~AppWindow() = default;
  static std::unique_ptr<AppWindow> Create();

  // Creates the window, not yet shown; DisplayScale is known from then on.
  virtual bool Open(const std::string& title, int width, int height, AppWindowEvents* events, std::string* error) = 0;
  virtual void Show() = 0;
  virtual void SetClientSize(int width, int height) = 0;

  // A pane: a child area at (x, y) of the client area; its native handle is
  // what a view or a graphics window opens inside.
  virtual void* AddPane(int x, int y, int width, int height) = 0;
  virtual void MovePane(void* pane, int x, int y, int width, int height) = 0;
  virtual void ShowPane(void* pane, bool show) = 0;
  virtual void RemovePane(void* pane) = 0;

  // The platform type an editor view is attached with, and the run loop a
  // Linux view asks its frame for (null where views run themselves).
  virtual const char* ViewPlatformType() const = 0;
  virtual Steinberg::FUnknown* ViewRunLoop() = 0;

  // Opens the application's own graphics (strip, sheet) inside a pane and
  // keeps them drawn and fed with input; Close undoes it.
  virtual bool OpenGraphics(IGraphics* g, void* pane) = 0;
  virtual void CloseGraphics(IGraphics* g) = 0;

  // Pixels per logical pixel of the display the window is on (1 at 96 dpi).
  virtual double DisplayScale() const = 0;

  // Runs fn after the event being handled.
  virtual void Post(std::function<void()> fn) = 0;
  virtual void Run() = 0;
  virtual void Quit() = 0;
};

}  // namespace selvarin
