#pragma once
// The display scale an X display asks for through its resources (the
// RESOURCE_MANAGER text that xrdb and desktop settings fill): Xft.dpi / 96,
// rounded to a quarter and limited to 1..4; 1 when no dpi is given.
#include <cstddef>

namespace selvarin {

// From resource text ("name:\tvalue" lines).
double ScaleFromXResources(const char* text, std::size_t length);

// From the resources of the display in $DISPLAY (its first screen's root
// window); 1 without a display or resources.
double XDisplayScale();

}  // namespace selvarin
