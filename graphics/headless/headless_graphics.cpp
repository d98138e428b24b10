#include "graphics/headless/headless_graphics.h"

#include "framework/audio_plugin.h"
#include "framework/bounded_copy.h"
#include "raster/raster_draw.h"
#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

HeadlessGraphics::HeadlessGraphics(IAudioPlugin* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate) {}

HeadlessGraphics::~HeadlessGraphics() { DestroyEditorWindow(); }

RasterBitmap* HeadlessGraphics::Screen() { return screen_.get(); }

void* HeadlessGraphics::CreateEditorWindow(void*) {
  if (windowOpen_) DestroyEditorWindow();
  if (!screen_) screen_.reset(new RasterMemBitmap(ScaledWidth(), ScaledHeight()));
  else screen_->Resize(ScaledWidth(), ScaledHeight());
  windowOpen_ = true;
  MarkBackgroundDirty();  // the first tick paints everything
  return this;
}

void HeadlessGraphics::DestroyEditorWindow() {
  if (!windowOpen_) return;
  if (countdown_ > 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
  windowOpen_ = false;
  entry_.Forget();  // the entry goes with the window
}

void HeadlessGraphics::Resize(int width, int height) {
  entry_.Forget();  // its control goes with the others
  IGraphics::Resize(width, height);
  if (Surface()) Surface()->Resize(ScaledWidth(), ScaledHeight());
  if (screen_) screen_->Resize(ScaledWidth(), ScaledHeight());
}

void HeadlessGraphics::OnScaleChanged() {
  if (screen_) screen_->Resize(ScaledWidth(), ScaledHeight());
}

bool HeadlessGraphics::PresentSurface(const IArea& rect) {
  lastPresented_ = rect;
  if (presentedCount_ < kMaxDirtyRects) presented_[presentedCount_++] = rect;
  ++presentCount_;
  if (!screen_ || !Surface()) return true;
  const IArea d = ToDevice(rect);
  RasterBlit(screen_.get(), Surface(), d.L, d.T, d.L, d.T, d.W(), d.H(), 1.0f, kRasterCopy);
  // The entry lies above the panel, as a child window would.
  if (entry_.IsOpen()) entry_.Draw(*this, screen_.get());
  return true;
}

void HeadlessGraphics::BeginValueEntry(IControl* control, IParamEntry* param, bool centred) {
  if (entry_.Open(control, param, centred, Width(), Height()) && screen_) entry_.Draw(*this, screen_.get());
}

void HeadlessGraphics::HostExecutablePath(char* out, int capacity) {
  if (out && capacity > 0) out[0] = '\0';
}

void HeadlessGraphics::ModuleFolderPath(char* out, int capacity) {
  if (out && capacity > 0) out[0] = '\0';
}

void HeadlessGraphics::AskForFile(char* inOut, int capacity, int, const char*, const char*) {
  if (inOut && capacity > 0) inOut[0] = '\0';  // no dialog: nothing chosen
}

bool HeadlessGraphics::AskForColor(IRgba*, const char*) { return false; }

bool HeadlessGraphics::OpenWebAddress(const char* url, const char*, const char* confirmText, const char*) {
  if (!url || !*url) return false;
  if (confirmText) return false;  // no one to say yes
  lastUrl_ = url;
  return true;
}

RasterBitmap* HeadlessGraphics::LoadPlatformImage(int resourceId, const char*) {
  return RasterLoadPngFromResource(nullptr, resourceId);
}

// ---- events ----

void HeadlessGraphics::LeftDown(int wx, int wy, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  mod.L = true;
  if (entry_.IsOpen()) {
    if (entry_.Rect().Contains(x, y)) {
      entry_.OnClick(x, y);  // the entry's own window takes the press
      return;
    }
    entry_.RequestCommit();
  }
  OnMouseDown(x, y, mod);
}

void HeadlessGraphics::RightDown(int wx, int wy, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  mod.R = true;
  if (entry_.IsOpen()) {
    entry_.RequestCancel();
    return;
  }
  OnMouseDown(x, y, mod);
}

void HeadlessGraphics::ButtonUp(int wx, int wy, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  OnMouseUp(x, y, mod);
}

void HeadlessGraphics::MouseMove(int wx, int wy, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  if (mod.L || mod.R) {
    if (CaptureIndex() >= 0) OnMouseDrag(x, y, mod);
  } else {
    OnMouseOver(x, y, mod);
  }
}

void HeadlessGraphics::LeftDoubleClick(int wx, int wy, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  mod.L = true;
  OnMouseDoubleClick(x, y, mod);
}

void HeadlessGraphics::Wheel(int wx, int wy, int notches, IPointerState mod) {
  const int x = ToLayout(wx), y = ToLayout(wy);
  pointerX_ = x;
  pointerY_ = y;
  OnMouseWheel(x, y, mod, notches);
}

void HeadlessGraphics::MouseLeave() { OnMouseOut(); }

int HeadlessGraphics::TranslateKey(int vk) {
  if (vk == kVkSpace) return 0;
  if (vk == kVkUp) return 1;
  if (vk == kVkDown) return 2;
  if (vk == kVkLeft) return 3;
  if (vk == kVkRight) return 4;
  if (vk >= 0x30 && vk <= 0x39) return vk - 42;
  if (vk >= 0x41 && vk <= 0x5A) return vk - 49;
  return -1;
}

void HeadlessGraphics::KeyDown(int vk, char ch) {
  if (entry_.IsOpen()) {
    if (vk == kVkReturn) entry_.OnKey(kEntryKeyEnter);
    else if (vk == kVkBack) entry_.OnKey(kEntryKeyBackspace);
    else if (vk == kVkUp) entry_.OnKey(kEntryKeyUp);
    else if (vk == kVkDown) entry_.OnKey(kEntryKeyDown);
    else if (ch >= 32) entry_.OnKey(kEntryKeyChar, ch);
    else entry_.OnKey(kEntryKeyOther);
    return;
  }
  const int key = TranslateKey(vk);
  if (key >= 0) OnKeyDown(pointerX_, pointerY_, key);
}

void HeadlessGraphics::TypeText(const char* text) { entry_.TypeText(text); }


void HeadlessGraphics::Tick() {
  if (!windowOpen_) return;
  presentedCount_ = 0;
  TickEntryAndRepaint(*this, entry_);
  if (countdown_ > 0 && --countdown_ == 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
}

}  // namespace selvarin
