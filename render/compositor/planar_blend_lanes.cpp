#include "render/compositor/planar_blend_lanes.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstring>

namespace {

// Every helper is compiled for AVX2 and inlined into BlendSixteens, the
// only entry, which runs only where PlanarLanesAvailable said so.
#define QV_AVX2 __attribute__((target("avx2")))
#define QV_AVX2_INLINE inline __attribute__((target("avx2"), always_inline))

// Eight 32-bit lanes (GCC and clang vector extensions).
typedef int32_t I32x8 __attribute__((vector_size(32)));
typedef uint32_t U32x8 __attribute__((vector_size(32)));

QV_AVX2_INLINE I32x8 loadBytes(const uint8_t* p) {
  return (I32x8)_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// The saturating packs clip to 0..255 on the way (no lane exceeds 16 bits).
QV_AVX2_INLINE void storeBytes(uint8_t* p, I32x8 v) {
  const __m256i words = _mm256_packus_epi32((__m256i)v, (__m256i)v);
  const __m256i bytes = _mm256_packus_epi16(words, words);
  const __m128i both = _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), both);
}

QV_AVX2_INLINE U32x8 loadPixels(const uint32_t* p) {
  U32x8 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

struct Channels {
  I32x8 a, r, g, b;
};

QV_AVX2_INLINE Channels channelsOf(U32x8 p) {
  return {(I32x8)(p >> 24), (I32x8)((p >> 16) & 0xFF), (I32x8)((p >> 8) & 0xFF), (I32x8)(p & 0xFF)};
}

// luma * (1 - a) + the colour's own luma, as blendLuma.
QV_AVX2_INLINE I32x8 blendLuma(I32x8 luma, const Channels& c, const ToYuv& k) {
  const I32x8 acc = (luma * (255 - c.a) + 16 * c.a) * 257 + k.yr * c.r + k.yg * c.g + k.yb * c.b;
  return (acc + 32768) >> 16;
}

// Sums over horizontal pairs: lanes 0..7 from the pairs of lo, then of hi
// (the in-lane horizontal add puts them in 64-bit quarters 0, 2, 1, 3).
QV_AVX2_INLINE I32x8 pairSums(I32x8 lo, I32x8 hi) {
  return (I32x8)_mm256_permute4x64_epi64(_mm256_hadd_epi32((__m256i)lo, (__m256i)hi), 0xD8);
}

// Eight chroma samples from the channel sums of their four pixels each,
// as blendChroma.
QV_AVX2_INLINE void blendChroma(uint8_t* cb, uint8_t* cr, const Channels& s, const ToYuv& k) {
  const I32x8 u = ((loadBytes(cb) * (1020 - s.a) + 128 * s.a) * 257 >> 2) +
                  ((k.ur * s.r + k.ug * s.g + k.ub * s.b) >> 2);
  const I32x8 v = ((loadBytes(cr) * (1020 - s.a) + 128 * s.a) * 257 >> 2) +
                  ((k.vr * s.r + k.vg * s.g + k.vb * s.b) >> 2);
  storeBytes(cb, (u + 32768) >> 16);
  storeBytes(cr, (v + 32768) >> 16);
}

QV_AVX2_INLINE void blendSixteen(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                                 uint8_t* cr, const ToYuv& k) {
  const U32x8 p0 = loadPixels(o0), q0 = loadPixels(o0 + 8), p1 = loadPixels(o1), q1 = loadPixels(o1 + 8);
  const __m256i any = (__m256i)(p0 | q0 | p1 | q1);
  if (_mm256_testz_si256(any, any)) return; // nothing drawn here
  const Channels lo0 = channelsOf(p0), hi0 = channelsOf(q0), lo1 = channelsOf(p1), hi1 = channelsOf(q1);
  storeBytes(y0, blendLuma(loadBytes(y0), lo0, k));
  storeBytes(y0 + 8, blendLuma(loadBytes(y0 + 8), hi0, k));
  storeBytes(y1, blendLuma(loadBytes(y1), lo1, k));
  storeBytes(y1 + 8, blendLuma(loadBytes(y1 + 8), hi1, k));
  const Channels sums = {pairSums(lo0.a + lo1.a, hi0.a + hi1.a), pairSums(lo0.r + lo1.r, hi0.r + hi1.r),
                         pairSums(lo0.g + lo1.g, hi0.g + hi1.g), pairSums(lo0.b + lo1.b, hi0.b + hi1.b)};
  blendChroma(cb, cr, sums, k);
}

// Eight samples step bytes apart, read one by one: as fast as the gather
// instruction here, and that is slow on processors patched against leaks
// through it.
QV_AVX2_INLINE I32x8 gatherBytes(const uint8_t* p, int step) {
  return I32x8{p[0], p[step], p[2 * step], p[3 * step], p[4 * step], p[5 * step], p[6 * step], p[7 * step]};
}

// The chroma samples under pixels x, x + step, ... (x / 2 each).
QV_AVX2_INLINE I32x8 gatherChroma(const uint8_t* p, int x, int step) {
  auto at = [&](int i) { return p[(x + i * step) / 2]; };
  return I32x8{at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)};
}

QV_AVX2_INLINE I32x8 clipByte(I32x8 v) {
  return (I32x8)_mm256_min_epi32(_mm256_max_epi32((__m256i)v, _mm256_setzero_si256()), _mm256_set1_epi32(255));
}

} // namespace

bool PlanarLanesAvailable() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

QV_AVX2 int BlendSixteens(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                          uint8_t* cr, int x, int x1, const ToYuv& k) {
  for (; x + 16 <= x1; x += 16) blendSixteen(o0 + x, o1 + x, y0 + x, y1 + x, cb + x / 2, cr + x / 2, k);
  return x;
}

QV_AVX2 int ThumbnailEights(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr, int step, int count,
                            const FromYuv& k, uint32_t* out) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const int x = i * step;
    const I32x8 l = k.y * (gatherBytes(luma + x, step) - 16) + 32768;
    const I32x8 u = gatherChroma(cb, x, step) - 128, v = gatherChroma(cr, x, step) - 128;
    const I32x8 r = clipByte((l + k.rv * v) >> 16), g = clipByte((l + k.gu * u + k.gv * v) >> 16),
                b = clipByte((l + k.bu * u) >> 16);
    const I32x8 pixels = (I32x8)(r << 16 | g << 8 | b) | (I32x8)_mm256_set1_epi32(static_cast<int>(0xFF000000u));
    std::memcpy(out + i, &pixels, sizeof pixels);
  }
  return i;
}

#else

bool PlanarLanesAvailable() { return false; }

int ThumbnailEights(const uint8_t*, const uint8_t*, const uint8_t*, int, int, const FromYuv&, uint32_t*) {
  return 0;
}

int BlendSixteens(const uint32_t*, const uint32_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int x, int,
                  const ToYuv&) {
  return x;
}

#endif
