// Snapshots and sound exports of inputs, read back from the written files.
#include <gtest/gtest.h>

#include <cstring>

#include "base/text.h"
#include "model/input_table.h"
#include "media/bmp_file.h"
#include "media/input_export.h"
#include "media/input_handler.h"
#include "media/wav_file.h"
#include "platform/media/still_image.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kW = 96, kH = 64;

class InputExport : public ::testing::Test {
protected:
  void SetUp() override {
    MediaTestDir();
    ASSERT_EQ(MediaHandlerInit(), 0);
  }
  void TearDown() override { MediaHandlerEnd(); }
};

TEST_F(InputExport, SnapshotOfAVideoFrameAsBmpAndPng) {
  std::string video = MediaTestPath("v.mkv");
  ASSERT_TRUE(MakeIndexVideo(video, 40, kW, kH, "20", "-c:v ffv1 -pix_fmt bgr0"));
  uint32_t in = MediaTestAddInput(video);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  std::string bmp = MediaTestPath("snap.bmp");
  ASSERT_EQ(InputExportSnapshot(in, Utf8ToWide(bmp).c_str(), 1.5f), 0);
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(Utf8ToWide(bmp), &image), 0);
  EXPECT_EQ(image.Header.biBitCount, 24);
  EXPECT_EQ(image.Header.biWidth, kW);
  // 24-bit rows: widen to read the index back.
  std::vector<uint8_t> bgra(kW * kH * 4);
  for (int i = 0; i < kW * kH; ++i) {
    std::memcpy(&bgra[i * 4], image.Pixels + i * 3, 3);
    bgra[i * 4 + 3] = 255;
  }
  EXPECT_EQ(ReadFrameIndex(bgra.data(), kW, kH, image.TopDown == 0), 30);
  MediaImageDataFree(&image);

  std::string png = MediaTestPath("snap.png");
  ASSERT_EQ(InputExportSnapshot(in, Utf8ToWide(png).c_str(), 0.5f), 0);
  ASSERT_EQ(MediaImageOpenMac(WideToUtf16(Utf8ToWide(png)).c_str(), &image), 0);
  EXPECT_EQ(ReadFrameIndex(image.Pixels, kW, kH, false), 10);
  EXPECT_EQ(PixelAt(image.Pixels, kW, kH, false, 1, kH - 1), 0xFFFF0000u);
  MediaImageDataFree(&image);

  std::string jpg = MediaTestPath("snap.jpg");
  ASSERT_EQ(InputExportSnapshot(in, Utf8ToWide(jpg).c_str(), 0.25f), 0);
  ASSERT_EQ(MediaImageOpenMac(WideToUtf16(Utf8ToWide(jpg)).c_str(), &image), 0);
  EXPECT_EQ(ReadFrameIndex(image.Pixels, kW, kH, false), 5);
  MediaImageDataFree(&image);
}

TEST_F(InputExport, SnapshotOfAHalfTurnedVideoIsUpright) {
  std::string base = MediaTestPath("up.mp4");
  ASSERT_TRUE(MakeIndexVideo(base, 10, kW, kH, "10", "-c:v libx264 -preset ultrafast -qp 0 -pix_fmt yuv444p"));
  std::string turned = MediaTestPath("turned.mp4");
  ASSERT_TRUE(RunFfmpeg("-i " + base + " -c copy -metadata:s:v:0 rotate=180 " + turned));
  uint32_t in = MediaTestAddInput(turned);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  std::string png = MediaTestPath("turned.png");
  ASSERT_EQ(InputExportSnapshot(in, Utf8ToWide(png).c_str(), 0.0f), 0);
  MediaImageData image{};
  ASSERT_EQ(MediaImageOpenMac(WideToUtf16(Utf8ToWide(png)).c_str(), &image), 0);
  // Turned by half: the red patch (stored bottom-left) now sits top-right.
  uint32_t topRight = PixelAt(image.Pixels, kW, kH, false, kW - 2, 1);
  EXPECT_GT((topRight >> 16) & 0xFF, 200u);
  EXPECT_LT(topRight & 0xFF, 60u);
  MediaImageDataFree(&image);
}

TEST_F(InputExport, SnapshotRefusals) {
  EXPECT_EQ(InputExportSnapshot(0, nullptr, 0.0f), -21);
  std::string wav = MediaTestPath("s.wav");
  ASSERT_TRUE(WriteWav16(wav, 8000, 1, MakeRampPcm16(8000, 1)));
  uint32_t in = MediaTestAddInput(wav);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputExportSnapshot(in, Utf8ToWide(MediaTestPath("no.bmp")).c_str(), 0.0f), -21);
}

TEST_F(InputExport, AudioOfAWavInputRoundTrips) {
  std::string wav = MediaTestPath("src.wav");
  ASSERT_TRUE(WriteWav16(wav, 8000, 2, MakeRampPcm16(8000 * 5, 2)));
  uint32_t in = MediaTestAddInput(wav);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  std::string out = MediaTestPath("out.wav");
  ASSERT_EQ(InputExportAudio(in, Utf8ToWide(out).c_str(), 1.25f, 2.5f), 0);
  WavReader reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(out)), 0);
  EXPECT_EQ(+reader.Format().nSamplesPerSec, 8000u);
  EXPECT_EQ(+reader.Format().nChannels, 2);
  ASSERT_EQ(reader.Read(0.0, 10.0), 20000 * 4);
  for (int i = 0; i < 20000; ++i) {
    int16_t s;
    std::memcpy(&s, reader.Data() + i * 4 + 2, 2);
    ASSERT_EQ(s, RampSample(10000 + i, 1)) << i;
  }
  // Beyond the end it stops at the end.
  ASSERT_EQ(InputExportAudio(in, Utf8ToWide(out).c_str(), 4.0f, 10.0f), 0);
  ASSERT_EQ(reader.Open(Utf8ToWide(out)), 0);
  EXPECT_NEAR(reader.Length(), 1.0, 1e-9);
}

TEST_F(InputExport, AudioOfAVideoInput) {
  std::string wav = MediaTestPath("ramp.wav");
  ASSERT_TRUE(WriteWav16(wav, 44100, 2, MakeRampPcm16(44100 * 3, 2)));
  std::string video = MediaTestPath("av.mov");
  ASSERT_TRUE(MakeIndexVideo(video, 30, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", "-i " + wav,
                             "-map 0:v -map 1:a -c:a pcm_s16le"));
  uint32_t in = MediaTestAddInput(video);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  std::string out = MediaTestPath("va.wav");
  ASSERT_EQ(InputExportAudio(in, Utf8ToWide(out).c_str(), 0.5f, 1.5f), 0);
  WavReader reader;
  ASSERT_EQ(reader.Open(Utf8ToWide(out)), 0);
  ASSERT_EQ(reader.Read(0.0, 10.0), 66150 * 4);
  for (int i = 0; i < 66150; i += 97) {
    int16_t s;
    std::memcpy(&s, reader.Data() + i * 4, 2);
    ASSERT_EQ(s, RampSample(22050 + i, 0)) << i;
  }
  std::string image = MediaTestPath("i.png");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i color=red:size=8x8 -frames:v 1 " + image));
  uint32_t pic = MediaTestAddInput(image);
  ASSERT_EQ(InputHandlerOpen(pic), 0);
  EXPECT_EQ(InputExportAudio(pic, Utf8ToWide(out).c_str(), 0.0f, 1.0f), -21);
}

} // namespace
