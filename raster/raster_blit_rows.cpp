#include "raster/raster_blit_rows.h"

#include "raster/raster_blend.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SELVARIN_RASTER_SSE2 1
#endif

namespace selvarin {
namespace raster_detail {

#ifdef SELVARIN_RASTER_SSE2
namespace {

// Two pixels as eight 16-bit lanes B G R A B G R A. For each colour lane:
// s + trunc((d - s) * keep / 256), computed on |d - s| (the product fits 16
// bits unsigned) with the sign put back, which truncates toward zero exactly.
inline __m128i MixLanes(__m128i d16, __m128i s16, __m128i keep16) {
  const __m128i diff = _mm_sub_epi16(d16, s16);
  const __m128i sign = _mm_srai_epi16(diff, 15);
  const __m128i mag = _mm_sub_epi16(_mm_xor_si128(diff, sign), sign);
  const __m128i q = _mm_srli_epi16(_mm_mullo_epi16(mag, keep16), 8);
  return _mm_add_epi16(s16, _mm_sub_epi16(_mm_xor_si128(q, sign), sign));
}

// Broadcast each pixel's alpha lane (3 and 7) to its four lanes.
inline __m128i AlphaLanes(__m128i x16) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x16, 0xFF), 0xFF); }

template <bool kFull>
inline __m128i Blend4(__m128i d, __m128i s, __m128i k16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i s16lo = _mm_unpacklo_epi8(s, zero), s16hi = _mm_unpackhi_epi8(s, zero);
  const __m128i d16lo = _mm_unpacklo_epi8(d, zero), d16hi = _mm_unpackhi_epi8(d, zero);
  const __m128i salo = AlphaLanes(s16lo), sahi = AlphaLanes(s16hi);
  __m128i keepLo, keepHi, wLo, wHi;
  if (kFull) {
    const __m128i c255 = _mm_set1_epi16(255);
    keepLo = _mm_sub_epi16(c255, salo);
    keepHi = _mm_sub_epi16(c255, sahi);
    wLo = salo;
    wHi = sahi;
  } else {
    // w = k * (sa + 1) / 256, at most 255 here since k < 256.
    const __m128i one = _mm_set1_epi16(1), c256 = _mm_set1_epi16(256);
    wLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(salo, one), k16), 8);
    wHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(sahi, one), k16), 8);
    keepLo = _mm_sub_epi16(c256, wLo);
    keepHi = _mm_sub_epi16(c256, wHi);
  }
  const __m128i colour = _mm_packus_epi16(MixLanes(d16lo, s16lo, keepLo), MixLanes(d16hi, s16hi, keepHi));
  // A = min(255, weight + dA).
  const __m128i alpha = _mm_adds_epu8(_mm_packus_epi16(wLo, wHi), d);
  const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alphaMask, colour), _mm_and_si128(alphaMask, alpha));
  // A transparent source pixel leaves the destination as it is.
  const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), zero);
  return _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, mixed));
}

template <bool kFull>
void CopyAlphaRowSse2(RasterPixel* d, const RasterPixel* s, int n, int k) {
  const __m128i k16 = _mm_set1_epi16(static_cast<short>(k));
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i sa = _mm_and_si128(sv, alphaMask);
    // Runs of fully transparent pixels (common in control images) are skipped.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, _mm_setzero_si128())) == 0xFFFF) continue;
    if (kFull && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
      continue;
    }
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4<kFull>(dv, sv, k16));
  }
  for (; i < n; ++i) d[i] = kFull ? CopyAlphaFull(d[i], s[i]) : CopyAlpha(d[i], s[i], k);
}

}  // namespace

void CopyAlphaRow(RasterPixel* d, const RasterPixel* s, int n, int k) {
  if (k >= 256) {
    CopyAlphaRowSse2<true>(d, s, n, 256);
  } else {
    CopyAlphaRowSse2<false>(d, s, n, k);
  }
}

void FillGeneralRow(RasterPixel* d, int n, RasterPixel c, int k) {
  // Colours move toward c and alpha toward k: the target bytes are c's
  // colours with k in place of its alpha. Each byte becomes
  // t + trunc((d - t) * keep / 256), computed on the byte distance |d - t|:
  // with the distance in the high byte of a 16-bit lane, the high half of its
  // product with keep is the truncated q = |d - t| * keep / 256. Then t + q
  // when d is above t, t - q when below. Since q <= |d - t|, t + q lies between
  // t and d when d is above, and t - q between d and t when d is below, so
  // max(min(t + q, d), t - q) (saturating) picks the right one without a sign mask.
  const RasterPixel target = (c & 0x00FFFFFFu) | static_cast<RasterPixel>(k) << 24;
  const __m128i t = _mm_set1_epi32(static_cast<int>(target));
  const __m128i keep16 = _mm_set1_epi16(static_cast<short>(256 - k));
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i dist = _mm_or_si128(_mm_subs_epu8(dv, t), _mm_subs_epu8(t, dv));
    const __m128i qLo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, dist), keep16);
    const __m128i qHi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, dist), keep16);
    const __m128i q = _mm_packus_epi16(qLo, qHi);
    const __m128i r = _mm_max_epu8(_mm_min_epu8(_mm_adds_epu8(t, q), dv), _mm_subs_epu8(t, q));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), r);
  }
  for (; i < n; ++i) d[i] = FillCopyGeneral(d[i], c, k);
}

#else

void CopyAlphaRow(RasterPixel* d, const RasterPixel* s, int n, int k) {
  if (k >= 256) {
    for (int i = 0; i < n; ++i) d[i] = CopyAlphaFull(d[i], s[i]);
  } else {
    for (int i = 0; i < n; ++i) d[i] = CopyAlpha(d[i], s[i], k);
  }
}

void FillGeneralRow(RasterPixel* d, int n, RasterPixel c, int k) {
  for (int i = 0; i < n; ++i) d[i] = FillCopyGeneral(d[i], c, k);
}

#endif

}  // namespace raster_detail
}  // namespace selvarin
