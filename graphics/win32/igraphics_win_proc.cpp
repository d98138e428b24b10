// The editor window's procedure and its timer tick.
#include "graphics/win32/igraphics_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include "framework/audio_plugin.h"

namespace selvarin {

namespace {

// WM_DPICHANGED_AFTERPARENT (Windows 10 1703), named here for older headers.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

IPointerState PointerState(WPARAM wParam) {
  IPointerState mod;
  mod.L = (wParam & MK_LBUTTON) != 0;
  mod.R = (wParam & MK_RBUTTON) != 0;
  mod.S = (wParam & MK_SHIFT) != 0;
  mod.C = (wParam & MK_CONTROL) != 0;
  mod.A = GetKeyState(VK_MENU) < 0;
  return mod;
}

}  // namespace

int IGraphicsWin::TranslateVirtualKey(WPARAM key) {
  switch (key) {
    case VK_SPACE: return 0;
    case VK_UP: return 1;
    case VK_DOWN: return 2;
    case VK_LEFT: return 3;
    case VK_RIGHT: return 4;
    default: break;
  }
  if (key >= '0' && key <= '9') return static_cast<int>(key) - 42;
  if (key >= 'A' && key <= 'Z') return static_cast<int>(key) - 49;
  return -1;
}

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* g = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(g));
    g->window_ = window;
    const UINT period = static_cast<UINT>(1000.0 / CreationFrameRate());
    SetTimer(window, kTimerId, period, nullptr);
    SetFocus(window);
    if (g->acceptFileDrops) DragAcceptFiles(window, TRUE);
    return 0;
  }
  auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!g || window != g->window_) return DefWindowProcA(window, message, wParam, lParam);
  return g->HandleMessage(message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Mouse positions in the editor's layout pixels.
  const int x = ToLayout(GET_X_LPARAM(lParam)), y = ToLayout(GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_PAINT: {
      RECT r;
      if (GetUpdateRect(window_, &r, FALSE)) {
        // The layout area whose drawing covers the window's update area.
        Draw(LayoutCovering(IArea{r.left, r.top, r.right, r.bottom}));
        // An editor without controls draws nothing; the area still counts
        // as painted, or Windows would ask again at once.
        ValidateRect(window_, &r);
      }
      return 0;
    }
    case WM_CLOSE:
      DestroyEditorWindow();
      return 0;
    case WM_MOUSEACTIVATE:
      SetFocus(window_);
      return MA_ACTIVATE;
    case WM_KEYDOWN: {
      const int key = TranslateVirtualKey(wParam);
      if (key < 0) return 0;
      POINT p{};
      GetCursorPos(&p);
      ScreenToClient(window_, &p);
      OnKeyDown(ToLayout(p.x), ToLayout(p.y), key);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) Tick();
      return 0;
    case WM_CTLCOLORSTATIC:
      return Plugin() ? Plugin()->OnWindowColorMessage(wParam, lParam, message) : 0;
    case WM_MOUSEMOVE:
      if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
        if (GetCapture() == window_) OnMouseDrag(x, y, PointerState(wParam));
      } else if (OnMouseOver(x, y, PointerState(wParam))) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window_;
        TrackMouseEvent(&track);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ::ReleaseCapture();
      OnMouseUp(x, y, PointerState(wParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (OnMouseDoubleClick(x, y, PointerState(wParam))) SetCapture(window_);
      return 0;
    case WM_RBUTTONDOWN:
      if (entryWindow_) {
        // A right click in the editor cancels the entry.
        const bool wasEditing = entryState_ == kEntryEditing;
        entryState_ = kEntryCancel;
        if (!wasEditing && !entryParam_) CommitEnteredText(entryControl_, nullptr, "");
        return 0;
      }
      SetCapture(window_);
      OnMouseDown(x, y, PointerState(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      if (entryWindow_) entryState_ = kEntryCommit;  // a click elsewhere commits the entry
      SetCapture(window_);
      OnMouseDown(x, y, PointerState(wParam));
      return 0;
    case WM_MOUSEWHEEL: {
      RECT r{};
      GetWindowRect(window_, &r);
      const int delta = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
      OnMouseWheel(ToLayout(GET_X_LPARAM(lParam) - r.left), ToLayout(GET_Y_LPARAM(lParam) - r.top),
                   PointerState(GET_KEYSTATE_WPARAM(wParam)), delta);
      return 0;
    }
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      char path[261] = {};
      POINT p{};
      if (DragQueryFileA(drop, 0, path, 260) > 0 && DragQueryPoint(drop, &p))
        OnFileDrop(ToLayout(p.x), ToLayout(p.y), path);
      DragFinish(drop);
      return 0;
    }
    case WM_MOUSEHOVER:
      return 0;
    case kDpiChangedAfterParent:
      CheckParentScale();
      return 0;
    case WM_MOUSELEAVE:
      OnMouseOut();
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcA(window_, message, wParam, lParam);
      WindowGone();
      return result;
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void IGraphicsWin::Tick() {
  // Not every host passes a DPI change on to its children: look each tick.
  CheckParentScale();
  TickEntry();
  IArea dirty;
  if (NeedsRedraw(&dirty)) {
    const IArea d = ToDevice(dirty);
    RECT r{d.L, d.T, d.R, d.B};
    InvalidateRect(window_, &r, FALSE);
    if (entryWindow_) {
      // Painting never covers the open entry.
      RECT entry{};
      GetClientRect(entryWindow_, &entry);
      MapWindowPoints(entryWindow_, window_, reinterpret_cast<POINT*>(&entry), 2);
      ValidateRect(window_, &entry);
    }
    UpdateWindow(window_);
  }
  if (countdown_ > 0 && --countdown_ == 0 && Plugin()) Plugin()->FlushDeferredEndEdit();
}

}  // namespace selvarin
