#include "render/compositor/blend_row.h"

#include "render/compositor/pixel_ops.h"
#include "render/compositor/render_frame_info.h"

#include "render/compositor/planar_blend_lanes.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#if defined(__SSE2__)
// Two pixels widened to 16-bit lanes, times their own 255 - alpha, divided
// by 255 rounded as Mul255 does: t = d * inv + 128, (t + (t >> 8)) >> 8.
// t stays below 2^16, so the unsigned 16-bit lanes hold it.
inline __m128i scaleByInverse(__m128i dst16, __m128i inv16) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(dst16, inv16), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}
#endif

#if defined(__x86_64__)
__attribute__((target("avx2"), always_inline)) inline __m256i scaleByInverse8(__m256i dst16, __m256i inv16) {
  const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(dst16, inv16), _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// The same eight pixels at a time, where the processor has AVX2.
__attribute__((target("avx2"))) int blendEights(const uint32_t* src, uint32_t* dst, int count) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi16(255);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    if (_mm256_testz_si256(s, s)) continue; // clear: unchanged
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    if (_mm256_testz_si256(d, d)) { // over clear (an overlay where nothing else lies): the source
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
      continue;
    }
    __m256i alpha = _mm256_srli_epi32(s, 24);
    alpha = _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16));
    // Unpacking works within each 128-bit half, for the pixels and the
    // alphas alike, so they stay paired.
    const __m256i invLo = _mm256_sub_epi16(full, _mm256_unpacklo_epi32(alpha, alpha));
    const __m256i invHi = _mm256_sub_epi16(full, _mm256_unpackhi_epi32(alpha, alpha));
    const __m256i lo = scaleByInverse8(_mm256_unpacklo_epi8(d, zero), invLo);
    const __m256i hi = scaleByInverse8(_mm256_unpackhi_epi8(d, zero), invHi);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_adds_epu8(s, _mm256_packus_epi16(lo, hi)));
  }
  return i;
}
#endif

} // namespace

void BlendRowOver(const uint32_t* src, uint32_t* dst, int count) {
  int i = 0;
#if defined(__x86_64__)
  if (PlanarLanesAvailable()) i = blendEights(src, dst, count);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue; // clear: unchanged
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i alpha = _mm_srli_epi32(s, 24);
    alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
    const __m128i invLo = _mm_sub_epi16(full, _mm_unpacklo_epi32(alpha, alpha));
    const __m128i invHi = _mm_sub_epi16(full, _mm_unpackhi_epi32(alpha, alpha));
    const __m128i lo = scaleByInverse(_mm_unpacklo_epi8(d, zero), invLo);
    const __m128i hi = scaleByInverse(_mm_unpackhi_epi8(d, zero), invHi);
    // Source plus the rest of the destination, each byte at most 255.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(s, _mm_packus_epi16(lo, hi)));
  }
#endif
  for (; i < count; ++i)
    if (src[i] != 0) dst[i] = BlendOver(src[i], dst[i], kChanAll);
}
