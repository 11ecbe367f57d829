// The first reader's sound: bytes per span, exact samples by time in any
// order, leading silence, the end of the sound and mixing down.
#include <gtest/gtest.h>

#include <cstring>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kRate = 44100;

// A small picture with the ramp as lossless sound, optionally starting late.
std::string MakeRampMovie(const std::string& name, double audioDelay, int seconds, const std::string& ext = ".mov") {
  std::string wav = MediaTestPath(name + ".wav");
  EXPECT_TRUE(WriteWav16(wav, kRate, 2, MakeRampPcm16(kRate * seconds, 2)));
  std::string out = MediaTestPath(name + ext); // .mov: sample-exact timestamps
  std::string delay = audioDelay > 0 ? "-itsoffset " + std::to_string(audioDelay) + " " : "";
  EXPECT_TRUE(MakeIndexVideo(out, seconds * 10, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                             delay + "-i " + wav, "-map 0:v -map 1:a -c:a pcm_s16le"));
  return out;
}

// Checks n bytes at data against the ramp from frame first (stereo).
::testing::AssertionResult MatchesRamp(const uint8_t* data, int bytes, int64_t first) {
  for (int i = 0; i < bytes / 4; ++i)
    for (int c = 0; c < 2; ++c) {
      int16_t s;
      std::memcpy(&s, data + i * 4 + c * 2, 2);
      if (s != RampSample(first + i, c))
        return ::testing::AssertionFailure() << "frame " << first + i << " channel " << c << ": " << s << " != "
                                             << RampSample(first + i, c);
    }
  return ::testing::AssertionSuccess();
}

TEST(ReaderAudio, SpanOfOneThirtiethHas5880Bytes) {
  std::string path = MakeRampMovie("ramp", 0, 3);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  ASSERT_EQ(reader.HasAudio(), 1u);
  ASSERT_EQ(reader.GetAudio(0.0, 1.0 / 30), 0);
  EXPECT_EQ(reader.AudioDataLength(), 5880u);
  EXPECT_TRUE(MatchesRamp(reader.AudioData(), 5880, 0));
  for (int k = 1; k < 60; ++k) {
    double t = k / 30.0;
    ASSERT_EQ(reader.GetAudio(t, 1.0 / 30), 0);
    ASSERT_EQ(reader.AudioDataLength(), 5880u) << k;
    ASSERT_TRUE(MatchesRamp(reader.AudioData(), 5880, k * 1470)) << k;
  }
}

TEST(ReaderAudio, ExactSamplesAfterJumpsBothWays) {
  std::string path = MakeRampMovie("jumps", 0, 8);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  for (double t : {6.5, 1.0, 7.2, 0.25, 3.0, 3.1, 0.0, 5.0}) {
    ASSERT_EQ(reader.GetAudio(t, 0.1), 0) << t;
    ASSERT_EQ(reader.AudioDataLength(), 17640u) << t;
    ASSERT_TRUE(MatchesRamp(reader.AudioData(), 17640, static_cast<int64_t>(t * kRate + 0.5))) << t;
  }
}

TEST(ReaderAudio, AviSoundIsExact) {
  std::string path = MakeRampMovie("avi", 0, 3, ".avi");
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  for (double t : {0.0, 1.5, 0.5, 2.0}) {
    ASSERT_EQ(reader.GetAudio(t, 0.1), 0) << t;
    ASSERT_EQ(reader.AudioDataLength(), 17640u);
    ASSERT_TRUE(MatchesRamp(reader.AudioData(), 17640, static_cast<int64_t>(t * kRate + 0.5))) << t;
  }
}

TEST(ReaderAudio, RepeatedSpanIsServedAgain) {
  std::string path = MakeRampMovie("again", 0, 2);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  ASSERT_EQ(reader.GetAudio(0.5, 0.2), 0);
  const uint8_t* first = reader.AudioData();
  std::vector<uint8_t> copy(first, first + reader.AudioDataLength());
  ASSERT_EQ(reader.GetAudio(0.5, 0.2), 0);
  EXPECT_EQ(reader.AudioData(), first);
  EXPECT_EQ(std::vector<uint8_t>(reader.AudioData(), reader.AudioData() + reader.AudioDataLength()), copy);
}

TEST(ReaderAudio, LeadingSilenceBeforeTheFirstSound) {
  std::string path = MakeRampMovie("late", 0.5, 3);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  ASSERT_EQ(reader.GetAudio(0.0, 1.0), 0);
  ASSERT_EQ(reader.AudioDataLength(), 176400u);
  const uint8_t* data = reader.AudioData();
  for (int i = 0; i < 88200; ++i) ASSERT_EQ(data[i], 0) << i;
  EXPECT_TRUE(MatchesRamp(data + 88200, 88200, 0));
}

TEST(ReaderAudio, EndOfTheSound) {
  std::string path = MakeRampMovie("end", 0, 2);
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  double length = reader.MediaLength();
  EXPECT_EQ(reader.GetAudio(length, 0.1), -89);
  EXPECT_EQ(reader.AudioData(), nullptr);
  EXPECT_EQ(reader.GetAudio(0.0, -1.0), -89);
  ASSERT_EQ(reader.GetAudio(length - 0.05, 0.5), 0);
  EXPECT_LE(reader.AudioDataLength(), static_cast<uint32_t>(0.05 * 176400 + 4));
  EXPECT_EQ(reader.AudioDataLength() % 4, 0u);
}

TEST(ReaderAudio, AacTrackGivesWholeSpans) {
  std::string path = MediaTestPath("tone.m4a");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100 -t 2 -ac 2 -c:a aac " + path));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(reader.HasVideo(), 0u);
  EXPECT_EQ(reader.BitmapData(), nullptr);
  EXPECT_LT(reader.GetFrame(0.0), 0);
  ASSERT_EQ(reader.HasAudio(), 1u);
  int loud = 0;
  for (int k = 0; k < 45; ++k) {
    ASSERT_EQ(reader.GetAudio(k / 30.0, 1.0 / 30), 0);
    ASSERT_EQ(reader.AudioDataLength(), 5880u);
    const int16_t* s = reinterpret_cast<const int16_t*>(reader.AudioData());
    for (int i = 0; i < 2940; ++i) loud += std::abs(s[i]) > 1000;
  }
  EXPECT_GT(loud, 50000); // a sine, not silence
}

TEST(ReaderAudio, SixChannelsAreMixedDownToStereo) {
  std::string path = MediaTestPath("six.mkv");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=300:sample_rate=48000 -t 1 -af \"pan=5.1|FL=c0|FR=c0|FC=c0|LFE=c0|BL=c0|BR=c0\" -c:a pcm_s16le " + path));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  const AudioFormat& f = reader.Format();
  EXPECT_EQ(+f.nChannels, 2);
  EXPECT_EQ(+f.nSamplesPerSec, 48000u);
  EXPECT_EQ(+f.nBlockAlign, 4);
  ASSERT_EQ(reader.GetAudio(0.1, 0.5), 0);
  ASSERT_EQ(reader.AudioDataLength(), 96000u);
  const int16_t* s = reinterpret_cast<const int16_t*>(reader.AudioData());
  int loud = 0;
  for (int i = 0; i < 48000; ++i) loud += std::abs(s[i]) > 2000;
  EXPECT_GT(loud, 10000);
}

TEST(ReaderAudio, LowRateIsResampledTo4000) {
  std::string path = MediaTestPath("low.wav.mkv");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=200:sample_rate=2000 -t 1 -c:a pcm_s16le " + path));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(+reader.Format().nSamplesPerSec, 4000u);
  EXPECT_EQ(+reader.Format().nChannels, 1);
  ASSERT_EQ(reader.GetAudio(0.0, 0.5), 0);
  EXPECT_EQ(reader.AudioDataLength(), 4000u);
}

} // namespace
