// Raster operations against memcpy of the same number of bytes, and the
// editor's full composite (one alpha-weighted full-surface blit plus thirty
// 60 x 80 alpha-weighted blits), whose target is under 1 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "raster/raster_draw.h"
#include "raster/raster_font.h"
#include "raster/raster_mem_bitmap.h"
#include "raster/raster_sys_bitmap.h"

namespace selvarin {
namespace {

constexpr int kW = 550, kH = 363;

// Every alpha value occurs, so the weighted loops take all their branches.
void Pattern(RasterBitmap& b, int seed) {
  for (int y = 0; y < b.Height(); ++y) {
    RasterPixel* row = b.Bits() + static_cast<long>(y) * b.RowSpan();
    for (int x = 0; x < b.Width(); ++x) {
      const unsigned v = static_cast<unsigned>(x * 7 + y * 13 + seed);
      row[x] = RasterPackArgb((x * y + seed) & 0xFF, v & 0xFF, (v >> 2) & 0xFF, (v >> 4) & 0xFF);
    }
  }
}

void Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(Memcpy)->Name("memcpy/surface_550x363")->Arg(kW * kH * 4);
BENCHMARK(Memcpy)->Name("memcpy/image_57x57")->Arg(57 * 57 * 4);
BENCHMARK(Memcpy)->Name("memcpy/text_extent_65x15")->Arg(65 * 15 * 4);  // the text's measured extent

void BlitSurface(benchmark::State& state, float opacity, int mode) {
  RasterSysBitmap dst(kW, kH);
  RasterMemBitmap src(kW, kH);
  Pattern(dst, 1);
  Pattern(src, 2);
  for (auto _ : state) {
    RasterBlit(&dst, &src, 0, 0, 0, 0, kW, kH, opacity, mode);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}
BENCHMARK_CAPTURE(BlitSurface, copy_1.0, 1.0f, kRasterCopy);
BENCHMARK_CAPTURE(BlitSurface, copy_0.5, 0.5f, kRasterCopy);
BENCHMARK_CAPTURE(BlitSurface, alpha_1.0, 1.0f, kRasterCopy | kRasterUseSourceAlpha);
BENCHMARK_CAPTURE(BlitSurface, alpha_0.75, 0.75f, kRasterCopy | kRasterUseSourceAlpha);

void RotatedKnob(benchmark::State& state) {
  RasterSysBitmap dst(kW, kH);
  RasterMemBitmap knob(57, 57);
  Pattern(knob, 3);
  float angle = 0.0f;
  for (auto _ : state) {
    RasterRotatedBlit(&dst, &knob, 100, 100, 57, 57, 0, 0, 57, 57, angle, false, 1.0f,
                      kRasterCopy | kRasterUseSourceAlpha | kRasterFilterBilinear);
    angle += 0.01f;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 57 * 57 * 4);
}
BENCHMARK(RotatedKnob)->Name("rotated_bilinear/57x57");

void Fill(benchmark::State& state, float opacity) {
  RasterSysBitmap dst(kW, kH);
  for (auto _ : state) {
    RasterFillRect(&dst, 0, 0, kW, kH, 0xFF336699u, opacity, kRasterCopy);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}
BENCHMARK_CAPTURE(Fill, surface_1.0, 1.0f);
BENCHMARK_CAPTURE(Fill, surface_0.5, 0.5f);
BENCHMARK_CAPTURE(Fill, surface_0.75, 0.75f);
BENCHMARK_CAPTURE(Fill, surface_0.6, 0.6f);   // no byte-shift form: the general rule
BENCHMARK_CAPTURE(Fill, surface_0.3, 0.3f);

void TextWarm(benchmark::State& state) {
  RasterFontRequest req;
  req.face = "Arial";
  req.cellHeight = 15;
  RasterCachedFont font;
  font.SetFromSystemFont(RasterCreateSystemFont(req), kRasterFontOwnsSystemFont | kRasterFontAllowNative);
  font.SetTextColor(0xC8FFFFFFu);
  RasterSysBitmap dst(kW, kH);
  const char* text = "Beat 7.83Hz";  // ten characters and a space
  RasterRect r{100, 100, 300, 130};
  font.DrawText(&dst, text, 10, &r, kRasterTextCentre | kRasterTextNoClip | kRasterTextUseColourAlpha);  // warm
  for (auto _ : state) {
    RasterRect rr = r;
    benchmark::DoNotOptimize(
        font.DrawText(&dst, text, 10, &rr, kRasterTextCentre | kRasterTextNoClip | kRasterTextUseColourAlpha));
    benchmark::ClobberMemory();
  }
  RasterRect extent{0, 0, 0, 0};
  font.DrawText(nullptr, text, 10, &extent, kRasterTextMeasure);
  state.counters["extent_w"] = extent.right;
  state.counters["extent_h"] = extent.bottom;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * extent.right * extent.bottom * 4);
}
BENCHMARK(TextWarm)->Name("text/10_chars_warm");

void Composite(benchmark::State& state) {
  RasterSysBitmap surface(kW, kH);
  RasterMemBitmap background(kW, kH), control(60, 80);
  Pattern(background, 4);
  Pattern(control, 5);
  for (auto _ : state) {
    RasterBlit(&surface, &background, 0, 0, 0, 0, kW, kH, 1.0f, kRasterCopy | kRasterUseSourceAlpha);
    for (int i = 0; i < 30; ++i) {
      RasterBlit(&surface, &control, (i % 8) * 65, (i / 8) * 85, 0, 0, 60, 80, 1.0f,
                 kRasterCopy | kRasterUseSourceAlpha);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Composite)->Name("composite/editor_surface")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace selvarin

BENCHMARK_MAIN();
