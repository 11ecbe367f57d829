// A real output through the writer routines, decoded again with FFmpeg.
#include <gtest/gtest.h>

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/ffmpeg/writer_facade.h"
#include "platform/system/system_info.h"
#include "support/writer_clip.h"

namespace {

void ExpectColourNear(const Rgb& got, const Rgb& want, int tolerance) {
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
}

} // namespace

TEST(WriterOutput, TwoSecondClipDecodesAsWritten) {
  WriterTestDir dir;
  MacVerAtLeast108 = 1;
  ClipSpec spec;
  const std::string out = dir.File("clip.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);

  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  EXPECT_EQ(probe.videoStreams, 1);
  EXPECT_EQ(probe.audioStreams, 1);
  EXPECT_EQ(probe.videoCodec, AV_CODEC_ID_H264);
  EXPECT_EQ(probe.profile, FF_PROFILE_H264_MAIN);
  EXPECT_EQ(probe.level, 30);
  EXPECT_EQ(probe.audioCodec, AV_CODEC_ID_AAC);
  EXPECT_EQ(probe.sampleRate, 44100);
  EXPECT_EQ(probe.channels, 2);
  EXPECT_EQ(probe.width, 320);
  EXPECT_EQ(probe.height, 240);
  EXPECT_NEAR(probe.duration, 2.0, 0.05);
  ASSERT_EQ(probe.pictures.size(), 50u);

  for (size_t i = 0; i < probe.pictures.size(); ++i) {
    const DecodedPicture& picture = probe.pictures[i];
    EXPECT_EQ(ReadFrameNumber(picture), i) << "picture " << i;
    EXPECT_NEAR(picture.time, i / 25.0, 0.002) << "picture " << i;
  }
  const DecodedPicture& frame25 = probe.pictures[25];
  ExpectColourNear(frame25.At(160, 120), FrameColour(25), 12);
  // Row order: the number blocks at the top, the blue band at the bottom.
  ExpectColourNear(frame25.At(160, 230), Rgb{0, 0, 255}, 24);
  EXPECT_EQ(ReadFrameNumber(frame25), 25u);

  EXPECT_LT(SoundRms(probe.sound, 44100, 0.1, 0.95), 0.01);
  EXPECT_GT(SoundRms(probe.sound, 44100, 1.05, 1.95), 0.2);
  EXPECT_NEAR(ToneFrequency(probe.sound, 44100, 1.05, 1.95), 1000.0, 20.0);
  // The tone starts at 1.0 s: the 20 ms before it are quiet, the 20 ms
  // after it are not (the encoder's start delay is cut by the edit list).
  EXPECT_LT(SoundRms(probe.sound, 44100, 0.97, 0.99), 0.05);
  EXPECT_GT(SoundRms(probe.sound, 44100, 1.01, 1.03), 0.2);
  EXPECT_NEAR(SoundOnset(probe.sound, 44100, 0.9, 0.1), 1.0, 0.005);
  EXPECT_TRUE(dir.Entries() == std::vector<std::string>{"clip.mp4"});
}

// 4:2:0 frames from one buffer more than the writer may hold, each drawn
// over as soon as the hand-over after it allows, with 32-bit frames among
// them: every picture comes out whole, in its place.
TEST(WriterOutput, QueuedPlanarFramesComeOutInOrder) {
  WriterTestDir dir;
  MacVerAtLeast108 = 1;
  ClipSpec spec;
  spec.frames = 60;
  spec.chunks = 12;
  spec.planes = true;
  spec.bgraEvery = 13;
  const std::string out = dir.File("queued.mp4");
  std::vector<uint8_t> frameBuffer, soundBuffer;
  int putErrors = -1;
  ASSERT_EQ(OpenAndFeed(spec, out, frameBuffer, soundBuffer, &putErrors), 0);
  EXPECT_EQ(putErrors, 0);
  ASSERT_EQ(MediaMacAvFinishWriting(), 0);
  MediaMacAvCreateClose();

  const MediaProbe probe = ProbeMedia(out);
  ASSERT_EQ(probe.pictures.size(), 60u);
  for (size_t i = 0; i < probe.pictures.size(); ++i) {
    EXPECT_EQ(ReadFrameNumber(probe.pictures[i]), i) << "picture " << i;
    EXPECT_NEAR(probe.pictures[i].time, i / 25.0, 0.002) << "picture " << i;
    ExpectColourNear(probe.pictures[i].At(160, 120), FrameColour(static_cast<uint32_t>(i)), 12);
  }
}
