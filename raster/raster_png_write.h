#pragma once
// Writes a bitmap as an 8-bit RGBA PNG file (tools and tests look at what
// the editor draws with it).
#include <vector>

#include "raster/raster_bitmap.h"

namespace selvarin {

// False when the bitmap holds no pixels or the file cannot be written. With
// `opaque` every pixel is written fully opaque (a window shows no alpha).
bool RasterSavePng(RasterBitmap* bitmap, const char* path, bool opaque = false);

// The same PNG in memory, for a caller that writes the file itself.
bool RasterEncodePng(RasterBitmap* bitmap, std::vector<unsigned char>* png, bool opaque = false);

}  // namespace selvarin
