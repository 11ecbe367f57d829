// Colours of YCbCr video read to 32-bit pixels: the matrix and range the
// file is tagged with, and for an untagged file the one its size implies.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "support/media_fixtures.h"

namespace {

// Saturated enough that BT.601 and BT.709 decode it over ten levels apart.
constexpr int kR = 200, kG = 60, kB = 40;
constexpr int kTolerance = 3;

struct ColourCase {
  const char* name;
  int width, height;
  const char* matrix; // the encoding matrix, as libswscale's filter names it
  const char* range;  // "tv" or "pc"
  bool tagged;
};

TEST(ReaderColour, SolidColourComesBackThroughTheSourceMatrixAndRange) {
  const ColourCase cases[] = {
      {"hd709", 1280, 720, "bt709", "tv", true},
      {"hd709full", 1280, 720, "bt709", "pc", true},
      {"hduntagged", 1280, 720, "bt709", "tv", false},
      {"sd709", 320, 240, "bt709", "tv", true},
      {"sduntagged", 320, 240, "bt601", "tv", false},
      {"cinemauntagged", 1280, 536, "bt709", "tv", false}, // wide HD, not tall
  };
  char colour[16];
  std::snprintf(colour, sizeof colour, "0x%02X%02X%02X", kR, kG, kB);
  for (const ColourCase& c : cases) {
    const std::string path = MediaTestPath(std::string("solid-") + c.name + ".mp4");
    std::string args = "-f lavfi -i color=c=" + std::string(colour) + ":s=" + std::to_string(c.width) + "x" +
                       std::to_string(c.height) + ":r=25:d=0.2,format=rgb24 -vf scale=out_color_matrix=" +
                       c.matrix + ":out_range=" + c.range + ",format=yuv420p -c:v libx264 -preset ultrafast ";
    if (c.tagged) args += std::string("-colorspace ") + c.matrix + " -color_range " + c.range + " ";
    ASSERT_TRUE(RunFfmpeg(args + path)) << c.name;
    MediaMacAV reader;
    ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0) << c.name;
    ASSERT_EQ(reader.GetFrame(0.04), 0) << c.name;
    const bool bottomUp = reader.FlipY() == 1;
    for (int y : {1, c.height / 2, c.height - 2}) {
      const uint32_t p = PixelAt(reader.BitmapData(), c.width, c.height, bottomUp, c.width / 2, y);
      EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), kR, kTolerance) << c.name << " row " << y;
      EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), kG, kTolerance) << c.name << " row " << y;
      EXPECT_NEAR(static_cast<int>(p & 0xFF), kB, kTolerance) << c.name << " row " << y;
      EXPECT_EQ(p >> 24, 0xFFu) << c.name;
    }
  }
}

} // namespace
