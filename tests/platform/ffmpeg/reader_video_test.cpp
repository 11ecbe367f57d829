// The first reader's pictures: exact frames by time in every order, the
// end of the media, orientation, and refusal of files that are no media.
#include <gtest/gtest.h>

#include <cstring>
#include <chrono>
#include <random>
#include <thread>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kW = 160, kH = 96, kFrames = 150;

class ReaderVideo : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    path_ = MediaTestPath("index.mp4");
    ASSERT_TRUE(MakeIndexVideo(path_, kFrames, kW, kH, "30", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30 -bf 2",
                               "-f lavfi -i sine=frequency=440:sample_rate=44100 -ac 2", "-c:a aac -shortest"));
  }
  void SetUp() override { ASSERT_EQ(reader_.Open(Utf8ToWide(path_)), 0); }
  int IndexAt(double t) {
    if (reader_.GetFrame(t) != 0) return -2;
    return ReadFrameIndex(reader_.BitmapData(), kW, kH, reader_.FlipY() == 1);
  }
  static std::string path_;
  MediaMacAV reader_;
};
std::string ReaderVideo::path_;

TEST_F(ReaderVideo, DescribesPictureAndSound) {
  EXPECT_EQ(reader_.HasVideo(), 1u);
  EXPECT_EQ(reader_.HasAudio(), 1u);
  EXPECT_NEAR(reader_.MediaLength(), 5.0, 0.1);
  const tagBITMAPINFOHEADER& bf = reader_.BitmapFormat();
  EXPECT_EQ(bf.biSize, 40u);
  EXPECT_EQ(bf.biWidth, kW);
  EXPECT_EQ(bf.biHeight, kH);
  EXPECT_EQ(bf.biBitCount, 32);
  EXPECT_EQ(bf.biCompression, 0u);
  EXPECT_EQ(bf.biSizeImage, static_cast<uint32_t>(kW * kH * 4));
  EXPECT_EQ(reader_.Orientation(), 0u);
  const AudioFormat& af = reader_.Format();
  EXPECT_EQ(+af.wFormatTag, 1);
  EXPECT_EQ(+af.nChannels, 2);
  EXPECT_EQ(+af.nSamplesPerSec, 44100u);
  EXPECT_EQ(+af.wBitsPerSample, 16);
  EXPECT_EQ(+af.nBlockAlign, 4);
  EXPECT_EQ(+af.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(+af.cbSize, 18);
}

TEST_F(ReaderVideo, EveryFrameForwards) {
  for (int i = 0; i < kFrames; ++i) ASSERT_EQ(IndexAt(i / 30.0), i) << "frame " << i;
}

TEST_F(ReaderVideo, TimesInsideAFrameGiveThatFrame) {
  for (int i = 0; i < kFrames; i += 3) ASSERT_EQ(IndexAt(i / 30.0 + 0.025), i) << "frame " << i;
}

TEST_F(ReaderVideo, Backwards) {
  for (int i = kFrames - 1; i >= 0; i -= 7) ASSERT_EQ(IndexAt(i / 30.0), i) << "frame " << i;
}

TEST_F(ReaderVideo, RandomJumps) {
  std::mt19937 rng(1234);
  for (int n = 0; n < 60; ++n) {
    int i = static_cast<int>(rng() % kFrames);
    ASSERT_EQ(IndexAt(i / 30.0), i) << "jump " << n;
  }
}

TEST_F(ReaderVideo, ColourPatchesComeOutInBgraOpaque) {
  ASSERT_EQ(reader_.GetFrame(1.0), 0);
  const uint8_t* bits = reader_.BitmapData();
  uint32_t red = PixelAt(bits, kW, kH, true, kW / 8, kH * 3 / 4);
  uint32_t blue = PixelAt(bits, kW, kH, true, kW * 5 / 8, kH * 3 / 4);
  EXPECT_EQ(red >> 24, 0xFFu);
  EXPECT_GT((red >> 16) & 0xFF, 200u);
  EXPECT_LT(red & 0xFF, 60u);
  EXPECT_GT(blue & 0xFF, 200u);
  EXPECT_LT((blue >> 16) & 0xFF, 60u);
}

TEST_F(ReaderVideo, PastTheEndTheFrameIsClearedAndTheLastFrameComesBack) {
  ASSERT_EQ(IndexAt((kFrames - 1) / 30.0), kFrames - 1);
  ASSERT_EQ(reader_.GetFrame(reader_.MediaLength() + 1.0), 0);
  const uint8_t* bits = reader_.BitmapData();
  for (size_t i = 0; i < static_cast<size_t>(kW * kH * 4); ++i) ASSERT_EQ(bits[i], 0) << i;
  EXPECT_EQ(IndexAt((kFrames - 1) / 30.0), kFrames - 1);
  EXPECT_EQ(IndexAt(0.0), 0);
}

TEST_F(ReaderVideo, LookAheadDeliversTheSameFrames) {
  for (int i = 0; i < 40; ++i) {
    reader_.PrepareFrame(i / 30.0);
    ASSERT_EQ(IndexAt(i / 30.0), i);
  }
  reader_.PrepareFrame(-1.0); // ignored
  EXPECT_EQ(IndexAt(4.0), 120);
}

// The look-ahead returns without waiting for its thread: a direct request
// for a later frame that comes first must not be undone by the older
// request when the thread gets to it.
TEST_F(ReaderVideo, LookAheadOvertakenByALaterFrameKeepsTheLaterOne) {
  for (int i = 0; i < 60; i += 3) {
    reader_.PrepareFrame(i / 30.0);
    ASSERT_EQ(IndexAt((i + 2) / 30.0), i + 2);
    // Nothing may change it now: a while in which the look-ahead thread,
    // woken for the older request, would have overwritten it.
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    ASSERT_EQ(ReadFrameIndex(reader_.BitmapData(), kW, kH, true), i + 2) << "after frame " << i;
  }
}

TEST_F(ReaderVideo, SeekThenFrames) {
  reader_.Seek(3.0);
  EXPECT_EQ(IndexAt(3.0), 90);
  reader_.Seek(0.5);
  EXPECT_EQ(IndexAt(0.5), 15);
  EXPECT_EQ(IndexAt(4.5), 135);
}

TEST(ReaderVideoFiles, LosslessRgbColoursAreExact) {
  std::string path = MediaTestPath("lossless.mkv");
  ASSERT_TRUE(MakeIndexVideo(path, 10, kW, kH, "25", "-c:v ffv1 -pix_fmt bgr0"));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(reader.HasAudio(), 0u);
  ASSERT_EQ(reader.GetFrame(0.2), 0);
  const uint8_t* bits = reader.BitmapData();
  EXPECT_EQ(ReadFrameIndex(bits, kW, kH, true), 5);
  EXPECT_EQ(PixelAt(bits, kW, kH, true, 5, kH - 1), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(bits, kW, kH, true, kW / 4 + 5, kH - 1), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(bits, kW, kH, true, kW / 2 + 5, kH - 1), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(bits, kW, kH, true, kW - 1, kH - 1), 0xFF808080u);
  EXPECT_EQ(PixelAt(bits, kW, kH, true, 0, 0), 0xFFFFFFFFu);      // bit 0 of 5
  EXPECT_EQ(PixelAt(bits, kW, kH, true, kW / 8, 0), 0xFF000000u); // bit 1
}

TEST(ReaderVideoFiles, PackedYuvFramesThroughTheTable) {
  for (const char* format : {"uyvy422", "yuyv422"}) {
    std::string path = MediaTestPath(std::string("packed-") + format + ".avi");
    ASSERT_TRUE(MakeIndexVideo(path, 12, kW, kH, "25", std::string("-c:v rawvideo -pix_fmt ") + format));
    MediaMacAV reader;
    ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0) << format;
    for (int i : {0, 7, 3, 11}) {
      ASSERT_EQ(reader.GetFrame(i / 25.0), 0);
      EXPECT_EQ(ReadFrameIndex(reader.BitmapData(), kW, kH, true), i) << format;
    }
    uint32_t red = PixelAt(reader.BitmapData(), kW, kH, true, 4, kH - 1);
    EXPECT_GT((red >> 16) & 0xFF, 240u) << format;
    EXPECT_LT(red & 0xFF, 16u) << format;
  }
}

TEST(ReaderVideoFiles, HalfTurnFromTheDisplayMatrix) {
  std::string base = MediaTestPath("upright.mp4");
  ASSERT_TRUE(MakeIndexVideo(base, 10, kW, kH, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  std::string path = MediaTestPath("turned.mp4");
  ASSERT_TRUE(RunFfmpeg("-i " + base + " -c copy -metadata:s:v:0 rotate=180 " + path));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  EXPECT_EQ(reader.Orientation(), 1u);
  std::string quarter = MediaTestPath("quarter.mp4");
  ASSERT_TRUE(RunFfmpeg("-i " + base + " -c copy -metadata:s:v:0 rotate=90 " + quarter));
  MediaMacAV second;
  ASSERT_EQ(second.Open(Utf8ToWide(quarter)), 0);
  EXPECT_GE(second.Orientation(), 2u);
}

TEST(ReaderVideoFiles, VariableFrameRate) {
  std::string path = MediaTestPath("vfr.mkv");
  // Of 50 frames a second, only every other one of the first 20 is kept:
  // spans of 0.04 s up to 0.4 s, then of 0.02 s.
  ASSERT_TRUE(MakeIndexVideo(path, 50, kW, kH, "50", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -vsync vfr",
                             "", "-vf \"select='gte(n,20)+not(mod(n,2))'\""));
  MediaMacAV reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(path)), 0);
  auto at = [&](double t) {
    EXPECT_EQ(reader.GetFrame(t), 0);
    return ReadFrameIndex(reader.BitmapData(), kW, kH, true);
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

TEST(ReaderVideoFiles, NotMediaIsRefused) {
  std::string text = MediaTestPath("notes.txt");
  std::string line = "Some notes about the race\nLap 1 1:23.4\n";
  std::string many;
  for (int i = 0; i < 200; ++i) many += line;
  ASSERT_TRUE(WriteBytes(text, many.data(), many.size()));
  std::string empty = MediaTestPath("empty.mp4");
  ASSERT_TRUE(WriteBytes(empty, "", 0));
  std::string random = MediaTestPath("random.mp4");
  std::mt19937 rng(7);
  std::vector<uint8_t> bytes(65536);
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  ASSERT_TRUE(WriteBytes(random, bytes.data(), bytes.size()));
  for (const std::string& p : {text, empty, random, MediaTestPath("missing.mp4")}) {
    MediaMacAV reader;
    EXPECT_LT(reader.Open(Utf8ToWide(p)), 0) << p;
    EXPECT_EQ(reader.HasVideo(), 0u);
    EXPECT_EQ(reader.BitmapData(), nullptr);
    reader.Close();
    reader.Close();
  }
}

TEST(ReaderVideoFiles, TruncatedVideoStillOpensOrIsRefusedCleanly) {
  std::string full = MediaTestPath("full.mp4");
  ASSERT_TRUE(MakeIndexVideo(full, 30, kW, kH, "30", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  std::vector<uint8_t> bytes = ReadBytes(full);
  for (size_t cut : {size_t{16}, bytes.size() / 3, bytes.size() - 100}) {
    std::string part = MediaTestPath("cut.mp4");
    ASSERT_TRUE(WriteBytes(part, bytes.data(), cut));
    MediaMacAV reader;
    int rc = reader.Open(Utf8ToWide(part));
    if (rc == 0 && reader.HasVideo()) {
      for (double t = 0; t < 1.2; t += 0.1) {
        int f = reader.GetFrame(t);
        EXPECT_TRUE(f == 0 || f == -81) << f;
      }
    }
  }
}

} // namespace
