#pragma once
// The editor's Windows window host: a child window of class
// "IEditorWndClass" inside the host's editor frame, the redraw timer, window
// messages translated into the graphics core's mouse and key entry points
// (window positions mapped to layout pixels at the display scale), the draw
// surface copied to the screen, in-place "EDIT" and "COMBOBOX"
// value entry, and the shell services (paths, web addresses, dialogs,
// image resources of the plug-in module).
#include <windows.h>

#include <functional>

#include "graphics/igraphics.h"

namespace selvarin {

class IGraphicsWin : public IGraphics {
 public:
  static constexpr const char* kWindowClass = "IEditorWndClass";
  static constexpr const char* kWindowTitle = "IEditor";
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEntryId = 99;
  static constexpr int kEntryTextSize = 1000;

  enum EntryState : int { kEntryNone = 0, kEntryEditing = 1, kEntryCancel = 2, kEntryCommit = 3 };

  IGraphicsWin(IAudioPlugin* plug, int width, int height, int frameRate);
  ~IGraphicsWin() override;

  // ---- OS slots ----
  bool PresentSurface(const IArea& rect) override;
  void Resize(int width, int height) override;
  bool HasEditorWindow() override { return window_ != nullptr; }
  void OpenTextEntry(IControl* control) override;
  void BeginValueEntry(IControl* control, IParamEntry* param, bool centred) override;
  void HostExecutablePath(char* out, int capacity) override;
  void ModuleFolderPath(char* out, int capacity) override;
  void AskForFile(char* inOut, int capacity, int action, const char* startFolder, const char* extensions) override;
  bool AskForColor(IRgba* inOut, const char* caption) override;
  bool OpenWebAddress(const char* url, const char* caption, const char* confirmText, const char* errorText) override;
  bool OnHostMouseWheel(float delta) override;
  void StartEditEndTimer(int ticks) override { countdown_ = ticks; }
  void CancelEditEndTimer() override { countdown_ = 0; }
  void* CreateEditorWindow(void* parent) override;
  void DestroyEditorWindow() override;
  void* EditorWindowHandle() override { return window_; }
  void SuppressDisabledTooltips() override {}
  RasterBitmap* LoadPlatformImage(int resourceId, const char* name) override;
  void OnScaleChanged() override;

  // While the window is open, onChange hears of each new display scale
  // Windows gives the parent window (its DPI changed); closing the window
  // ends it.
  void FollowParentScale(std::function<void(double)> onChange);

  // The instance handle of the module holding this code (the plug-in DLL):
  // its window class and image resources belong to it.
  HINSTANCE ModuleHandle() const { return module_; }
  // The open entry window, its state and countdown (for inspection).
  HWND EntryWindow() const { return entryWindow_; }
  int EntryState() const { return entryState_; }
  int EditEndCountdown() const { return countdown_; }
  // Windows still registered with the class (all editors in the process).
  static int WindowClassUsers();
  // The editor's key value of a virtual key; -1 when it is not translated.
  static int TranslateVirtualKey(WPARAM key);

 private:
  // The frame rate the window being created starts its timer with.
  static double CreationFrameRate();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEntryMessage(HWND entry, UINT message, WPARAM wParam, LPARAM lParam);
  void Tick();
  void TickEntry();
  // Tells the follower when the parent's scale is no longer the one it knew.
  void CheckParentScale();
  // Places the open entry window over its layout rectangle at the scale,
  // with its font at the scaled size.
  void PlaceEntry();
  void CloseEntry();
  void ForgetEntry();
  void WindowGone();
  bool RegisterWindowClass();
  void UnregisterWindowClass();

  HINSTANCE module_ = nullptr;
  HWND window_ = nullptr;
  HWND tooltipWindow_ = nullptr;
  HWND entryWindow_ = nullptr;
  IControl* entryControl_ = nullptr;
  IParamEntry* entryParam_ = nullptr;
  WNDPROC entryStandardProc_ = nullptr;
  int entryState_ = kEntryNone;
  HFONT entryFont_ = nullptr;
  IArea entryRect_;  // layout pixels
  std::function<void(double)> parentScaleChanged_;
  double parentScale_ = 1.0;
  bool tooltipShown_ = false;
  int lastTooltipIndex_ = -1;
  int countdown_ = 0;
  COLORREF* customColours_ = nullptr;
  HWND parent_ = nullptr;
};

}  // namespace selvarin
