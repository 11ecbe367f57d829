// The output handler in front of the writer: handler kinds, the render
// loop's calls, the refusal of a project input as output, and the throttle.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "media/output_handler.h"
#include "support/wait_until.h"
#include "support/writer_clip.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Throttled calls with an unknown kind: the throttle runs, nothing is written.
double TimedPutFrame() {
  const auto start = Clock::now();
  EXPECT_EQ(OutputHandlerPutFrame(0, 0), -140);
  return MsSince(start);
}

} // namespace

TEST(OutputHandler, OtherKindsAreRefused) {
  WriterTestDir dir;
  tagBITMAPINFOHEADER frame{};
  const AudioFormat sound = AudioFormatFor(3, 44100);
  EXPECT_EQ(OutputHandlerOpen(L"/tmp/x.mp4", 5, &frame, &sound, 3072, 128, nullptr, nullptr, 0, 25, 5), -140);
  EXPECT_EQ(OutputHandlerPutFrame(5, 0), -140);
  EXPECT_EQ(OutputHandlerPutAudio(5, 0, 10), -140);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Open output video file (handler 5) '/tmp/x.mp4'"), std::string::npos);
  EXPECT_NE(log.find("Open output video file: result code -140"), std::string::npos);
  EXPECT_NE(log.find("[Code] -140 'OutputHandlerPutFrame'"), std::string::npos);
  EXPECT_NE(log.find("[Code] -140 'OutputHandlerPutAudio'"), std::string::npos);
}

TEST(OutputHandler, WritesTheRenderThroughTheWriter) {
  WriterTestDir dir;
  ClipSpec spec;
  spec.width = 160;
  spec.height = 120;
  spec.viaOutputHandler = true;
  const std::string out = dir.File("out.mp4");
  ASSERT_EQ(WriteClip(spec, out), 0);
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_EQ(probe.pictures.size(), 50u);
  EXPECT_EQ(ReadFrameNumber(probe.pictures[37]), 37u);
  EXPECT_NEAR(probe.duration, 2.0, 0.05);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Open output video file: result code 0"), std::string::npos);
  EXPECT_NE(log.find("Finish writing for output video file (handler 8)"), std::string::npos);
  EXPECT_NE(log.find("Close output video file (handler 8)"), std::string::npos);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.mp4"});
}

TEST(OutputHandler, FinishReportsAnOutputThatCouldNotBeWritten) {
  WriterTestDir dir;
  ClipSpec spec;
  spec.width = 160;
  spec.height = 120;
  spec.frames = 10;
  spec.chunks = 0;
  spec.viaOutputHandler = true;
  EXPECT_EQ(WriteClip(spec, dir.File("out.mp4")), -82);
  // No output; the encoded picture is kept beside it with the empty sound.
  EXPECT_EQ(dir.Entries().size(), 2u);
  for (const std::string& entry : dir.Entries()) EXPECT_EQ(entry.rfind("out.mp4.", 0), 0u) << entry;
}

TEST(OutputHandler, AnInputOfTheProjectIsNeverTheOutput) {
  WriterTestDir dir;
  AccessInit();
  const std::string input = dir.File("camera.mp4");
  std::ofstream(input) << "recorded video";
  std::filesystem::create_symlink(input, dir.File("link.mp4"));
  {
    WriteAccess access("test");
    const uint32_t index = InputStoreAppend();
    ASSERT_NE(index, kNoInput);
    Str16CopyNW(InputTableMain(index)->FilePath, std::filesystem::path(input).wstring().c_str(), kPathLength);
  }
  tagBITMAPINFOHEADER frame{};
  frame.biWidth = 160;
  frame.biHeight = 90;
  const AudioFormat sound = AudioFormatFor(3, 44100);
  std::vector<uint8_t> pixels(160 * 90 * 4), pcm(44100);
  for (const char* name : {"camera.mp4", "link.mp4"}) {
    const std::wstring path = std::filesystem::path(dir.File(name)).wstring();
    EXPECT_EQ(OutputHandlerOpen(path.c_str(), kOutputHandlerMpeg4, &frame, &sound, 3072, 128, pixels.data(),
                                pcm.data(), 44100, 25, 5),
              kErrOutputIsInput);
  }
  EXPECT_NE(dir.Log().find("Output video file is an input of the project"), std::string::npos);
  std::ifstream in(input);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "recorded video");
  InputStoreClear();
}

TEST(OutputHandler, PausedModeHoldsTheFrameUntilModeZero) {
  WriterTestDir dir;
  OutputHandlerSetMultiTaskMode(kOutputModePaused);
  std::atomic<bool> returned{false};
  std::thread renderLoop([&] {
    OutputHandlerPutFrame(0, 0);
    returned = true;
  });
  // The pause takes hold before the frame is handed over, and keeps it: the
  // frame stays in hand for as long as one cares to look.
  EXPECT_TRUE(WaitUntil(OutputHandlerIsHeldByPause));
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_FALSE(returned.load());
  OutputHandlerSetMultiTaskMode(kOutputModeFullSpeed);
  renderLoop.join();
  EXPECT_TRUE(returned.load());
  EXPECT_FALSE(OutputHandlerIsHeldByPause());
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Set output handler multi-task mode to 99"), std::string::npos);
  EXPECT_NE(log.find("Set output handler multi-task mode to 0"), std::string::npos);
}

TEST(OutputHandler, ModeChangeIsLoggedOnlyWhenItChanges) {
  WriterTestDir dir;
  OutputHandlerSetMultiTaskMode(2);
  OutputHandlerSetMultiTaskMode(2);
  const std::string log = dir.Log();
  const size_t first = log.find("Set output handler multi-task mode to 2");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.find("Set output handler multi-task mode to 2", first + 1), std::string::npos);
  OutputHandlerClose(0);
  EXPECT_EQ(OutputHandlerGetMultiTaskMode(), kOutputModeFullSpeed);
}

TEST(OutputHandler, ThrottleSleepsHalfTheGapBetweenFrames) {
  WriterTestDir dir;
  OutputHandlerSetMultiTaskMode(1);
  EXPECT_GE(TimedPutFrame(), 10.0);
  // Gaps between frames, as a render leaves them: what the throttle halves.
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_GE(TimedPutFrame(), 60.0);
  EXPECT_GE(TimedPutFrame(), 10.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_GE(TimedPutFrame(), 500.0);
  OutputHandlerSetMultiTaskMode(kOutputModeFullSpeed);
}
