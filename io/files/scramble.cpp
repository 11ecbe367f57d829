#include "io/files/scramble.h"

void ScrambleBytes(uint8_t* data, size_t size, uint32_t key) {
  uint32_t x = key ^ (static_cast<uint32_t>(size) * 0x9E3779B9u);
  if (x == 0) x = key;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    data[i] ^= static_cast<uint8_t>((x >> 24) + static_cast<uint8_t>(i));
  }
}
