#pragma once
// Encodes PNG images for the tests with libpng's writer, so no binary
// fixtures are kept in the repository.
#include <png.h>

#include <string>
#include <vector>

#include "raster/raster_bitmap.h"

namespace selvarin::test {

struct PngImageDesc {
  int width = 1;
  int height = 1;
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<unsigned char> rows;  // height rows of packed samples, as libpng takes them
  std::vector<png_color> palette;
  std::vector<unsigned char> transparency;  // tRNS alpha per palette entry
  bool greyKey = false;                     // tRNS for a grey image: this grey is transparent
  int greyKeyValue = 0;
};

// The encoded file, or empty on failure.
std::vector<unsigned char> EncodePng(const PngImageDesc& desc);

// Packs 8-bit RGBA samples (width*height*4) into a desc.
PngImageDesc RgbaSpec(int width, int height, const std::vector<unsigned char>& rgba);

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Saves the bitmap's pixels as an 8-bit RGBA PNG (for looking at results).
bool SaveBitmapPng(RasterBitmap* bitmap, const std::string& path);

}  // namespace selvarin::test
