#pragma once
// Text drawn by the platform itself on a bitmap's device context, for fonts
// that allow it: crisper system text where the platform renders it well.
#include "raster/raster_bitmap.h"
#include "raster/raster_system_font.h"

namespace selvarin {

// Whether the platform draws text natively in this process: false without
// device contexts, and under a Windows compatibility layer (whose system
// text differs from Windows' own), detected once.
bool RasterNativeTextAvailable();

// Draws the string (length -1: up to its NUL) in the text colour with a
// transparent background on dest's device context, aligned in *rect by the
// text flags and clipped to it unless told not to. Returns the height of the
// text drawn; 0 when it cannot be drawn this way.
int RasterDrawTextNative(RasterBitmap* dest, RasterSystemFont* font, const char* text, int length,
                         const RasterRect& rect, int flags, RasterPixel colour);

}  // namespace selvarin
