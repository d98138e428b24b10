// In-place value entry over a control: an "EDIT" box, or a "COMBOBOX"
// drop-down list for parameters with display texts. Enter, a list choice or
// a left click in the editor commit; a right click in the editor cancels;
// the commit or cancel takes effect at the next timer tick.
#include <algorithm>
#include <cstring>

#include "framework/param_entry.h"
#include "graphics/icontrol.h"
#include "graphics/win32/igraphics_win.h"

namespace selvarin {

void IGraphicsWin::OpenTextEntry(IControl* control) {
  // No control of this editor edits its own text in place.
  (void)control;
}

void IGraphicsWin::BeginValueEntry(IControl* control, IParamEntry* param, bool centred) {
  if (!control || !param || entryWindow_ || !window_) return;
  const IArea& rc = control->rect;
  const int cx = static_cast<int>((rc.L + rc.R) * 0.5), cy = static_cast<int>((rc.T + rc.B) * 0.5);
  char initial[IParamEntry::kTextSize];
  param->FormatValue(param->Value(), false, initial);

  const bool list =
      param->DisplayTextCount() > 0 && (param->Kind() == kParamEnum || param->Kind() == kParamBool);
  HWND entry = nullptr;
  if (list) {
    const int count = param->DisplayTextCount();
    size_t longest = 0;
    for (int i = 0; i < count; ++i) longest = std::max(longest, std::strlen(param->DisplayTextAt(i)->text));
    int w = 8 * static_cast<int>(longest) + 24, x = rc.L, y = cy, h = rc.H();
    if (centred) {
      x = cx - w / 2;
      h = 36 * (count + 1);
    } else {
      w = rc.W();
    }
    entryRect_ = IArea{x, y, x + w, y + h};
    const IArea d = ToDevice(entryRect_);
    entry = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, d.L, d.T, d.W(), d.H(),
                            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryId)), module_, nullptr);
    if (!entry) return;
    int selection = -1;
    for (int i = 0; i < count; ++i) {
      const char* text = param->DisplayTextAt(i)->text;
      SendMessageA(entry, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      if (std::strcmp(text, initial) == 0) selection = i;
    }
    SendMessageA(entry, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
  } else {
    DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE;
    int x = rc.L, y = rc.T, w = rc.W(), h = rc.H();
    if (centred) {
      char widest[IParamEntry::kTextSize];
      param->FormatValue(1.0, true, widest);
      w = std::max(32, 7 * static_cast<int>(std::strlen(widest)) + 6);
      x = cx - w / 2;
      y = cy - 8;
      h = 16;
      style |= ES_CENTER;
    }
    entryRect_ = IArea{x, y, x + w, y + h};
    const IArea d = ToDevice(entryRect_);
    entry = CreateWindowExA(0, "EDIT", initial, style, d.L, d.T, d.W(), d.H(), window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryId)), module_, nullptr);
    if (!entry) return;
    SendMessageA(entry, EM_SETSEL, 0, -1);
  }
  entryWindow_ = entry;
  entryControl_ = control;
  entryParam_ = param;
  entryState_ = kEntryNone;
  SetFocus(entry);
  entryStandardProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWin::EntryProc)));
  entryFont_ = CreateFontA(ToDevice(14), 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  if (entryFont_) SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), TRUE);
}

void IGraphicsWin::PlaceEntry() {
  if (!entryWindow_) return;
  const IArea d = ToDevice(entryRect_);
  MoveWindow(entryWindow_, d.L, d.T, d.W(), d.H(), TRUE);
  HFONT font = CreateFontA(ToDevice(14), 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  if (!font) return;
  SendMessageA(entryWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // The former font goes once the entry no longer uses it.
  if (entryFont_) DeleteObject(entryFont_);
  entryFont_ = font;
}

LRESULT CALLBACK IGraphicsWin::EntryProc(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(entry), GWLP_USERDATA));
  if (!g || entry != g->entryWindow_ || !g->entryStandardProc_) {
    return DefWindowProcA(entry, message, wParam, lParam);
  }
  return g->HandleEntryMessage(entry, message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC standard = entryStandardProc_;
  switch (message) {
    case WM_SETFOCUS:
      entryState_ = kEntryEditing;
      break;
    case WM_KILLFOCUS:
      entryState_ = kEntryNone;  // losing the focus neither commits nor cancels
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        char name[8] = {};
        if (GetClassNameA(entry, name, sizeof name) == 4 && _stricmp(name, "EDIT") == 0) {
          SendMessageA(entry, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        }
        entryState_ = kEntryCommit;
        return 0;
      }
      entryState_ = kEntryEditing;
      break;
    case WM_GETDLGCODE: {
      const LRESULT code = CallWindowProcA(standard, entry, message, wParam, lParam);
      const MSG* msg = reinterpret_cast<const MSG*>(lParam);
      const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
      if (!entryParam_ && enter) return code | DLGC_WANTMESSAGE;
      return code;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        entryState_ = kEntryCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(standard, entry, message, wParam, lParam);
}

void IGraphicsWin::TickEntry() {
  if (!entryWindow_) return;
  switch (entryState_) {
    case kEntryCommit: {
      char text[kEntryTextSize + 1] = {};
      GetWindowTextA(entryWindow_, text, kEntryTextSize + 1);
      CommitEnteredText(entryControl_, entryParam_, text);
      CloseEntry();
      break;
    }
    case kEntryCancel:
      CloseEntry();
      break;
    case kEntryEditing:
      entryState_ = kEntryNone;
      break;
    default:
      break;
  }
}

void IGraphicsWin::CloseEntry() {
  if (!entryWindow_) return;
  if (entryControl_) entryControl_->CloseTextEntry();
  HWND entry = entryWindow_;
  if (entryStandardProc_) SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryStandardProc_));
  entryWindow_ = nullptr;
  DestroyWindow(entry);
  ForgetEntry();  // the font goes after the window that used it
}

void IGraphicsWin::ForgetEntry() {
  entryWindow_ = nullptr;
  entryControl_ = nullptr;
  entryParam_ = nullptr;
  entryStandardProc_ = nullptr;
  entryState_ = kEntryNone;
  if (entryFont_) {
    DeleteObject(entryFont_);
    entryFont_ = nullptr;
  }
}

}  // namespace selvarin
