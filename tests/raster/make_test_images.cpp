// Build-time tool: writes the images that the resource tests embed with
// selvarin_embed_images(). Usage: make_test_images <output folder>
#include <cstdio>
#include <string>
#include <vector>

#include "test_png_writer.h"

using namespace selvarin::test;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  // 3 x 2 RGBA with one distinct pixel per position.
  std::vector<unsigned char> small;
  for (int i = 0; i < 6; ++i) {
    const unsigned char v = static_cast<unsigned char>(i * 40);
    small.insert(small.end(), {v, static_cast<unsigned char>(255 - v), static_cast<unsigned char>(i), static_cast<unsigned char>(100 + i)});
  }

  // 550 x 363 gradient: a file of realistic size for the embedding step.
  const int w = 550, h = 363;
  std::vector<unsigned char> big;
  big.reserve(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      big.insert(big.end(), {static_cast<unsigned char>(x & 0xFF), static_cast<unsigned char>(y & 0xFF),
                             static_cast<unsigned char>((x * y) & 0xFF), 255});
    }
  }

  const bool ok = WriteFileBytes(dir + "/small_rgba.png", EncodePng(RgbaSpec(3, 2, small))) &&
                  WriteFileBytes(dir + "/surface.png", EncodePng(RgbaSpec(w, h, big))) &&
                  WriteFileBytes(dir + "/short.bin", {0x89, 'P', 'N', 'G', 0x0D});
  return ok ? 0 : 1;
}
