#pragma once
// Where the sound of a render is cut into chunks, one per frame: the render
// loop mixes by it and the writer places by it, so chunk n + 1 starts on the
// very sample after the last one of chunk n, whatever the rates.
#include <cmath>
#include <cstdint>

// The first sample of chunk n at sampleRate when chunks follow at chunkRate
// per second: floor(n x sampleRate / chunkRate). A chunk rate kept in
// hundredths (29.97) is divided as whole numbers, so a chunk that starts on
// a whole sample is not put one early by a rounded quotient.
inline int64_t SoundChunkStart(uint64_t chunk, uint32_t sampleRate, double chunkRate) {
  if (!(chunkRate > 0) || sampleRate == 0) return 0;
  const double hundredths = chunkRate * 100.0;
  const double whole = std::round(hundredths);
  if (std::fabs(hundredths - whole) < 1e-6 && whole >= 1.0 && whole < 1e9 && chunk < (uint64_t{1} << 32))
    return static_cast<int64_t>(chunk * sampleRate * 100 / static_cast<uint64_t>(whole));
  return static_cast<int64_t>(std::floor(static_cast<double>(chunk) * sampleRate / chunkRate + 1e-9));
}

// The number of samples in chunk n.
inline uint32_t SoundChunkLength(uint64_t chunk, uint32_t sampleRate, double chunkRate) {
  return static_cast<uint32_t>(SoundChunkStart(chunk + 1, sampleRate, chunkRate) -
                               SoundChunkStart(chunk, sampleRate, chunkRate));
}
