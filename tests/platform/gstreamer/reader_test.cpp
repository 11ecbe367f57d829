// The second reader's pictures: frames by time in every order compared with
// the first reader's, the frame-duration detection, the end of the media,
// one-frame movies, files without pictures and look-aheads.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/log.h"
#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "platform/gstreamer/reader.h"
#include "support/media_fixtures.h"
#include "support/read_file.h"

namespace {

constexpr int kW = 96, kH = 64;
constexpr int kFrames = 450; // 15 s at 30000/1001
constexpr double kNtscFrame = 1001.0 / 30000.0;

std::string LogText() { return ReadWholeFile(WideToUtf8(LogGetPath())); }

class QtReader : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    path_ = MediaTestPath("ntsc.mp4");
    ASSERT_TRUE(MakeIndexVideo(path_, kFrames, kW, kH, "30000/1001",
                               "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30 -bf 2",
                               "-f lavfi -i sine=frequency=440:sample_rate=44100 -ac 2", "-c:a aac -shortest"));
  }
  void SetUp() override {
    ASSERT_EQ(LogOpen(Utf8ToWide(MediaTestDir()).c_str()), 0);
    ASSERT_EQ(reader_.Open(Utf8ToWide(path_)), 0);
    ASSERT_EQ(first_.Open(Utf8ToWide(path_)), 0);
  }
  void TearDown() override { LogClose(); }
  int IndexAt(double t) {
    if (reader_.GetFrame(t) != 0) return -2;
    return ReadFrameIndex(reader_.BitmapData(), kW, kH, false);
  }
  // The frame the first reader gives for the same time.
  int FirstIndexAt(double t) {
    if (first_.GetFrame(t) != 0) return -3;
    return ReadFrameIndex(first_.BitmapData(), kW, kH, true);
  }
  void ExpectSameFrame(double t) {
    int expected = FirstIndexAt(t);
    ASSERT_GE(expected, 0) << "t " << t;
    ASSERT_EQ(IndexAt(t), expected) << "t " << t;
  }
  static std::string path_;
  MediaMacQT reader_;
  MediaMacAV first_;
};
std::string QtReader::path_;

TEST_F(QtReader, DescribesThePictureWithoutSound) {
  EXPECT_EQ(reader_.HasVideo(), 1u);
  EXPECT_EQ(reader_.HasAudio(), 0u);
  EXPECT_EQ(reader_.Orientation(), 0u);
  EXPECT_NEAR(reader_.MediaLength(), kFrames * kNtscFrame, 0.1);
  const tagBITMAPINFOHEADER& bf = reader_.BitmapFormat();
  EXPECT_EQ(bf.biSize, 40u);
  EXPECT_EQ(bf.biWidth, kW);
  EXPECT_EQ(bf.biHeight, kH);
  EXPECT_EQ(bf.biPlanes, 1);
  EXPECT_EQ(bf.biBitCount, 32);
  EXPECT_EQ(bf.biCompression, 0u);
  EXPECT_EQ(bf.biSizeImage, static_cast<uint32_t>(kW * kH * 4));
  EXPECT_DOUBLE_EQ(reader_.PlaybackFrameRate(), 29.97);
  reader_.SetPlaybackFrameRate(25.0);
  EXPECT_DOUBLE_EQ(reader_.PlaybackFrameRate(), 25.0);
  AudioFormat none{};
  EXPECT_EQ(std::memcmp(&reader_.Format(), &none, sizeof none), 0);
  EXPECT_EQ(reader_.GetAudio(0.0, 0.1), -1);
  EXPECT_EQ(reader_.AudioData(), nullptr);
  EXPECT_EQ(reader_.AudioDataLength(), 0u);
}

TEST_F(QtReader, DetectsTheNtscFrameRate) {
  EXPECT_NEAR(reader_.FrameDuration(), kNtscFrame, 1e-6);
  EXPECT_NE(LogText().find("MediaMacQT: 29.970 FPS detected"), std::string::npos) << LogText();
}

TEST_F(QtReader, FramesForwardsMatchTheFirstReader) {
  for (int i = 0; i < 120; ++i) ExpectSameFrame(i * kNtscFrame);
  for (int i = 120; i < 240; i += 3) ExpectSameFrame(i * kNtscFrame + 0.02);
}

TEST_F(QtReader, FramesBackwardsMatchTheFirstReader) {
  for (int i = kFrames - 1; i >= 0; i -= 11) ExpectSameFrame(i * kNtscFrame + 0.01);
}

TEST_F(QtReader, TenSecondJumpAndTwoSecondSteps) {
  ExpectSameFrame(0.5);
  ExpectSameFrame(10.5);
  for (double t = 0.0; t < 14.9; t += 2.0) ExpectSameFrame(t);
  for (double t = 1.3; t < 14.9; t += 2.0) ExpectSameFrame(t);
  ExpectSameFrame(3.0); // one second and more behind
}

// Up to 5 s ahead the movie steps frame by frame; farther ahead, or behind
// the current frame, it seeks once.
TEST_F(QtReader, StepsForShortDistancesAndSeeksForLongOnes) {
  ASSERT_EQ(IndexAt(0.5), 14);
  const uint32_t opened = reader_.SeekCount();
  EXPECT_EQ(opened, 1u); // the open's own seek to 0
  ExpectSameFrame(2.5);
  ExpectSameFrame(4.5);
  ExpectSameFrame(9.4);
  EXPECT_EQ(reader_.SeekCount(), opened); // 2 s, 2 s and 4.9 s ahead
  ExpectSameFrame(14.5);
  EXPECT_EQ(reader_.SeekCount(), opened + 1); // 5.1 s ahead
  ExpectSameFrame(13.5);
  EXPECT_EQ(reader_.SeekCount(), opened + 2); // 1 s behind
  reader_.Seek(7.0);
  reader_.Seek(7.0);
  EXPECT_EQ(reader_.SeekCount(), opened + 3); // the second is the fresh position already
  ExpectSameFrame(7.0);
  EXPECT_EQ(reader_.SeekCount(), opened + 3);
}

TEST_F(QtReader, RandomTimesMatchTheFirstReader) {
  std::mt19937 rng(99);
  for (int n = 0; n < 40; ++n) ExpectSameFrame(std::uniform_real_distribution<double>(0.0, 14.9)(rng));
}

TEST_F(QtReader, ARequestAtTheEndOfTheHeldFrameGivesTheNextFrame) {
  ASSERT_EQ(IndexAt(40 * kNtscFrame + 0.01), 40);
  EXPECT_EQ(IndexAt(41 * kNtscFrame), 41);
  EXPECT_EQ(IndexAt(42 * kNtscFrame), 42);
  EXPECT_EQ(IndexAt(42 * kNtscFrame + 0.02), 42);
}

TEST_F(QtReader, SeekKeepsTheHeldFrameAndMovesThePosition) {
  ASSERT_EQ(IndexAt(1.0), 29);
  reader_.Seek(8.0);
  EXPECT_EQ(IndexAt(1.0), 29); // still the held frame
  EXPECT_EQ(IndexAt(8.0), FirstIndexAt(8.0));
  reader_.Seek(2.0);
  reader_.Seek(2.0);
  EXPECT_EQ(IndexAt(2.0), FirstIndexAt(2.0));
}

TEST_F(QtReader, TheLastFrameStaysToTheEndAndIsClearedPastIt) {
  const double last = (kFrames - 1) * kNtscFrame;
  int lastIndex = (kFrames - 1) % 256;
  ASSERT_EQ(IndexAt(last), lastIndex);
  EXPECT_EQ(IndexAt(reader_.MediaLength() - 0.0005), lastIndex);
  ASSERT_EQ(reader_.GetFrame(reader_.MediaLength() + 1.0), 0);
  const uint8_t* bits = reader_.BitmapData();
  for (size_t i = 0; i < static_cast<size_t>(kW * kH * 4); ++i) ASSERT_EQ(bits[i], 0) << i;
  ASSERT_EQ(reader_.GetFrame(reader_.MediaLength() + 30.0), 0);
  EXPECT_EQ(IndexAt(last), lastIndex);
  EXPECT_EQ(IndexAt(0.0), 0);
}

TEST_F(QtReader, LookAheadsDeliverTheSameFrames) {
  for (int i = 0; i < 60; ++i) {
    reader_.PrepareFrame(i * kNtscFrame);
    ASSERT_EQ(IndexAt(i * kNtscFrame), i);
  }
  reader_.PrepareFrame(-1.0); // ignored
  for (int i = 200; i < 230; ++i) {
    reader_.PrepareFrame(i * kNtscFrame, true);
    ASSERT_EQ(IndexAt(i * kNtscFrame), i);
  }
}

TEST_F(QtReader, ColoursComeOutInBgraOpaqueTopRowFirst) {
  ASSERT_EQ(reader_.GetFrame(1.0), 0);
  const uint8_t* bits = reader_.BitmapData();
  uint32_t red = PixelAt(bits, kW, kH, false, kW / 8, kH * 3 / 4);
  uint32_t blue = PixelAt(bits, kW, kH, false, kW * 5 / 8, kH * 3 / 4);
  EXPECT_EQ(red >> 24, 0xFFu);
  EXPECT_GT((red >> 16) & 0xFF, 200u);
  EXPECT_LT(red & 0xFF, 60u);
  EXPECT_GT(blue & 0xFF, 200u);
  EXPECT_LT((blue >> 16) & 0xFF, 60u);
}

TEST_F(QtReader, ClosedReaderAnswersWithoutAMovie) {
  reader_.Close();
  reader_.Close();
  EXPECT_EQ(reader_.BitmapData(), nullptr);
  EXPECT_EQ(reader_.GetFrame(1.0), -21);
  reader_.PrepareFrame(1.0); // no thread: returns at once
  reader_.Seek(2.0);
  ASSERT_EQ(reader_.Open(Utf8ToWide(path_)), 0);
  EXPECT_EQ(IndexAt(2.0), FirstIndexAt(2.0));
}

TEST(QtReaderFiles, SoundOnlyOpensWithoutVideo) {
  std::string path = MediaTestPath("tone.m4a");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 -c:a aac " + path));
  MediaMacQT reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(reader.HasVideo(), 0u);
  EXPECT_EQ(reader.BitmapData(), nullptr);
  EXPECT_DOUBLE_EQ(reader.FrameDuration(), 1.0);
  EXPECT_EQ(reader.GetFrame(0.5), -21);
}

TEST(QtReaderFiles, OneFrameMovieIsShorterThanATenthOfASecond) {
  std::string path = MediaTestPath("one.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 1, kW, kH, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  ASSERT_EQ(LogOpen(Utf8ToWide(MediaTestDir()).c_str()), 0);
  MediaMacQT reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(reader.HasVideo(), 1u);
  EXPECT_LT(reader.MediaLength(), 0.1);
  EXPECT_DOUBLE_EQ(reader.FrameDuration(), 1.0); // the steps do not advance
  EXPECT_NE(LogText().find("MediaMacQT: 1.000 FPS detected"), std::string::npos);
  ASSERT_EQ(reader.GetFrame(0.0), 0);
  EXPECT_EQ(ReadFrameIndex(reader.BitmapData(), kW, kH, false), 0);
  LogClose();
}

TEST(QtReaderFiles, NotMediaIsRefused) {
  std::string text = MediaTestPath("notes.txt");
  std::string line = "Some notes about the race\nLap 1 1:23.4\n";
  ASSERT_TRUE(WriteBytes(text, line.data(), line.size()));
  std::string empty = MediaTestPath("empty.mp4");
  ASSERT_TRUE(WriteBytes(empty, "", 0));
  std::string random = MediaTestPath("random.mp4");
  std::mt19937 rng(7);
  std::vector<uint8_t> bytes(65536);
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  ASSERT_TRUE(WriteBytes(random, bytes.data(), bytes.size()));
  for (const std::string& p : {text, empty, random, MediaTestPath("missing.mp4")}) {
    MediaMacQT reader;
    int rc = reader.Open(Utf8ToWide(p));
    EXPECT_TRUE(rc == -80 || (rc == 0 && reader.HasVideo() == 0)) << p << " " << rc;
    EXPECT_EQ(reader.BitmapData(), nullptr);
    reader.Close();
    reader.Close();
  }
}

TEST(QtReaderFiles, VariableFrameRateFramesByTime) {
  std::string path = MediaTestPath("vfr.mkv");
  // Of 50 frames a second only every other one of the first 20 is kept:
  // spans of 0.04 s up to 0.4 s, then of 0.02 s.
  ASSERT_TRUE(MakeIndexVideo(path, 50, kW, kH, "50", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -vsync vfr",
                             "", "-vf \"select='gte(n,20)+not(mod(n,2))'\""));
  MediaMacQT reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  auto at = [&](double t) {
    EXPECT_EQ(reader.GetFrame(t), 0);
    return ReadFrameIndex(reader.BitmapData(), kW, kH, false);
  };
  EXPECT_EQ(at(0.0), 0);
  EXPECT_EQ(at(0.05), 2);
  EXPECT_EQ(at(0.39), 18);
  EXPECT_EQ(at(0.41), 20);
  EXPECT_EQ(at(0.43), 21);
  EXPECT_EQ(at(0.97), 48);
  EXPECT_EQ(at(0.21), 10);
  EXPECT_EQ(at(0.23), 10);
}

} // namespace
