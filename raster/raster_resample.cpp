#include "raster/raster_resample.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "raster/raster_mem_bitmap.h"

namespace selvarin {

namespace {

// The source taps of every destination pixel along one axis: first tap and
// normalised weights.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // count[i] weights per pixel, at offset[i]
  std::vector<int> offset;
  int maxCount = 0;
};

Taps MakeTaps(int srcN, int dstN) {
  Taps t;
  t.first.resize(static_cast<size_t>(dstN));
  t.count.resize(static_cast<size_t>(dstN));
  t.offset.resize(static_cast<size_t>(dstN));
  const double ratio = static_cast<double>(srcN) / dstN;
  const double radius = std::max(1.0, ratio);  // half-width of the tent in source pixels
  for (int i = 0; i < dstN; ++i) {
    const double centre = (i + 0.5) * ratio - 0.5;
    const int lo = static_cast<int>(std::ceil(centre - radius + 1e-9));
    const int hi = static_cast<int>(std::floor(centre + radius - 1e-9));
    t.offset[static_cast<size_t>(i)] = static_cast<int>(t.weights.size());
    double sum = 0.0;
    std::vector<double> w;
    for (int j = lo; j <= hi; ++j) {
      const double v = 1.0 - std::fabs(j - centre) / radius;
      w.push_back(v > 0.0 ? v : 0.0);
      sum += w.back();
    }
    // Taps beyond an edge repeat the edge pixel: fold them onto it.
    int first = std::max(lo, 0), last = std::min(hi, srcN - 1);
    if (first > last) first = last = std::clamp(static_cast<int>(std::lround(centre)), 0, srcN - 1);
    std::vector<double> folded(static_cast<size_t>(last - first + 1), 0.0);
    for (int j = lo; j <= hi; ++j) folded[static_cast<size_t>(std::clamp(j, first, last) - first)] += w[static_cast<size_t>(j - lo)];
    for (double f : folded) t.weights.push_back(static_cast<float>(sum > 0.0 ? f / sum : 1.0 / folded.size()));
    t.first[static_cast<size_t>(i)] = first;
    t.count[static_cast<size_t>(i)] = last - first + 1;
    t.maxCount = std::max(t.maxCount, last - first + 1);
  }
  return t;
}

// Pixels as alpha-weighted colour plus alpha, in floats.
struct Premul {
  float b, g, r, a;
};

}  // namespace

RasterBitmap* RasterResample(RasterBitmap* src, int width, int height) {
  if (!src || !src->Bits() || src->Width() <= 0 || src->Height() <= 0 || width <= 0 || height <= 0) return nullptr;
  const int sw = src->Width(), sh = src->Height(), span = src->RowSpan();
  std::unique_ptr<RasterMemBitmap> out(new (std::nothrow) RasterMemBitmap(width, height, 4));
  if (!out || out->Width() != width || out->Height() != height || !out->Bits()) return nullptr;
  const Taps tx = MakeTaps(sw, width), ty = MakeTaps(sh, height);

  // Rows filtered across are kept in a ring just deep enough for the taps
  // down: destination rows take source rows in increasing order.
  const int ring = ty.maxCount + 1;
  std::vector<Premul> rows(static_cast<size_t>(ring) * static_cast<size_t>(width));
  std::vector<int> rowOf(static_cast<size_t>(ring), -1);
  auto across = [&](int sy) -> const Premul* {
    const size_t slot = static_cast<size_t>(sy % ring);
    Premul* dst = rows.data() + slot * static_cast<size_t>(width);
    if (rowOf[slot] == sy) return dst;
    rowOf[slot] = sy;
    const RasterPixel* in = src->Bits() + static_cast<long>(sy) * span;
    for (int x = 0; x < width; ++x) {
      const float* w = tx.weights.data() + tx.offset[static_cast<size_t>(x)];
      const RasterPixel* p = in + tx.first[static_cast<size_t>(x)];
      Premul acc{0, 0, 0, 0};
      for (int k = 0; k < tx.count[static_cast<size_t>(x)]; ++k) {
        const float a = static_cast<float>(RasterAlpha(p[k])) * w[k];
        acc.b += static_cast<float>(RasterBlue(p[k])) * a;
        acc.g += static_cast<float>(RasterGreen(p[k])) * a;
        acc.r += static_cast<float>(RasterRed(p[k])) * a;
        acc.a += a;
      }
      dst[x] = acc;
    }
    return dst;
  };
  std::vector<const Premul*> in(static_cast<size_t>(ty.maxCount));
  auto channel = [](float v) { return static_cast<int>(std::min(255.0f, std::max(0.0f, v + 0.5f))); };

  for (int y = 0; y < height; ++y) {
    const float* w = ty.weights.data() + ty.offset[static_cast<size_t>(y)];
    const int first = ty.first[static_cast<size_t>(y)], n = ty.count[static_cast<size_t>(y)];
    for (int k = 0; k < n; ++k) in[static_cast<size_t>(k)] = across(first + k);
    RasterPixel* outRow = out->Bits() + static_cast<long>(y) * out->RowSpan();
    for (int x = 0; x < width; ++x) {
      Premul acc{0, 0, 0, 0};
      for (int k = 0; k < n; ++k) {
        const Premul& p = in[static_cast<size_t>(k)][x];
        acc.b += p.b * w[k];
        acc.g += p.g * w[k];
        acc.r += p.r * w[k];
        acc.a += p.a * w[k];
      }
      if (acc.a <= 0.0f) {
        outRow[x] = 0;
        continue;
      }
      const float inv = 1.0f / acc.a;
      outRow[x] = RasterPackArgb(channel(acc.a), channel(acc.r * inv), channel(acc.g * inv), channel(acc.b * inv));
    }
  }
  return out.release();
}

}  // namespace selvarin
