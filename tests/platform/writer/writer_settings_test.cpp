// The writer's encoder-setting rules: level table, AAC clamp, sample-rate
// choice and the video time scale.
#include <gtest/gtest.h>

#include "platform/ffmpeg/writer_settings.h"

TEST(WriterSettings, LevelTableEdges) {
  EXPECT_EQ(H264LevelFor(720, 480, 3072, 29.97), H264Level::Main30);
  EXPECT_EQ(H264LevelFor(720, 480, 3072, 30000.0 / 1001.0), H264Level::Main31);
  EXPECT_EQ(H264LevelFor(720, 576, 3072, 25), H264Level::Main31);
  EXPECT_EQ(H264LevelFor(1280, 720, 3072, 25), H264Level::Main32);
  EXPECT_EQ(H264LevelFor(1281, 720, 3072, 25), H264Level::Main41);
  EXPECT_EQ(H264LevelFor(1920, 1080, 3072, 25), H264Level::Main41);
  EXPECT_EQ(H264LevelFor(640, 480, 9999, 25), H264Level::Main30);
  EXPECT_EQ(H264LevelFor(640, 480, 10000, 25), H264Level::Main31);
  EXPECT_EQ(H264LevelFor(640, 480, 14000, 25), H264Level::Main32);
  EXPECT_EQ(H264LevelFor(640, 480, 20000, 25), H264Level::Main41);
  EXPECT_EQ(H264LevelFor(721, 480, 3072, 25), H264Level::Main32);
}

TEST(WriterSettings, LevelNamesAndNumbers) {
  EXPECT_STREQ(H264LevelName(H264Level::Main30), "AVVideoProfileLevelH264Main30");
  EXPECT_STREQ(H264LevelName(H264Level::Main41), "AVVideoProfileLevelH264Main41");
  EXPECT_EQ(H264LevelIdc(H264Level::Main30), 30);
  EXPECT_EQ(H264LevelIdc(H264Level::Main31), 31);
  EXPECT_EQ(H264LevelIdc(H264Level::Main32), 32);
  EXPECT_EQ(H264LevelIdc(H264Level::Main41), 41);
}

TEST(WriterSettings, AacClamp) {
  EXPECT_EQ(ClampAacKbitrate(16, 1), 32);
  EXPECT_EQ(ClampAacKbitrate(320, 1), 240);
  EXPECT_EQ(ClampAacKbitrate(48, 2), 64);
  EXPECT_EQ(ClampAacKbitrate(320, 2), 312);
  EXPECT_EQ(ClampAacKbitrate(128, 2), 128);
  EXPECT_EQ(ClampAacKbitrate(-5, 2), 64);
}

TEST(WriterSettings, AacSampleRateNearestSupported) {
  const int rates[] = {48000, 44100, 32000, 22050, 11025, 8000, 0};
  EXPECT_EQ(AacSampleRateFor(44100, rates), 44100);
  EXPECT_EQ(AacSampleRateFor(46000, rates), 44100);
  EXPECT_EQ(AacSampleRateFor(47000, rates), 48000);
  EXPECT_EQ(AacSampleRateFor(4000, rates), 8000);
  EXPECT_EQ(AacSampleRateFor(192000, rates), 48000);
  EXPECT_EQ(AacSampleRateFor(12345, nullptr), 12345);
}

TEST(WriterSettings, FrameTimeScale) {
  EXPECT_EQ(FrameTimeScaleFor(29.97003), 29970);
  EXPECT_EQ(FrameTimeScaleFor(30000.0 / 1001.0), 29970);
  EXPECT_EQ(FrameTimeScaleFor(23.976025), 23976);
  EXPECT_EQ(FrameTimeScaleFor(25.0), 25000);
  EXPECT_EQ(FrameTimeScaleFor(59.94), 59940);
}
