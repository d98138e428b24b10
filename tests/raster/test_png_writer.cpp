#include "test_png_writer.h"

#include "raster/raster_png_write.h"

#include <csetjmp>
#include <cstdio>

namespace selvarin::test {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Plain-data arguments only: libpng leaves this frame by longjmp on error.
bool EncodeInto(const PngImageDesc* desc, std::vector<unsigned char>* out, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, desc->width, desc->height, desc->bitDepth, desc->colourType,
               desc->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!desc->palette.empty()) {
    png_set_PLTE(png, info, desc->palette.data(), static_cast<int>(desc->palette.size()));
  }
  if (!desc->transparency.empty()) {
    png_set_tRNS(png, info, desc->transparency.data(), static_cast<int>(desc->transparency.size()), nullptr);
  }
  if (desc->greyKey) {
    png_color_16 key{};
    key.gray = static_cast<png_uint_16>(desc->greyKeyValue);
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<unsigned char> EncodePng(const PngImageDesc& desc) {
  std::vector<unsigned char> out;
  if (desc.height <= 0 || desc.rows.empty() || desc.rows.size() % desc.height != 0) return out;
  const size_t rowBytes = desc.rows.size() / desc.height;
  std::vector<png_bytep> rows(desc.height);
  for (int y = 0; y < desc.height; ++y) {
    rows[y] = const_cast<png_bytep>(desc.rows.data() + y * rowBytes);
  }
  if (!EncodeInto(&desc, &out, rows.data())) out.clear();
  return out;
}

PngImageDesc RgbaSpec(int width, int height, const std::vector<unsigned char>& rgba) {
  PngImageDesc desc;
  desc.width = width;
  desc.height = height;
  desc.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  desc.rows = rgba;
  return desc;
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool SaveBitmapPng(RasterBitmap* bitmap, const std::string& path) {
  return RasterSavePng(bitmap, path.c_str());
}

}  // namespace selvarin::test
