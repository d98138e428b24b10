#pragma once
// The display scale a window system reports: X11 through the Xft.dpi
// resource, Windows through the window's DPI; 96 dpi is a scale of 1.
#include <string>

namespace selvarin {

// The value of "Xft.dpi" in a resource database text; 0 when absent.
double XftDpiOfResources(const std::string& resources);

// dpi / 96, kept to 1..4; 1 for an unknown (0 or nonsense) dpi.
double ScaleFromDpi(double dpi);

}  // namespace selvarin
