#include "io/files/crc32.h"

#include <algorithm>
#include <climits>

#include <zlib.h>

uint32_t Crc32(const void* data, size_t size, uint32_t previous) {
  // zlib's length is a uInt: large blocks go in slices.
  const Bytef* p = static_cast<const Bytef*>(data);
  uLong crc = previous;
  while (size > 0) {
    uInt n = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    crc = crc32(crc, p, n);
    p += n;
    size -= n;
  }
  return static_cast<uint32_t>(crc);
}

uint32_t HeaderCrc32(const uint8_t* header, size_t headerBytes, const std::vector<uint8_t>& payload) {
  const uint8_t zero[4] = {0, 0, 0, 0};
  uint32_t crc = Crc32(header, 16);
  crc = Crc32(zero, 4, crc);
  crc = Crc32(header + 20, headerBytes - 20, crc);
  return Crc32(payload.data(), payload.size(), crc);
}
