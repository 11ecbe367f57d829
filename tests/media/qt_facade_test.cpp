// The second reader behind the media layer, with the first reader left
// unloaded: inputs open through it, give the same frames as the first
// reader, refuse files without pictures, and answer -21 once closed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_table.h"
#include "media/av_facade.h"
#include "media/input_handler.h"
#include "media/media_slot.h"
#include "media/qt_facade.h"
#include "platform/ffmpeg/reader.h"
#include "support/media_fixtures.h"
#include "support/read_file.h"
#include "support/scoped_env.h"

namespace {

constexpr int kW = 96, kH = 64;
constexpr double kNtscFrame = 1001.0 / 30000.0;

std::string LogText() { return ReadWholeFile(WideToUtf8(LogGetPath())); }

class QtFacade : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    video_ = MediaTestPath("facade.mp4");
    ASSERT_TRUE(MakeIndexVideo(video_, 420, kW, kH, "30000/1001",
                               "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30",
                               "-f lavfi -i sine=frequency=440:sample_rate=44100 -ac 2", "-c:a aac -shortest"));
  }
  void SetUp() override {
    ASSERT_EQ(LogOpen(Utf8ToWide(MediaTestDir()).c_str()), 0);
    ASSERT_EQ(MediaHandlerInit(), 0);
  }
  void TearDown() override {
    MediaHandlerEnd();
    EXPECT_EQ(MediaMacQtOpenCount(), 0u);
    LogClose();
  }
  static int IndexOf(const InputFrame& f) {
    return ReadFrameIndex(f.Pixels, static_cast<int>(f.Width), static_cast<int>(f.Height), !f.FlipVertical);
  }
  static std::string video_;
  ScopedEnv secondReaderOnly_{"QV_FIRST_READER", "off"};
};
std::string QtFacade::video_;

TEST_F(QtFacade, VideoOpensThroughTheSecondReader) {
  uint32_t in = MediaTestAddInput(video_);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  const MainStruct* main = InputTableMain(in);
  EXPECT_EQ(main->Type, kInputVideo);
  EXPECT_EQ(main->Width, kW);
  EXPECT_EQ(main->Height, kH);
  EXPECT_EQ(main->HasData, 0);
  EXPECT_NEAR(main->Length, 420 * kNtscFrame, 0.1);
  const InputHandlerSlot* slot = InputHandlerGetSlot(in);
  EXPECT_EQ(slot->VideoHandler, kHandlerQt);
  EXPECT_EQ(slot->AudioHandler, kHandlerNone);
  EXPECT_EQ(slot->BytesPerPixel, 4u);
  EXPECT_EQ(slot->FlipVertical, 1u); // top row first, upright
  EXPECT_EQ(slot->MirrorHorizontal, 0u);
  EXPECT_EQ(slot->AvHandle, 0u);
  EXPECT_EQ(slot->QtHandle, 1000u);
  EXPECT_EQ(+slot->Format.cbSize, 0);
  EXPECT_NE(slot->FrameData, nullptr);
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  EXPECT_EQ(MediaMacQtOpenCount(), 1u);
  std::string log = LogText();
  EXPECT_NE(log.find("Loading QuickTime interface..."), std::string::npos);
  EXPECT_NE(log.find("QTKit support enabled"), std::string::npos);
  EXPECT_NE(log.find("Attempting MediaMacQtOpen('" + video_ + "')"), std::string::npos);
  EXPECT_NE(log.find("MediaMacQT: 29.970 FPS detected"), std::string::npos);
  EXPECT_EQ(log.find("Attempting MediaMacAvOpen"), std::string::npos);
  const uint8_t* data = reinterpret_cast<const uint8_t*>(1);
  EXPECT_EQ(InputHandlerGetAudio(in, 0.5, 0.1, &data), 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(InputHandlerGetAudioFormat(in), nullptr);
  EXPECT_EQ(MediaMacQtGetAudio(in, 0.5, 0.1), 0);
  EXPECT_EQ(ErrorGetLast(), 0);
}

// Forwards, backwards, after a 10 s jump and in 2 s steps, with the
// media layer's look-ahead and seek on the way.
TEST_F(QtFacade, FramesByTimeMatchTheFirstReader) {
  uint32_t in = MediaTestAddInput(video_);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  MediaMacAV first;
  ASSERT_EQ(first.Open(Utf8ToWide(video_)), 0);
  auto expectSame = [&](double t) {
    ASSERT_EQ(first.GetFrame(t), 0);
    int expected = ReadFrameIndex(first.BitmapData(), kW, kH, true);
    ASSERT_GE(expected, 0);
    InputHandlerPrepareFrame(in, t);
    InputFrame f{};
    ASSERT_EQ(InputHandlerGetFrameRF(in, t, &f), 0) << t;
    EXPECT_EQ(f.Width, static_cast<uint32_t>(kW));
    EXPECT_EQ(IndexOf(f), expected) << "t " << t;
  };
  InputHandlerSetPlaybackRate(in, 29.97);
  InputHandlerSeek(in, 0.0);
  for (int i = 0; i < 90; ++i) expectSame(i * kNtscFrame);
  for (int i = 89; i >= 0; i -= 7) expectSame(i * kNtscFrame + 0.01);
  expectSame(0.4);
  expectSame(10.4);
  for (double t = 0.2; t < 13.9; t += 2.0) expectSame(t);
  InputHandlerSeek(in, 5.0);
  expectSame(5.0);
  expectSame(4.0);
}

TEST_F(QtFacade, SoundOnlyFileIsRefused) {
  std::string path = MediaTestPath("tone.m4a");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 -c:a aac " + path));
  uint32_t in = MediaTestAddInput(path);
  EXPECT_EQ(MediaMacQtOpen(in), -141);
  EXPECT_EQ(ErrorGetLast(), -141);
  const InputHandlerSlot* slot = InputHandlerGetSlot(in);
  EXPECT_EQ(slot->QtHandle, 0u);
  EXPECT_EQ(slot->VideoHandler, kHandlerNone);
  EXPECT_EQ(slot->FrameData, nullptr);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
  EXPECT_EQ(InputHandlerOpen(in), -141);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
}

TEST_F(QtFacade, NotMediaIsRefusedWithItsLogLine) {
  std::string path = MediaTestPath("notes.txt");
  std::string text = "no pictures here\n";
  ASSERT_TRUE(WriteBytes(path, text.data(), text.size()));
  uint32_t in = MediaTestAddInput(path);
  EXPECT_EQ(MediaMacQtOpen(in), -141);
  EXPECT_NE(LogText().find("MediaMacQT Open failed with code -80!"), std::string::npos);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
}

TEST_F(QtFacade, OneFrameFileOpensAsAnImage) {
  std::string path = MediaTestPath("still.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 1, kW, kH, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  // A single picture showing index 7, so that a cleared bitmap cannot pass.
  std::string raw = MediaTestPath("seven.rgb"), seven = MediaTestPath("seven.mkv");
  std::vector<uint8_t> picture = MakeIndexFrame(7, kW, kH);
  ASSERT_TRUE(WriteBytes(raw, picture.data(), picture.size()));
  ASSERT_TRUE(RunFfmpeg("-f rawvideo -pix_fmt rgb24 -s 96x64 -r 20 -i " + raw + " -c:v ffv1 -pix_fmt bgr0 " + seven));
  for (const auto& [file, index] : {std::pair{path, 0}, std::pair{seven, 7}}) {
    uint32_t in = MediaTestAddInput(file);
    ASSERT_EQ(InputHandlerOpen(in), 0) << file;
    const MainStruct* main = InputTableMain(in);
    EXPECT_EQ(main->Type, kInputImage);
    EXPECT_LT(main->Length, 0.1f);
    const InputHandlerSlot* slot = InputHandlerGetSlot(in);
    EXPECT_EQ(slot->VideoHandler, kHandlerQt);
    ASSERT_NE(slot->FrameData, nullptr);
    InputFrame f{};
    ASSERT_EQ(InputHandlerGetFrameRF(in, 3.0, &f), 0);
    EXPECT_EQ(IndexOf(f), index) << file;
    InputHandlerClose(in);
  }
}

TEST_F(QtFacade, ClosedHandleAnswersMinus21) {
  uint32_t in = MediaTestAddInput(video_);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  MediaMacQtClose(in);
  EXPECT_EQ(ErrorGetLast(), 0);
  EXPECT_EQ(InputHandlerGetSlot(in)->QtHandle, 0u);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
  EXPECT_EQ(MediaMacQtGetFrame(in, 1.0), -21);
  MediaMacQtSeek(in, 1.0);
  EXPECT_EQ(ErrorGetLast(), -21);
  MediaMacQtSetPlaybackRate(in, 25.0);
  EXPECT_EQ(ErrorGetLast(), -21);
  ErrorSet(0, "test");
  MediaMacQtPrepareFrame(in, 1.0);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(MediaMacQtGetAudio(in, 0.0, 0.1), 0);
  EXPECT_EQ(ErrorGetLast(), -21);
  MediaMacQtClose(in);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(MediaMacQtGetFrame(kMediaSlots, 1.0), -21);
  EXPECT_EQ(MediaMacQtOpen(kMediaSlots), -21);
}

TEST_F(QtFacade, HandlesTakeTheFirstFreeEntry) {
  uint32_t a = MediaTestAddInput(video_), b = MediaTestAddInput(video_), c = MediaTestAddInput(video_);
  for (uint32_t in : {a, b, c}) ASSERT_EQ(MediaMacQtOpen(in), 0);
  EXPECT_EQ(InputHandlerGetSlot(a)->QtHandle, 1000u);
  EXPECT_EQ(InputHandlerGetSlot(b)->QtHandle, 1001u);
  EXPECT_EQ(InputHandlerGetSlot(c)->QtHandle, 1002u);
  InputHandlerClose(b); // the media layer closes handler kind 5 too
  EXPECT_EQ(MediaMacQtOpenCount(), 2u);
  ASSERT_EQ(MediaMacQtOpen(b), 0);
  EXPECT_EQ(InputHandlerGetSlot(b)->QtHandle, 1001u);
  // Init empties the table: the handles left in the slots find nothing.
  EXPECT_EQ(MediaMacQtInit(), 0);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
  EXPECT_EQ(MediaMacQtGetFrame(a, 0.0), -21);
}

TEST(QtFacadeWithFirstReader, TheFirstReaderStillComesFirst) {
  ScopedEnv bothReaders("QV_FIRST_READER", nullptr);
  ASSERT_EQ(MediaHandlerInit(), 0);
  std::string path = MediaTestPath("both.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 30, kW, kH, "30", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  uint32_t in = MediaTestAddInput(path);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputHandlerGetSlot(in)->VideoHandler, kHandlerAv);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
  MediaHandlerEnd();
}

} // namespace
