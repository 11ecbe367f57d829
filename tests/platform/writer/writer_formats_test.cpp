// Sizes, frame rates and sound formats through the real encoders.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/system/system_info.h"
#include "support/writer_clip.h"

namespace {

ClipSpec ShortClip(int32_t width, int32_t height, double fps, uint32_t frames) {
  ClipSpec spec;
  spec.width = width;
  spec.height = height;
  spec.frameRate = fps;
  spec.frames = frames;
  spec.chunks = static_cast<uint32_t>(frames / fps * spec.chunkRate + 0.999);
  spec.toneStart = 0;
  return spec;
}

int LevelOfClip(WriterTestDir& dir, int32_t width, int32_t height, double fps, uint32_t kbit) {
  ClipSpec spec = ShortClip(width, height, fps, 2);
  spec.videoKbit = kbit;
  const std::string out = dir.File("level.mp4");
  if (WriteClip(spec, out) != 0) return -1;
  return ProbeMedia(out, false).level;
}

} // namespace

TEST(WriterFormats, OddHeightIsPaddedByItsLastRow) {
  WriterTestDir dir;
  const ClipSpec spec = ShortClip(160, 91, 25, 10);
  const std::string out = dir.File("odd.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out);
  EXPECT_EQ(probe.width, 160);
  EXPECT_EQ(probe.height, 92);
  ASSERT_EQ(probe.pictures.size(), 10u);
  for (uint32_t i = 0; i < 10; ++i) {
    ASSERT_EQ(probe.pictures[i].height, 92);
    EXPECT_EQ(ReadFrameNumber(probe.pictures[i]), i);
    for (const int y : {89, 91}) {
      const Rgb bottom = probe.pictures[i].At(80, y);
      EXPECT_GT(bottom.b, 200);
      EXPECT_LT(bottom.r, 60);
    }
    EXPECT_NEAR(probe.pictures[i].At(80, 45).g, FrameColour(i).g, 12);
  }
}

TEST(WriterFormats, NtscRateUsesThousandUnitsPerFrame) {
  WriterTestDir dir;
  const double fps = 30000.0 / 1001.0;
  const ClipSpec spec = ShortClip(160, 90, fps, 31);
  const std::string out = dir.File("ntsc.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out);
  EXPECT_EQ(probe.timeScale, 29970);
  ASSERT_EQ(probe.pictures.size(), 31u);
  EXPECT_DOUBLE_EQ(probe.pictures[30].time, 30000.0 / 29970.0);
  for (uint32_t i = 0; i < 31; ++i) EXPECT_EQ(ReadFrameNumber(probe.pictures[i]), i);
}

TEST(WriterFormats, EightBitMonoSound) {
  WriterTestDir dir;
  ClipSpec spec = ShortClip(160, 90, 25, 25);
  spec.bits = 8;
  spec.channels = 1;
  spec.sampleRate = 22050;
  spec.toneHz = 440;
  const std::string out = dir.File("mono8.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out, false);
  EXPECT_EQ(probe.audioCodec, AV_CODEC_ID_AAC);
  EXPECT_EQ(probe.sampleRate, 22050);
  EXPECT_EQ(probe.channels, 1);
  EXPECT_NEAR(ToneFrequency(probe.sound, 22050, 0.1, 0.9), 440.0, 10.0);
}

TEST(WriterFormats, RateTheEncoderRefusesIsResampled) {
  WriterTestDir dir;
  ClipSpec spec = ShortClip(160, 90, 25, 25);
  spec.sampleRate = 4000;
  spec.toneHz = 500;
  const std::string out = dir.File("rate.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out, false);
  EXPECT_EQ(probe.sampleRate, 7350);
  EXPECT_NEAR(ToneFrequency(probe.sound, probe.sampleRate, 0.1, 0.9), 500.0, 15.0);
}

TEST(WriterFormats, ProfileLevelByTable) {
  WriterTestDir dir;
  MacVerAtLeast108 = 1;
  EXPECT_EQ(LevelOfClip(dir, 720, 480, 29.97, 3072), 30);
  EXPECT_EQ(LevelOfClip(dir, 720, 480, 30000.0 / 1001.0, 3072), 31);
  EXPECT_EQ(LevelOfClip(dir, 720, 576, 25, 3072), 31);
  EXPECT_EQ(LevelOfClip(dir, 1280, 720, 25, 3072), 32);
  EXPECT_EQ(LevelOfClip(dir, 1920, 1080, 25, 3072), 41);
  EXPECT_EQ(LevelOfClip(dir, 640, 480, 25, 10000), 31);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Using AVVideoProfileLevelH264Main30 profile"), std::string::npos);
  EXPECT_NE(log.find("Using AVVideoProfileLevelH264Main41 profile"), std::string::npos);
}

TEST(WriterFormats, OlderSystemLeavesTheLevelToTheEncoder) {
  WriterTestDir dir;
  MacVerAtLeast108 = 0;
  ClipSpec spec = ShortClip(1280, 720, 25, 2);
  const std::string out = dir.File("default.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out, false);
  EXPECT_EQ(probe.profile, FF_PROFILE_H264_MAIN);
  EXPECT_NE(probe.level, 32);
  EXPECT_NE(dir.Log().find("Using default H.264 profile for OS X 10.7"), std::string::npos);
}

TEST(WriterFormats, AacBitrateClampIsLogged) {
  WriterTestDir dir;
  ClipSpec spec = ShortClip(160, 90, 25, 5);
  spec.audioKbit = 320;
  ASSERT_EQ(WriteClip(spec, dir.File("clamp.mp4")), 0);
  EXPECT_NE(dir.Log().find("Actual output AAC bitrate: 312 kbps"), std::string::npos);
}

TEST(WriterFormats, OddWidthIsPaddedByItsLastColumn) {
  WriterTestDir dir;
  const ClipSpec spec = ShortClip(161, 90, 25, 5);
  const std::string out = dir.File("oddwidth.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out);
  EXPECT_EQ(probe.width, 162);
  ASSERT_EQ(probe.pictures.size(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(probe.pictures[i].At(161, 45).r, FrameColour(i).r, 12);
    EXPECT_NEAR(probe.pictures[i].At(161, 80).b, 255, 24);
  }
}
