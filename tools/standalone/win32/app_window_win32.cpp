// The application's window on Windows: a top-level window of a fixed size,
// child windows (clipping their siblings) as panes, the message loop, which
// takes Space before the focused window sees it, and a 100 ms timer.
#include <windows.h>

#include <cstring>
#include <vector>

#include "graphics/win32/igraphics_win.h"
#include "tools/platform/win32/wide_path.h"
#include "tools/standalone/app_window.h"
#include "tools/standalone/display_scale.h"

namespace selvarin {

namespace {

constexpr wchar_t kWindowClass[] = L"SelvarinWindow";
constexpr wchar_t kPaneClass[] = L"SelvarinPane";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kRunPosted = WM_APP + 1;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
const COLORREF kBackground = RGB(23, 27, 33);

HWND gMainWindow = nullptr;  // for the console's Ctrl+C

BOOL WINAPI OnConsoleBreak(DWORD) {
  if (gMainWindow) PostMessageW(gMainWindow, WM_CLOSE, 0, 0);
  return TRUE;
}

// The window under the keyboard that takes typed text itself (the
// editor's value entry) keeps its keys.
bool FocusTakesText() {
  HWND focus = GetFocus();
  if (!focus) return false;
  char name[32] = {};
  GetClassNameA(focus, name, sizeof name);
  return _stricmp(name, "Edit") == 0 || _stricmp(name, "ComboBox") == 0;
}

class Win32AppWindow : public AppWindow {
 public:
  ~Win32AppWindow() override {
    for (IGraphicsWin* g : opened_) g->DestroyEditorWindow();
    if (window_) {
      KillTimer(window_, kTickTimer);
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
    if (gMainWindow == window_) gMainWindow = nullptr;
    if (brush_) DeleteObject(brush_);
  }

  bool Open(const std::string& title, int width, int height, AppWindowEvents* events, std::string* error) override {
    events_ = events;
    // The window is drawn at the display's scale by the application itself
    // (editor and strip), not enlarged by Windows as a picture.
    SetProcessDPIAware();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    brush_ = CreateSolidBrush(kBackground);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Win32AppWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = brush_;
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    WNDCLASSW pane{};
    pane.lpfnWndProc = DefWindowProcW;
    pane.hInstance = instance;
    pane.hCursor = wc.hCursor;
    pane.hbrBackground = brush_;
    pane.lpszClassName = kPaneClass;
    RegisterClassW(&pane);
    const SIZE outer = OuterSize(width, height);
    window_ = CreateWindowExW(0, kWindowClass, WidePath(title).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                              outer.cy, nullptr, nullptr, instance, nullptr);
    if (!window_) {
      *error = "cannot create the window";
      return false;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(window_, kTickTimer, 100, nullptr);
    gMainWindow = window_;
    SetConsoleCtrlHandler(&OnConsoleBreak, TRUE);
    return true;
  }

  void Show() override {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
  }

  void SetClientSize(int width, int height) override {
    const SIZE outer = OuterSize(width, height);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void* AddPane(int x, int y, int width, int height) override {
    return CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, width,
                           height, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  void MovePane(void* pane, int x, int y, int width, int height) override {
    SetWindowPos(static_cast<HWND>(pane), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void ShowPane(void* pane, bool show) override { ShowWindow(static_cast<HWND>(pane), show ? SW_SHOW : SW_HIDE); }

  void RemovePane(void* pane) override { DestroyWindow(static_cast<HWND>(pane)); }

  const char* ViewPlatformType() const override { return "HWND"; }
  Steinberg::FUnknown* ViewRunLoop() override { return nullptr; }

  bool OpenGraphics(IGraphics* g, void* pane) override {
    auto* w = dynamic_cast<IGraphicsWin*>(g);
    if (!w || !w->CreateEditorWindow(pane)) return false;
    opened_.push_back(w);
    return true;
  }

  void CloseGraphics(IGraphics* g) override {
    for (size_t i = 0; i < opened_.size(); ++i) {
      if (opened_[i] != g) continue;
      opened_[i]->DestroyEditorWindow();
      opened_.erase(opened_.begin() + static_cast<long>(i));
      return;
    }
  }

  double DisplayScale() const override {
    using DpiFn = UINT(WINAPI*)(HWND);
    auto dpiForWindow = reinterpret_cast<DpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (dpiForWindow && window_) return ScaleFromDpi(dpiForWindow(window_));
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return ScaleFromDpi(dpi);
  }

  void Post(std::function<void()> fn) override {
    posted_.push_back(std::move(fn));
    PostMessageW(window_, kRunPosted, 0, 0);
  }

  void Run() override {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_SPACE && !FocusTakesText()) {
        // Bit 30: the key was down before (a repeat of a held key).
        if (msg.message == WM_KEYDOWN && !(msg.lParam & (1 << 30))) events_->OnPlayKey();
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void Quit() override { PostQuitMessage(0); }

 private:
  static SIZE OuterSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32AppWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      switch (message) {
        case WM_CLOSE:
          self->events_->OnCloseRequested();
          return 0;
        case WM_SIZE:
          if (wParam == SIZE_MINIMIZED)
            self->events_->OnShown(false);
          else if (wParam == SIZE_RESTORED)
            self->events_->OnShown(true);
          break;
        case WM_TIMER:
          if (wParam == kTickTimer) self->events_->OnTick();
          return 0;
        case kRunPosted:
          self->RunPosted();
          return 0;
        default:
          break;
      }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  void RunPosted() {
    std::vector<std::function<void()>> work;
    work.swap(posted_);
    for (const auto& fn : work) fn();
  }

  HWND window_ = nullptr;
  HBRUSH brush_ = nullptr;
  AppWindowEvents* events_ = nullptr;
  std::vector<IGraphicsWin*> opened_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace

std::unique_ptr<AppWindow> AppWindow::Create() { return std::make_unique<Win32AppWindow>(); }

}  // namespace selvarin
