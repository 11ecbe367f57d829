// The files' CRC-32 stays the zlib / PNG one, so files written before keep
// reading: the standard check value, and chained slices equal one call.
#include <gtest/gtest.h>

#include <string>

#include "io/files/crc32.h"

TEST(Crc32, CheckValueAndChainedSlices) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(text.data(), text.size()), 0xCBF43926u);
  uint32_t chained = Crc32(text.data(), 4);
  chained = Crc32(text.data() + 4, 0, chained);
  chained = Crc32(text.data() + 4, 5, chained);
  EXPECT_EQ(chained, 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
}
