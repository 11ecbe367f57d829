// The chroma key compares a pixel's shade of colour at the key's brightness,
// so shadows and highlights of the screen colour go with it, and the
// brightness range decides how far they may stray.
#include <gtest/gtest.h>

#include "render/compositor/chroma_key.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;

TEST(ChromaKey, ShadesOfTheKeyColourFollowTheBrightnessRange) {
  EXPECT_TRUE(ChromaKeyed(0x00FF00, kGreen, 16, 32));
  // 0x00C0 is 63 below the key in the sum of channels: inside 3 x 32 = 96.
  EXPECT_TRUE(ChromaKeyed(0x00C000, kGreen, 16, 32));
  // 0x0080 is 127 below: only a wider brightness range takes it.
  EXPECT_FALSE(ChromaKeyed(0x008000, kGreen, 16, 32));
  EXPECT_TRUE(ChromaKeyed(0x008000, kGreen, 16, 64));
}

TEST(ChromaKey, OtherShadesStayWhateverTheirBrightness) {
  // Same brightness as the key but another colour.
  EXPECT_FALSE(ChromaKeyed(0x808000, kGreen, 16, 255)); // olive
  EXPECT_FALSE(ChromaKeyed(0x00807F, kGreen, 16, 255)); // teal
  EXPECT_FALSE(ChromaKeyed(0x555555, kGreen, 16, 255)); // grey
  // A slightly bluish green is inside a wide colour range only.
  EXPECT_FALSE(ChromaKeyed(0x00E030, kGreen, 4, 64));
  EXPECT_TRUE(ChromaKeyed(0x00E030, kGreen, 50, 64));
}

TEST(ChromaKey, BlackAndGreyKeys) {
  EXPECT_TRUE(ChromaKeyed(0x000000, 0x000000, 0, 0));
  EXPECT_TRUE(ChromaKeyed(0x020202, 0x000000, 4, 4));
  EXPECT_FALSE(ChromaKeyed(0x000000, kGreen, 255, 32)); // black is no shadow of green here
  // A grey key takes greys within the brightness range, not colours.
  EXPECT_TRUE(ChromaKeyed(0x707070, 0x808080, 8, 16));
  EXPECT_FALSE(ChromaKeyed(0x404040, 0x808080, 8, 16));
  EXPECT_FALSE(ChromaKeyed(0x8080C0, 0x808080, 8, 64));
}

} // namespace
