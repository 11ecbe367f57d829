// The output settings' rules on their own: picture widths, bitrate floors,
// profiles, stored values brought back to offered ones, the frame rates
// handed to the engine, and the time-left texts of the progress window.
#include <gtest/gtest.h>

#include "ui/shell/output_settings.h"
#include "ui/shell/wcCreateStatus.h"

TEST(OutputSettings, WidthFollowsHeightAndRatioInWholeEights) {
  const int heights[] = {120, 180, 240, 320, 480, 576, 640, 720, 960, 1080};
  const int widths[][3] = {{160, 184, 216},   {240, 272, 320},   {320, 360, 432},    {432, 480, 568},
                           {640, 720, 856},   {768, 864, 1024},  {856, 960, 1144},   {960, 1080, 1280},
                           {1280, 1440, 1712}, {1440, 1624, 1920}};
  for (size_t row = 0; row < std::size(heights); ++row) {
    for (int aspect = 0; aspect < 3; ++aspect) {
      int chosen = aspect;
      EXPECT_EQ(OutputPictureWidth(heights[row], chosen), widths[row][aspect])
          << heights[row] << " at ratio " << aspect;
      EXPECT_EQ(chosen, aspect);
    }
  }
  int unknown = 7;
  EXPECT_EQ(OutputPictureWidth(120, unknown), 184);
  EXPECT_EQ(unknown, 1) << "any other ratio is taken as 3:2";
}

TEST(OutputSettings, LowBitrateFloorsByHeight) {
  EXPECT_TRUE(OutputBitrateLow(5999, 720));
  EXPECT_FALSE(OutputBitrateLow(6000, 720));
  EXPECT_FALSE(OutputBitrateLow(1, 180)) << "no warning at 180 and below";
  EXPECT_TRUE(OutputBitrateLow(11999, 1080));
  EXPECT_TRUE(OutputBitrateLow(8999, 960));
  EXPECT_FALSE(OutputBitrateLow(2000, 480));
  EXPECT_TRUE(OutputBitrateLow(999, 320));
  EXPECT_TRUE(OutputBitrateLow(499, 240));
}

TEST(OutputSettings, StoredValuesComeBackToOfferedOnes) {
  OutputSettings s;
  s.PicSize = 500;
  s.FrameRate = 2398;
  s.Quality = 9;
  s.AudioRate = 22050;
  s.AudioType = -1;
  NormaliseOutputSettings(s);
  EXPECT_EQ(s.PicSize, 480);
  EXPECT_EQ(s.PicSizeX, 856);
  EXPECT_EQ(s.FrameRate, 2997);
  EXPECT_EQ(s.Quality, 3);
  EXPECT_EQ(s.AudioRate, 44100);
  EXPECT_EQ(s.AudioType, 3);
  s.FrameRate = 5994;
  s.Quality = 5;
  NormaliseOutputSettings(s);
  EXPECT_EQ(s.FrameRate, 5994);
  EXPECT_EQ(OutputFrameRateTitle(s.FrameRate), "59.94 FPS");
  EXPECT_EQ(s.Quality, 5);
}

TEST(OutputSettings, ProfilesAndTheFrameRatesTheEngineGets) {
  OutputSettings s;
  s.AudioRate = 48000;
  ASSERT_TRUE(ApplyOutputProfile("Internet / Upload: Tiny (180 @ 15 FPS)", s));
  NormaliseOutputSettings(s);
  EXPECT_EQ(s.PicSizeX, 240);
  EXPECT_EQ(s.PicSize, 180);
  EXPECT_EQ(s.FrameRate, 1500);
  EXPECT_EQ(s.AudioType, 0);
  EXPECT_EQ(s.AudioRate, 44100) << "every profile sets 44100 Hz";
  EXPECT_EQ(OutputTotalBitrateText(s.VBit, s.ABit), "272 kbps  (2.0 MB / min)");
  ASSERT_TRUE(ApplyOutputProfile("Television (overscan): PAL (576p)", s));
  EXPECT_EQ(s.FrameRate, 2997);
  EXPECT_FLOAT_EQ(s.Overscan, 5.0f);
  OutputSettings untouched = s;
  EXPECT_FALSE(ApplyOutputProfile("Custom", s));
  EXPECT_EQ(s.PicSize, untouched.PicSize);
  ASSERT_TRUE(ApplyOutputProfile("No such profile", s));
  EXPECT_EQ(s.PicSize, 480) << "the base values stay";
  EXPECT_EQ(s.VBit, 5120);

  EXPECT_FLOAT_EQ(OutputFrameRateForEngine(OutputFrameRateFromTitle("24 FPS")), 23.976025f);
  EXPECT_FLOAT_EQ(OutputFrameRateForEngine(OutputFrameRateFromTitle("29.97 FPS")), 29.97003f);
  EXPECT_FLOAT_EQ(OutputFrameRateForEngine(OutputFrameRateFromTitle("59.94 FPS")), 59.94006f);
  EXPECT_FLOAT_EQ(OutputFrameRateForEngine(OutputFrameRateFromTitle("25 FPS")), 25.0f);
  EXPECT_EQ(OutputQualityFromSlider(0), 5);
  EXPECT_EQ(OutputSliderFromQuality(3), 4);
}

TEST(RenderProgress, TimeLeftTexts) {
  EXPECT_EQ(RenderTimeLeftText(99.0f), "99 seconds");
  EXPECT_EQ(RenderTimeLeftText(100.0f), "2 minutes");
  EXPECT_EQ(RenderTimeLeftText(5970.0f), "2 hours") << "99.5 minutes round to 100";
  EXPECT_EQ(RenderTimeLeftText(1.0f), "1 second");
  EXPECT_EQ(RenderTimeLeftText(59.4f * 60.0f), "59 minutes");
  EXPECT_EQ(RenderTimeLeftText(90.0f * 60.0f), "90 minutes");
}
