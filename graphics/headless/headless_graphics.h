#pragma once
// A window host without a window system: the "window" is a screen bitmap
// that PresentSurface copies into, and the caller drives the timer ticks and
// delivers mouse and key events as a window system would. Tests, the
// snapshot tool and benchmarks use it, and so does a plug-in module built
// with the headless window host (its editor embeds nothing).
#include <memory>
#include <string>

#include "graphics/headless/value_entry.h"
#include "graphics/igraphics.h"

namespace selvarin {

class RasterMemBitmap;

// Virtual-key codes the host translates into the editor's key values.
enum HeadlessVirtualKey : int {
  kVkSpace = 0x20,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkReturn = 0x0D,
  kVkBack = 0x08,
  kVkEscape = 0x1B,
  kVkF1 = 0x70,
};

class HeadlessGraphics : public IGraphics {
 public:
  HeadlessGraphics(IAudioPlugin* plug, int width, int height, int frameRate);
  ~HeadlessGraphics() override;

  // ---- OS slots ----
  bool PresentSurface(const IArea& rect) override;
  // As the core's, and the draw surface and the screen take the new size.
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
  void* CreateEditorWindow(void* parent) override;
  void DestroyEditorWindow() override;
  void* EditorWindowHandle() override { return windowOpen_ ? this : nullptr; }
  void SuppressDisabledTooltips() override {}
  RasterBitmap* LoadPlatformImage(int resourceId, const char* name) override;
  void OnScaleChanged() override;

  // ---- what a window system would deliver (window positions: device
  // pixels, which the host turns into the editor's layout pixels) ----
  void LeftDown(int x, int y, IPointerState mod = {});
  void RightDown(int x, int y, IPointerState mod = {});
  void ButtonUp(int x, int y, IPointerState mod = {});
  // Moves the pointer; with a button held it drags the captured control.
  void MouseMove(int x, int y, IPointerState mod = {});
  void LeftDoubleClick(int x, int y, IPointerState mod = {});
  void Wheel(int x, int y, int notches, IPointerState mod = {});
  void MouseLeave();
  // A key press at the pointer; an open entry takes it instead.
  void KeyDown(int virtualKey, char ch = 0);
  // Types characters into the open entry ("\n" is Enter).
  void TypeText(const char* text);
  // One timer period: entry state machine, redraw, end-of-edit countdown.
  void Tick();

  // ---- inspection ----
  // The window's pixels: the editor at its scaled size.
  RasterBitmap* Screen();
  ValueEntry& Entry() { return entry_; }
  const std::string& LastWebAddress() const { return lastUrl_; }
  int EditEndCountdown() const { return countdown_; }
  // The rectangle (layout pixels) of the last copy to the screen and the
  // number of copies.
  const IArea& LastPresented() const { return lastPresented_; }
  int PresentCount() const { return presentCount_; }
  // The rectangles the last tick repainted.
  int PresentedInTick() const { return presentedCount_; }
  const IArea& PresentedRect(int i) const { return presented_[i]; }
  static constexpr int kMaxDirtyRects = kMaxRepaintGroups;
  // Editor key value of a virtual key, or -1 when the key is not translated.
  static int TranslateKey(int virtualKey);

 private:

  std::unique_ptr<RasterMemBitmap> screen_;
  bool windowOpen_ = false;
  int countdown_ = 0;
  int pointerX_ = 0, pointerY_ = 0;
  ValueEntry entry_;
  std::string lastUrl_;
  IArea lastPresented_;
  int presentCount_ = 0;
  IArea presented_[kMaxDirtyRects];
  int presentedCount_ = 0;
};

}  // namespace selvarin
