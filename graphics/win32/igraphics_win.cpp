// IGraphicsWin: the editor window's life, painting, resizing and the shell
// services. The window procedure and the in-place entry have files of
// their own.
#include "graphics/win32/igraphics_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "framework/audio_plugin.h"
#include "graphics/win32/win32_dpi.h"
#include "raster/raster_png.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {

namespace {

// Process-wide, touched only on the user-interface thread: how many open
// editor windows use the class, and the frame rate the window being created
// starts its timer with.
int gClassUsers = 0;
double gTimerFrameRate = 24.0;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

// The folder part of a module's file name, keeping the last backslash;
// empty when the name cannot be read, has no backslash or ends with one.
void FolderOfModule(HMODULE module, char* out, int capacity) {
  if (!out || capacity <= 0) return;
  out[0] = '\0';
  char name[257] = {};
  const DWORD n = GetModuleFileNameA(module, name, 256);
  if (n == 0 || n >= 256) return;
  char* slash = std::strrchr(name, '\\');
  if (!slash || slash[1] == '\0') return;
  slash[1] = '\0';
  const size_t length = std::strlen(name);
  if (length >= static_cast<size_t>(capacity)) return;
  std::memcpy(out, name, length + 1);
}

// A window grows or shrinks by the size difference (size only).
void GrowWindow(HWND window, int dw, int dh) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsPlainChild(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

}  // namespace

IGraphicsWin::IGraphicsWin(IAudioPlugin* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate), module_(ThisModule()) {}

IGraphicsWin::~IGraphicsWin() {
  DestroyEditorWindow();
  // After a window the host destroyed, the class may still be registered.
  if (gClassUsers == 0) UnregisterWindowClass();
  delete[] customColours_;
}

int IGraphicsWin::WindowClassUsers() { return gClassUsers; }

double IGraphicsWin::CreationFrameRate() { return gTimerFrameRate; }

bool IGraphicsWin::RegisterWindowClass() {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &IGraphicsWin::WindowProc;
  wc.hInstance = module_;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kWindowClass;
  return RegisterClassA(&wc) != 0;
}

void IGraphicsWin::UnregisterWindowClass() { UnregisterClassA(kWindowClass, module_); }

void* IGraphicsWin::CreateEditorWindow(void* parent) {
  parent_ = static_cast<HWND>(parent);
  int x = 0, y = 0, w = ScaledWidth(), h = ScaledHeight();
  if (window_) {
    // Re-opening keeps the window where it was, at its size.
    RECT pr{}, wr{};
    GetWindowRect(parent_, &pr);
    GetWindowRect(window_, &wr);
    x = wr.left - pr.left;
    y = wr.top - pr.top;
    w = wr.right - wr.left;
    h = wr.bottom - wr.top;
    DestroyEditorWindow();
  }
  if (gClassUsers == 0) RegisterWindowClass();
  ++gClassUsers;
  gTimerFrameRate = FrameRate() > 0 ? FrameRate() : 24;
  HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w, h, parent_, nullptr,
                                module_, this);
  if (!window) {
    window_ = nullptr;
    if (--gClassUsers == 0) UnregisterWindowClass();
    return nullptr;
  }
  window_ = window;
  MarkBackgroundDirty();  // the first tick paints everything
  return window_;
}

void IGraphicsWin::DestroyEditorWindow() {
  if (!window_) return;
  if (tooltipWindow_) {
    DestroyWindow(tooltipWindow_);
    tooltipWindow_ = nullptr;
  }
  tooltipShown_ = false;
  lastTooltipIndex_ = -1;
  if (countdown_ > 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
  HWND window = window_;
  DestroyWindow(window);  // its last message forgets it (WindowGone)
  if (window_ == window) WindowGone();
  // A class cannot go while a window of it exists, so not before now.
  if (gClassUsers == 0) UnregisterWindowClass();
}

// The window is gone, whoever destroyed it (the host may destroy its own
// window, and ours with it, without removing the view first): nothing may
// use the handle afterwards.
void IGraphicsWin::WindowGone() {
  if (!window_) return;
  if (countdown_ > 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
  window_ = nullptr;
  parentScaleChanged_ = nullptr;
  ForgetEntry();  // the entry window went with its parent
  if (gClassUsers > 0) --gClassUsers;
}

bool IGraphicsWin::PresentSurface(const IArea& rect) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RasterSysBitmap* surface = Surface();
  if (dc && surface && surface->DeviceContext()) {
    const IArea d = ToDevice(rect);
    BitBlt(dc, d.L, d.T, d.W(), d.H(), static_cast<HDC>(surface->DeviceContext()), d.L, d.T, SRCCOPY);
  }
  EndPaint(window_, &ps);
  return true;
}

void IGraphicsWin::Resize(int width, int height) {
  // An open entry goes: its control goes with the others, so it is not told.
  entryControl_ = nullptr;
  CloseEntry();
  const int oldWidth = ScaledWidth(), oldHeight = ScaledHeight();
  IGraphics::Resize(width, height);
  if (Surface()) Surface()->Resize(ScaledWidth(), ScaledHeight());
  if (!window_) return;
  const int dw = ScaledWidth() - oldWidth, dh = ScaledHeight() - oldHeight;
  RECT formerClient{};
  GetClientRect(window_, &formerClient);
  GrowWindow(window_, dw, dh);
  HWND parent = GetParent(window_);
  if (parent && IsPlainChild(window_)) {
    GrowWindow(parent, dw, dh);
    HWND grandparent = GetParent(parent);
    if (grandparent && IsPlainChild(parent)) GrowWindow(grandparent, dw, dh);
  }
  InvalidateRect(window_, &formerClient, FALSE);
}

void IGraphicsWin::HostExecutablePath(char* out, int capacity) { FolderOfModule(nullptr, out, capacity); }

void IGraphicsWin::ModuleFolderPath(char* out, int capacity) { FolderOfModule(module_, out, capacity); }

void IGraphicsWin::AskForFile(char* inOut, int capacity, int action, const char* startFolder, const char* extensions) {
  if (!inOut || capacity <= 0) return;
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = window_;
  ofn.lpstrFile = inOut;
  ofn.nMaxFile = static_cast<DWORD>(capacity);
  ofn.lpstrInitialDir = startFolder;
  ofn.lpstrFilter = extensions;
  ofn.Flags = OFN_NOCHANGEDIR;
  const BOOL chosen = action == 1 ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) inOut[0] = '\0';
}

bool IGraphicsWin::AskForColor(IRgba* inOut, const char* /*caption*/) {
  if (!inOut) return false;
  if (!customColours_) {
    customColours_ = new (std::nothrow) COLORREF[16]();
    if (!customColours_) return false;
  }
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = window_;
  cc.rgbResult = RGB(inOut->R, inOut->G, inOut->B);
  cc.lpCustColors = customColours_;
  cc.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!ChooseColorA(&cc)) return false;
  inOut->R = GetRValue(cc.rgbResult);
  inOut->G = GetGValue(cc.rgbResult);
  inOut->B = GetBValue(cc.rgbResult);
  return true;
}

bool IGraphicsWin::OpenWebAddress(const char* url, const char* caption, const char* confirmText,
                                  const char* errorText) {
  if (!url) return false;
  if (confirmText && MessageBoxA(window_, confirmText, caption, MB_YESNO) != IDYES) return false;
  const INT_PTR result =
      reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  if (errorText) MessageBoxA(window_, errorText, caption, MB_OK);
  return false;
}

bool IGraphicsWin::OnHostMouseWheel(float delta) {
  POINT p;
  if (!window_ || !GetCursorPos(&p) || WindowFromPoint(p) != window_) return false;
  RECT r;
  GetWindowRect(window_, &r);
  IPointerState mod;
  mod.S = GetKeyState(VK_SHIFT) < 0;
  mod.C = GetKeyState(VK_CONTROL) < 0;
  mod.A = GetKeyState(VK_MENU) < 0;
  OnMouseWheel(ToLayout(p.x - r.left), ToLayout(p.y - r.top), mod, static_cast<int>(delta));
  return true;
}

RasterBitmap* IGraphicsWin::LoadPlatformImage(int resourceId, const char* /*name*/) {
  return RasterLoadPngFromResource(module_, resourceId);
}

// ---- display scale ----

void IGraphicsWin::OnScaleChanged() {
  if (!window_) return;
  // The editor's own window only: the host's frame sizes its own windows.
  SetWindowPos(window_, nullptr, 0, 0, ScaledWidth(), ScaledHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceEntry();
  InvalidateRect(window_, nullptr, FALSE);
}

void IGraphicsWin::FollowParentScale(std::function<void(double)> onChange) {
  parentScaleChanged_ = window_ ? std::move(onChange) : nullptr;
  parentScale_ = Win32WindowScale(parent_);
}

void IGraphicsWin::CheckParentScale() {
  if (!parentScaleChanged_) return;
  const double s = Win32WindowScale(parent_);
  if (s == parentScale_) return;
  parentScale_ = s;
  const std::function<void(double)> tell = parentScaleChanged_;
  tell(s);
}

}  // namespace selvarin
