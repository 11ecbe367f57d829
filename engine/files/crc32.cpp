#include "engine/files/crc32.h"

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
