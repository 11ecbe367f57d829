// The media layer: inputs opened by content, frames and sound by time
// through the slots, and files that are refused leaving nothing behind.
#include <gtest/gtest.h>

#include <cstring>
#include <dirent.h>
#include <random>
#include <thread>

#include "base/text.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "media/av_facade.h"
#include "media/bmp_file.h"
#include "media/input_handler.h"
#include "media/media_slot.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kW = 96, kH = 64;

// Entries of a /proc folder of this process: its threads or open files.
int CountEntries(const char* folder) {
  int n = 0;
  if (DIR* d = opendir(folder)) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

class InputHandler : public ::testing::Test {
protected:
  // Each test starts with no inputs: the table has room for 128, and a
  // repeated run must not fill it with the inputs of earlier runs.
  void SetUp() override {
    MediaTestDir();
    InputStoreClear();
    ASSERT_EQ(MediaHandlerInit(), 0);
  }
  void TearDown() override {
    MediaHandlerEnd();
    InputStoreClear();
  }
  static std::string Video(const std::string& name, int frames, const std::string& extra = "") {
    std::string path = MediaTestPath(name);
    EXPECT_TRUE(MakeIndexVideo(path, frames, kW, kH, "30", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 15",
                               "-f lavfi -i sine=sample_rate=44100 -ac 2", "-c:a aac -shortest " + extra));
    return path;
  }
  static int IndexOf(const InputFrame& f) {
    return ReadFrameIndex(f.Pixels, static_cast<int>(f.Width), static_cast<int>(f.Height), !f.FlipVertical);
  }
};

TEST_F(InputHandler, VideoOpensAsTypeOneWithItsReader) {
  uint32_t in = MediaTestAddInput(Video("v.mp4", 60));
  ASSERT_EQ(InputHandlerOpen(in), 0);
  const MainStruct* main = InputTableMain(in);
  EXPECT_EQ(main->Type, kInputVideo);
  EXPECT_EQ(main->Width, kW);
  EXPECT_EQ(main->Height, kH);
  EXPECT_NEAR(main->Length, 2.0, 0.1);
  const InputHandlerSlot* slot = InputHandlerGetSlot(in);
  EXPECT_EQ(slot->VideoHandler, kHandlerAv);
  EXPECT_EQ(slot->AudioHandler, kHandlerAv);
  EXPECT_EQ(slot->BytesPerPixel, 4u);
  EXPECT_EQ(slot->FlipVertical, 0u); // bottom-up rows, upright picture
  EXPECT_EQ(slot->MirrorHorizontal, 0u);
  EXPECT_GE(slot->AvHandle, 1000u);
  EXPECT_LT(slot->AvHandle, 1128u);
  EXPECT_EQ(+slot->Format.cbSize, 18);
  EXPECT_NE(slot->FrameData, nullptr);
  EXPECT_EQ(MediaMacAvOpenCount(), 1u);
  for (int i : {0, 1, 2, 30, 59, 10, 45, 3}) {
    InputFrame f{};
    ASSERT_EQ(InputHandlerGetFrameRF(in, i / 30.0, &f), 0);
    EXPECT_EQ(IndexOf(f), i);
  }
  const uint8_t* data = nullptr;
  EXPECT_EQ(InputHandlerGetAudio(in, 0.5, 1.0 / 30, &data), 5880);
  EXPECT_NE(data, nullptr);
  EXPECT_EQ(InputHandlerGetAudio(in, 10.0, 1.0 / 30, &data), 0);
  EXPECT_EQ(data, nullptr);
  InputHandlerClose(in);
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  InputFrame f{};
  EXPECT_LT(InputHandlerGetFrameRF(in, 0.0, &f), 0);
  EXPECT_EQ(InputHandlerGetAudio(in, 0.0, 0.1, &data), 0);
}

TEST_F(InputHandler, LookAheadSeekAndRateKeepFramesExact) {
  uint32_t in = MediaTestAddInput(Video("look.mp4", 90));
  ASSERT_EQ(InputHandlerOpen(in), 0);
  InputHandlerSetPlaybackRate(in, 30.0);
  InputHandlerSeek(in, 1.0);
  for (int i = 30; i < 60; ++i) {
    InputHandlerPrepareFrame(in, i / 30.0);
    InputFrame f{};
    ASSERT_EQ(InputHandlerGetFrameRF(in, i / 30.0, &f), 0);
    ASSERT_EQ(IndexOf(f), i);
  }
}

TEST_F(InputHandler, HalfTurnedVideoSetsFlipAndMirror) {
  std::string base = Video("up.mp4", 10);
  std::string turned = MediaTestPath("turned.mp4");
  ASSERT_TRUE(RunFfmpeg("-i " + base + " -c copy -metadata:s:v:0 rotate=180 " + turned));
  uint32_t in = MediaTestAddInput(turned);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputHandlerGetSlot(in)->FlipVertical, 1u);
  EXPECT_EQ(InputHandlerGetSlot(in)->MirrorHorizontal, 1u);
}

TEST_F(InputHandler, SingleFrameOpensAsImage) {
  std::string path = MediaTestPath("one.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 1, kW, kH, "25", "-c:v libx264 -pix_fmt yuv420p"));
  uint32_t in = MediaTestAddInput(path);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputTableMain(in)->Type, kInputImage);
  InputFrame f{};
  ASSERT_EQ(InputHandlerGetFrameRF(in, 5.0, &f), 0); // the picture stays in place
  EXPECT_EQ(IndexOf(f), 0);
}

TEST_F(InputHandler, AudioOnlyFileOpensAsTypeTwo) {
  std::string path = MediaTestPath("a.m4a");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=sample_rate=48000 -t 1 -c:a aac " + path));
  uint32_t in = MediaTestAddInput(path);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputTableMain(in)->Type, kInputAudio);
  const InputHandlerSlot* slot = InputHandlerGetSlot(in);
  EXPECT_EQ(slot->FrameData, nullptr);
  EXPECT_EQ(slot->AudioHandler, kHandlerAv);
  EXPECT_EQ(slot->VideoHandler, kHandlerNone);
  const uint8_t* data = nullptr;
  EXPECT_EQ(InputHandlerGetAudio(in, 0.0, 0.1, &data), 9600); // 48 kHz mono 16-bit
  InputFrame f{};
  EXPECT_LT(InputHandlerGetFrameRF(in, 0.0, &f), 0);
}

TEST_F(InputHandler, WavFileUsesTheOwnReader) {
  std::string path = MediaTestPath("ramp.wav");
  ASSERT_TRUE(WriteWav16(path, 8000, 2, MakeRampPcm16(16000, 2)));
  uint32_t in = MediaTestAddInput(path);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(InputTableMain(in)->Type, kInputAudio);
  EXPECT_FLOAT_EQ(InputTableMain(in)->Length, 2.0f);
  EXPECT_EQ(InputHandlerGetSlot(in)->AudioHandler, kHandlerWav);
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  const uint8_t* data = nullptr;
  ASSERT_EQ(InputHandlerGetAudio(in, 1.0, 0.5, &data), 16000);
  int16_t s;
  std::memcpy(&s, data, 2);
  EXPECT_EQ(s, RampSample(8000, 0));
  const AudioFormat* f = InputHandlerGetAudioFormat(in);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(+f->nSamplesPerSec, 8000u);
}

TEST_F(InputHandler, ImagesOpenAsTypeThree) {
  std::vector<uint8_t> rgb = MakeIndexFrame(37, kW, kH);
  std::string raw = MediaTestPath("p.rgb");
  ASSERT_TRUE(WriteBytes(raw, rgb.data(), rgb.size()));
  const std::string in = "-f rawvideo -pix_fmt rgb24 -s 96x64 -i " + raw + " ";
  struct Case { std::string name, args; bool exact; };
  std::vector<Case> cases = {{"p.png", "", true}, {"p.jpg", "-q:v 2 ", false}, {"p.gif", "", false},
                             {"p.tiff", "", true}, {"p.webp", "-lossless 1 ", true}, {"p.tga", "", true}};
  for (const Case& c : cases) {
    std::string path = MediaTestPath(c.name);
    ASSERT_TRUE(RunFfmpeg(in + c.args + path)) << c.name;
    uint32_t input = MediaTestAddInput(path);
    ASSERT_EQ(InputHandlerOpen(input), 0) << c.name;
    EXPECT_EQ(InputTableMain(input)->Type, kInputImage) << c.name;
    EXPECT_EQ(InputTableMain(input)->Width, kW);
    EXPECT_EQ(InputTableMain(input)->Height, kH);
    InputFrame f{};
    ASSERT_EQ(InputHandlerGetFrameRF(input, 0.0, &f), 0);
    EXPECT_EQ(IndexOf(f), 37) << c.name;
    EXPECT_EQ(f.BytesPerPixel, 4u);
    uint32_t red = PixelAt(f.Pixels, kW, kH, !f.FlipVertical, 2, kH - 2);
    if (c.exact) {
      EXPECT_EQ(red, 0xFFFF0000u) << c.name;
    }
  }
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
}

TEST_F(InputHandler, BmpImageUsesTheOwnReader) {
  std::vector<uint8_t> px(4 * 3 * 3);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(i);
  std::string path = MediaTestPath("own.bmp");
  ASSERT_EQ(BmpWriteFile(Utf8ToWide(path), px.data(), 4, 3, 24, false), 0);
  uint32_t in = MediaTestAddInput(path);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  const InputHandlerSlot* slot = InputHandlerGetSlot(in);
  EXPECT_EQ(slot->VideoHandler, kHandlerImage);
  EXPECT_EQ(slot->BytesPerPixel, 3u);
  EXPECT_EQ(slot->FlipVertical, 0u);
  EXPECT_EQ(std::memcmp(slot->FrameData, px.data(), px.size()), 0);
}

TEST_F(InputHandler, UnknownFilesAreRefusedWithNothingLeft) {
  std::mt19937 rng(3);
  std::vector<uint8_t> noise(20000);
  for (auto& b : noise) b = static_cast<uint8_t>(rng());
  std::string text(3000, 'x');
  std::string full = Video("cut.mp4", 20);
  std::vector<uint8_t> bytes = ReadBytes(full);
  const int threadsBefore = CountEntries("/proc/self/task");
  const int filesBefore = CountEntries("/proc/self/fd");
  struct Bad { std::string name; std::vector<uint8_t> data; };
  std::vector<Bad> files = {{"empty.mp4", {}},
                            {"noise.bin", noise},
                            {"notes.txt", std::vector<uint8_t>(text.begin(), text.end())},
                            {"head.mp4", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40)},
                            {"fake.png", std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0}},
                            {"fake.wav", std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}}};
  for (const Bad& b : files) {
    std::string path = MediaTestPath(b.name);
    ASSERT_TRUE(WriteBytes(path, b.data.data(), b.data.size()));
    uint32_t in = MediaTestAddInput(path);
    EXPECT_EQ(InputHandlerOpen(in), -141) << b.name;
    const InputHandlerSlot* slot = InputHandlerGetSlot(in);
    EXPECT_EQ(slot->VideoHandler, 0u);
    EXPECT_EQ(slot->AudioHandler, 0u);
    EXPECT_EQ(slot->AvHandle, 0u);
    EXPECT_EQ(slot->FrameData, nullptr);
    EXPECT_EQ(slot->Reader, nullptr);
    EXPECT_EQ(slot->LastSeekTime, -1.0);
  }
  uint32_t folder = MediaTestAddInput(MediaTestDir());
  EXPECT_EQ(InputHandlerOpen(folder), -141);
  // A missing file is reported as one that cannot be opened.
  uint32_t missing = MediaTestAddInput(MediaTestPath("missing.mp4"));
  EXPECT_EQ(InputHandlerOpen(missing), -80);
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  EXPECT_EQ(CountEntries("/proc/self/task"), threadsBefore);
  EXPECT_EQ(CountEntries("/proc/self/fd"), filesBefore);
  EXPECT_EQ(InputHandlerOpen(200), -21);
}

TEST_F(InputHandler, ReopeningReplacesTheReader) {
  uint32_t in = MediaTestAddInput(Video("re.mp4", 30));
  ASSERT_EQ(InputHandlerOpen(in), 0);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_EQ(MediaMacAvOpenCount(), 1u);
  MediaHandlerEnd();
  EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  ASSERT_EQ(MediaHandlerInit(), 0);
}

// Look-ahead, frames and closes racing on several readers at once.
TEST_F(InputHandler, StressLookAheadGetAndClose) {
  std::string path = Video("stress.mp4", 90);
  const int threadsBefore = CountEntries("/proc/self/task");
  const int filesBefore = CountEntries("/proc/self/fd");
  for (int round = 0; round < 3; ++round) {
    std::vector<uint32_t> inputs;
    for (int k = 0; k < 4; ++k) {
      uint32_t in = MediaTestAddInput(path);
      ASSERT_EQ(InputHandlerOpen(in), 0);
      inputs.push_back(in);
    }
    std::vector<std::thread> workers;
    for (uint32_t in : inputs) {
      workers.emplace_back([in] {
        for (int i = 0; i < 40; ++i) {
          MediaMacAvPrepareFrame(in, ((i * 7) % 90) / 30.0);
          MediaMacAvGetFrame(in, ((i * 7) % 90) / 30.0);
          MediaMacAvPrepareFrame(in, ((i * 7 + 1) % 90) / 30.0);
        }
      });
      workers.emplace_back([in] {
        for (int i = 0; i < 40; ++i) MediaMacAvPrepareFrame(in, (i % 90) / 30.0);
      });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 * round));
    MediaMacAvClose(inputs[0]); // while the others still decode
    for (auto& t : workers) t.join();
    for (uint32_t in : inputs) InputHandlerClose(in);
    EXPECT_EQ(MediaMacAvOpenCount(), 0u);
  }
  EXPECT_EQ(CountEntries("/proc/self/task"), threadsBefore); // decoding threads joined
  EXPECT_EQ(CountEntries("/proc/self/fd"), filesBefore);
}

} // namespace
