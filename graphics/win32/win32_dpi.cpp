#include "graphics/win32/win32_dpi.h"

namespace selvarin {

double Win32WindowScale(HWND window) {
  using DpiForWindowFn = UINT(WINAPI*)(HWND);
  static const DpiForWindowFn dpiForWindow = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<DpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  const UINT dpi = dpiForWindow && window ? dpiForWindow(window) : 0;
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace selvarin
