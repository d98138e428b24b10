#pragma once
// The display scale Windows gives a window: its DPI / 96. GetDpiForWindow
// exists from Windows 10 (1607) on and is looked up when first needed; a
// system without it (or an answer of 0) counts as 96 DPI.
#include <windows.h>

namespace selvarin {

double Win32WindowScale(HWND window);

}  // namespace selvarin
