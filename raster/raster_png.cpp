#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "raster/raster_mem_bitmap.h"
#include "raster/raster_png.h"

namespace selvarin {

namespace {

// Larger images are refused before any pixel memory is requested: the
// editor's images are a few hundred pixels, and a forged header must not
// make us reserve gigabytes.
constexpr png_uint_32 kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 24;  // 64 MiB of pixels

// Everything the read pass creates, kept outside the frame that calls setjmp
// so that the values survive a longjmp and can be released afterwards. Only
// plain data: no destructor may be skipped by the jump.
struct PngReadJob {
  const unsigned char* data;
  std::size_t size;
  std::size_t pos;
  RasterBitmap* given;    // destination passed in, not ours to delete
  RasterBitmap* created;  // destination made here
  png_bytep* rows;        // malloc'd row pointer table
};

void ReadFromJob(png_structp png, png_bytep out, png_size_t length) {
  PngReadJob* job = static_cast<PngReadJob*>(png_get_io_ptr(png));
  if (!job || length > job->size - job->pos) {
    png_error(png, "read past end of data");
    return;
  }
  std::memcpy(out, job->data + job->pos, length);
  job->pos += length;
}

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Asks libpng for rows of 8-bit A, R, G, B bytes whatever the file holds:
// palettes, grey levels and transparency chunks expanded, 16-bit channels
// stripped, a filler alpha of 255 where there is none, interlacing undone.
void RequestArgbRows(png_structp png, png_infop info, int colourType, int depth) {
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
}

// Rows read as the bytes A, R, G, B turn into pixels in place.
void ArgbBytesToPixels(RasterPixel* bits, int span, png_uint_32 width, png_uint_32 height) {
  for (png_uint_32 y = 0; y < height; ++y) {
    RasterPixel* out = bits + static_cast<std::size_t>(y) * span;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(out);
    for (png_uint_32 x = 0; x < width; ++x, p += 4) {
      out[x] = static_cast<RasterPixel>(p[0]) << 24 | static_cast<RasterPixel>(p[1]) << 16 |
               static_cast<RasterPixel>(p[2]) << 8 | static_cast<RasterPixel>(p[3]);
    }
  }
}

// Returns the bitmap holding the image, or none. libpng reports errors by
// longjmp back into this function; nothing here has a destructor.
RasterBitmap* ReadPass(png_structp png, png_infop info, PngReadJob* job) {
  if (setjmp(png_jmpbuf(png))) return nullptr;

  png_set_read_fn(png, job, ReadFromJob);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
  if (width == 0 || height == 0 || static_cast<std::uint64_t>(width) * height > kMaxPixels) return nullptr;

  RequestArgbRows(png, info, colourType, depth);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return nullptr;

  RasterBitmap* bitmap = job->given;
  if (bitmap) {
    bitmap->Resize(static_cast<int>(width), static_cast<int>(height));
  } else {
    job->created = new (std::nothrow) RasterMemBitmap(static_cast<int>(width), static_cast<int>(height), 4);
    bitmap = job->created;
  }
  if (!bitmap || bitmap->Width() != static_cast<int>(width) || bitmap->Height() != static_cast<int>(height) ||
      !bitmap->Bits()) {
    return nullptr;
  }

  job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!job->rows) return nullptr;
  RasterPixel* bits = bitmap->Bits();
  const int span = bitmap->RowSpan();
  for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = reinterpret_cast<png_bytep>(bits + static_cast<std::size_t>(y) * span);
  png_read_image(png, job->rows);

  ArgbBytesToPixels(bits, span, width, height);
  return bitmap;
}

}  // namespace

RasterBitmap* RasterLoadPngFromMemory(const void* bytes, std::size_t length, RasterBitmap* dest) {
  if (!bytes || length < 8) return nullptr;
  if (png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, 8) != 0) return nullptr;

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }

  PngReadJob job{static_cast<const unsigned char*>(bytes), length, 0, dest, nullptr, nullptr};
  RasterBitmap* result = ReadPass(png, info, &job);

  png_destroy_read_struct(&png, &info, nullptr);
  std::free(job.rows);
  if (!result) delete job.created;
  return result;
}

}  // namespace selvarin
