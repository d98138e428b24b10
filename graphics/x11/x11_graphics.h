#pragma once
// The editor's window host on X11: a child window of the host's window on a
// connection of its own, the surface copied into it, X input turned into the
// graphics core's mouse and key entry points, and the self-drawn in-place
// value entry drawn above the panel.
//
// It has no thread and no timer of its own: whoever embeds it (the VST3
// view, through the host's run loop) calls Tick every timer period and
// ProcessEvents whenever the connection's descriptor is readable. Both
// return after at most one paint. The window has the editor's scaled size;
// pointer positions are turned into layout pixels as they arrive.
#include <cstdint>
#include <memory>

#include <xcb/xcb.h>

#include "graphics/headless/value_entry.h"
#include "graphics/igraphics.h"
#include "graphics/x11/pointer_clicks.h"
#include "graphics/x11/x11_image_presenter.h"
#include "graphics/x11/x11_keys.h"
#include "graphics/x11/xembed_client.h"

namespace selvarin {

class RasterMemBitmap;

class X11Graphics : public IGraphics {
 public:
  X11Graphics(IAudioPlugin* plug, int width, int height, int frameRate);
  ~X11Graphics() override;

  // ---- OS slots ----
  bool PresentSurface(const IArea& rect) override;
  void Resize(int width, int height) override;
  void OpenTextEntry(IControl* control) override { (void)control; }
  void BeginValueEntry(IControl* control, IParamEntry* param, bool centred) override;
  void HostExecutablePath(char* out, int capacity) override;
  void ModuleFolderPath(char* out, int capacity) override;
  void AskForFile(char* inOut, int capacity, int action, const char* startFolder, const char* extensions) override;
  bool AskForColor(IRgba* inOut, const char* caption) override;
  bool OpenWebAddress(const char* url, const char* caption, const char* confirmText, const char* errorText) override;
  void StartEditEndTimer(int ticks) override { countdown_ = ticks; }
  void CancelEditEndTimer() override { countdown_ = 0; }
  // parent: the host's X11 window id. Returns the editor's window id (as a
  // pointer-sized value) or null when no window could be made.
  void* CreateEditorWindow(void* parent) override;
  void DestroyEditorWindow() override;
  void* EditorWindowHandle() override;
  void SuppressDisabledTooltips() override {}
  RasterBitmap* LoadPlatformImage(int resourceId, const char* name) override;
  void OnScaleChanged() override;

  // ---- what the embedding drives ----
  // The descriptor to watch for readability; -1 without a window.
  int ConnectionFd() const;
  // Handles every event that has arrived; never waits for one.
  void ProcessEvents();
  // One timer period: entry state machine, redraw, end-of-edit countdown.
  void Tick();
  // Milliseconds between ticks: trunc(1000 / frame rate).
  int TickPeriodMs() const { return static_cast<int>(1000.0 / FrameRate()); }
  // The connection failed (the server went away): nothing more will come.
  bool ConnectionBroken() const;

  uint32_t WindowId() const { return window_; }
  const ValueEntry& Entry() const { return entry_; }
  bool UsesSharedMemory() const { return presenter_.UsesSharedMemory(); }

 private:
  void HandleEvent(const xcb_generic_event_t* ev);
  void OnButtonPress(const xcb_button_press_event_t* ev);
  void OnButtonRelease(const xcb_button_release_event_t* ev);
  void OnMotion(const xcb_motion_notify_event_t* ev);
  void OnKeyPress(const xcb_key_press_event_t* ev);
  void OnExpose(const xcb_expose_event_t* ev);
  void OnClientMessage(const xcb_client_message_event_t* ev);
  // The editor's window gained or lost the keyboard (X focus, or the
  // embedder's word for it): an open entry hears of it.
  void OnKeyboardFocus(bool gained);
  // Copies a rectangle of the panel (with the entry above it) to the window.
  void ShowOnWindow(const IArea& rect);
  // The window and what it keeps of the panel take the scaled size.
  void FitWindowToScaledSize();
  void CloseConnection();

  xcb_connection_t* conn_ = nullptr;
  xcb_window_t window_ = 0;
  X11ImagePresenter presenter_;
  X11KeyboardMap keys_;
  XEmbedClient xembed_;
  DoubleClickDetector clicks_;
  // What the window shows: the panel and, above it, an open entry.
  std::unique_ptr<RasterMemBitmap> screen_;
  ValueEntry entry_;
  IArea exposed_;  // device pixels
  int pointerX_ = 0, pointerY_ = 0;
  int countdown_ = 0;
  // Per button (left, right): whether its press reached the panel, so that
  // its release does too.
  bool pressReachedCore_[2] = {false, false};
};

}  // namespace selvarin
