#pragma once
// Puts the header CRC of a style or template file right, so fuzzing reaches
// the record parsers (the layouts are documented in style_format.cpp and
// template_format.cpp).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/files/crc32.h"
#include "io/files/scramble.h"

inline void FuzzPutU32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// CRC over the 32-byte header (field at crcAt taken as 0) and a plain run.
inline uint32_t FuzzHeaderCrc(const std::vector<uint8_t>& f, size_t crcAt, const uint8_t* plain,
                              size_t plainSize) {
  std::vector<uint8_t> header(f.begin(), f.begin() + 32);
  FuzzPutU32(header, crcAt, 0);
  return Crc32(plain, plainSize, Crc32(header.data(), header.size()));
}
