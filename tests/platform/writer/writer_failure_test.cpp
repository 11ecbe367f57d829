// Failure paths of the writer: nothing is ever reported as written that was
// not, an existing file at the output path survives, a merge that fails
// keeps the encoded temporaries and names them, and no other temporary
// stays behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/text.h"
#include "platform/ffmpeg/writer_facade.h"
#include "support/writer_clip.h"

namespace {

const std::string kOldContent = "previous video";

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes the clip and finishes it; the finish result, with the writer's
// words on the failure taken before the output is closed.
int WriteClipKeepingText(const ClipSpec& spec, const std::string& path, std::string& failure) {
  std::vector<uint8_t> frameBuffer, soundBuffer;
  if (const int opened = OpenAndFeed(spec, path, frameBuffer, soundBuffer); opened != 0) return opened;
  const int finished = MediaMacAvFinishWriting();
  failure = WideToUtf8(MediaMacAvFailureText());
  MediaMacAvCreateClose();
  return finished;
}

// The folder holds the output's name and the two kept temporaries, which
// the failure names; the picture temporary holds the frames.
void ExpectKeptTemporaries(const WriterTestDir& dir, const std::string& failure, size_t frames) {
  const std::vector<std::string> entries = dir.Entries();
  ASSERT_EQ(entries.size(), 3u);
  int named = 0;
  for (const std::string& entry : entries) {
    if (entry == "clip.mp4") continue;
    EXPECT_NE(failure.find(dir.File(entry)), std::string::npos) << entry << " not named in: " << failure;
    ++named;
    if (entry.size() > 4 && entry.substr(entry.size() - 4) == ".m4v" && frames > 0) {
      EXPECT_EQ(ProbeMedia(dir.File(entry)).pictures.size(), frames);
    }
  }
  EXPECT_EQ(named, 2);
}

ClipSpec SmallClip() {
  ClipSpec spec;
  spec.width = 160;
  spec.height = 90;
  spec.frames = 25;
  spec.chunks = 5;
  return spec;
}

} // namespace

TEST(WriterFailure, PutsWithoutAnOutputAreRefused) {
  WriterTestDir dir;
  EXPECT_EQ(MediaMacAvPutFrame(0), -21);
  EXPECT_EQ(MediaMacAvPutAudio(0, 100), -21);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("[Code] -21 'MediaMacAvPutFrame'"), std::string::npos);
  EXPECT_NE(log.find("[Code] -21 'MediaMacAvPutAudio'"), std::string::npos);
  const size_t before = dir.Log().size();
  MediaMacAvPutPrepare();
  MediaMacAvCreateClose();
  EXPECT_EQ(MediaMacAvFinishWriting(), -21);
  EXPECT_EQ(dir.Log().size(), before);
}

TEST(WriterFailure, NullFormatsAreRefused) {
  WriterTestDir dir;
  tagBITMAPINFOHEADER frame{};
  const AudioFormat sound = AudioFormatFor(3, 44100);
  EXPECT_EQ(MediaMacAvCreate(nullptr, &frame, &sound, 1000, 128, nullptr, nullptr, 0, 25, 5), -21);
  EXPECT_EQ(MediaMacAvCreate(L"/x.mp4", nullptr, &sound, 1000, 128, nullptr, nullptr, 0, 25, 5), -21);
  EXPECT_EQ(MediaMacAvCreate(L"/x.mp4", &frame, nullptr, 1000, 128, nullptr, nullptr, 0, 25, 5), -21);
}

TEST(WriterFailure, FolderThatTakesNoFile) {
  WriterTestDir dir;
  // A file where the folder should be: even the superuser cannot write there.
  WriteText(dir.File("notafolder"), "x");
  const ClipSpec spec = SmallClip();
  EXPECT_EQ(WriteClip(spec, dir.File("notafolder/clip.mp4")), -82);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Unable to create AVFoundation video writer!"), std::string::npos);
  EXPECT_NE(log.find("MediaCreateMacAv Create('"), std::string::npos);
  EXPECT_NE(log.find("failed with code -82!"), std::string::npos);
  EXPECT_NE(log.find("[Code] -82 'MediaMacAvCreate'"), std::string::npos);
  EXPECT_EQ(MediaMacAvPutFrame(0), -21);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"notafolder"});
}

TEST(WriterFailure, ReadOnlyFolderKeepsTheExistingFile) {
  if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
  WriterTestDir dir;
  const std::string folder = dir.File("locked");
  std::filesystem::create_directory(folder);
  WriteText(folder + "/clip.mp4", kOldContent);
  chmod(folder.c_str(), 0555);
  EXPECT_EQ(WriteClip(SmallClip(), folder + "/clip.mp4"), -82);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadText(folder + "/clip.mp4"), kOldContent);
}

TEST(WriterFailure, NoSoundChunksFailsTheMergeAndKeepsTheOldFileAndThePicture) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  WriteText(out, kOldContent);
  ClipSpec spec = SmallClip();
  spec.chunks = 0;
  std::string failure;
  EXPECT_EQ(WriteClipKeepingText(spec, out, failure), -82);
  EXPECT_EQ(ReadText(out), kOldContent);
  const std::string log = dir.Log();
  EXPECT_NE(log.find("AVFoundation Mux: Audio asset has no length!"), std::string::npos);
  EXPECT_NE(log.find("[Code] -82 'MediaMacAvFinishWriting'"), std::string::npos);
  EXPECT_NE(failure.find("the sound file holds no sound"), std::string::npos) << failure;
  ExpectKeptTemporaries(dir, failure, spec.frames);
}

TEST(WriterFailure, NoFramesFailsTheMerge) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  ClipSpec spec = SmallClip();
  spec.frames = 0;
  std::string failure;
  EXPECT_EQ(WriteClipKeepingText(spec, out, failure), -82);
  const std::string log = dir.Log();
  EXPECT_TRUE(log.find("AVFoundation Mux: Video asset has no length!") != std::string::npos ||
              log.find("AVFoundation Mux: Failed to create video asset!") != std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out));
  const std::vector<std::string> entries = dir.Entries();
  EXPECT_EQ(entries.size(), 2u);
  for (const std::string& entry : entries) EXPECT_NE(failure.find(dir.File(entry)), std::string::npos);
}

TEST(WriterFailure, CloseWithoutFinishLeavesNothing) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  WriteText(out, kOldContent);
  std::vector<uint8_t> frameBuffer, soundBuffer;
  ASSERT_EQ(OpenAndFeed(SmallClip(), out, frameBuffer, soundBuffer, nullptr, 10), 0);
  EXPECT_GE(dir.Entries().size(), 3u); // the two temporaries beside the output
  MediaMacAvCreateClose();
  EXPECT_EQ(ReadText(out), kOldContent);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"clip.mp4"});
  const std::string log = dir.Log();
  EXPECT_NE(log.find("Closing AVFoundation creation session"), std::string::npos);
  EXPECT_NE(log.find("Finishing AVFoundation creation session (1)"), std::string::npos);
  EXPECT_EQ(MediaMacAvPutFrame(11), -21);
}

TEST(WriterFailure, StoppedRenderIsMergedWithWhatWasWritten) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  std::vector<uint8_t> frameBuffer, soundBuffer;
  ASSERT_EQ(OpenAndFeed(SmallClip(), out, frameBuffer, soundBuffer, nullptr, 12), 0);
  EXPECT_EQ(MediaMacAvFinishWriting(), 0);
  EXPECT_EQ(MediaMacAvPutFrame(12), -82); // too late: the file is complete
  MediaMacAvCreateClose();
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_EQ(probe.pictures.size(), 12u);
  EXPECT_EQ(ReadFrameNumber(probe.pictures[11]), 11u);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"clip.mp4"});
}

TEST(WriterFailure, FullDiskIsReportedAndKeepsTheOldFile) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  WriteText(out, kOldContent);
  ClipSpec spec = SmallClip();
  spec.frames = 50;
  spec.chunks = 10;
  spec.audioKbit = 256;
  struct rlimit previous {};
  getrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = previous;
  small.rlim_cur = 8 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string failure;
  const int result = WriteClipKeepingText(spec, out, failure);
  setrlimit(RLIMIT_FSIZE, &previous);
  EXPECT_EQ(result, -82);
  EXPECT_NE(failure.find("File too large"), std::string::npos) << failure;
  EXPECT_EQ(ReadText(out), kOldContent);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"clip.mp4"});
}

// The tear-down may come while the render loop still finishes: at every
// moment the result must match what is on disk; a merge cut short keeps the
// encoded temporaries, and nothing else is left.
TEST(WriterFailure, CloseDuringFinishEitherCompletesOrLeavesTheOldFile) {
  for (int delayMs = 0; delayMs <= 40; delayMs += 5) {
    WriterTestDir dir;
    const std::string out = dir.File("clip.mp4");
    WriteText(out, kOldContent);
    std::vector<uint8_t> frameBuffer, soundBuffer;
    ClipSpec spec = SmallClip();
    spec.frames = 50;
    spec.chunks = 10;
    ASSERT_EQ(OpenAndFeed(spec, out, frameBuffer, soundBuffer), 0);
    std::atomic<int> finished{1};
    std::thread renderLoop([&] { finished = MediaMacAvFinishWriting(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    MediaMacAvCreateClose();
    renderLoop.join();
    const std::vector<std::string> entries = dir.Entries();
    if (finished.load() == 0) {
      EXPECT_EQ(ProbeMedia(out, false).videoStreams, 1) << delayMs;
      EXPECT_EQ(entries, std::vector<std::string>{"clip.mp4"}) << delayMs;
    } else {
      EXPECT_LT(finished.load(), 0) << delayMs;
      EXPECT_EQ(ReadText(out), kOldContent) << delayMs;
      EXPECT_TRUE(entries.size() == 1u || entries.size() == 3u) << delayMs;
      for (const std::string& entry : entries) {
        if (entry != "clip.mp4") {
          EXPECT_GE(ProbeMedia(dir.File(entry), false).duration, 1.9) << entry;
        }
      }
    }
  }
}

TEST(WriterFailure, SecondCreateClosesTheFirstOutput) {
  WriterTestDir dir;
  std::vector<uint8_t> frameA, soundA, frameB, soundB;
  ASSERT_EQ(OpenAndFeed(SmallClip(), dir.File("a.mp4"), frameA, soundA, nullptr, 5), 0);
  ClipSpec spec = SmallClip();
  ASSERT_EQ(OpenAndFeed(spec, dir.File("b.mp4"), frameB, soundB), 0);
  EXPECT_EQ(MediaMacAvFinishWriting(), 0);
  MediaMacAvCreateClose();
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"b.mp4"});
  EXPECT_EQ(ProbeMedia(dir.File("b.mp4")).pictures.size(), 25u);
}

TEST(WriterFailure, NegativeAndBadSizesAreRefusedAtCreate) {
  WriterTestDir dir;
  ClipSpec spec = SmallClip();
  spec.height = 0;
  EXPECT_EQ(WriteClip(spec, dir.File("zero.mp4")), -82);
  EXPECT_NE(dir.Log().find("Unable to create AVFoundation video track! This device does not seem to "
                           "support encoding 0p video."),
            std::string::npos);
  spec = SmallClip();
  spec.channels = 3;
  EXPECT_EQ(WriteClip(spec, dir.File("three.mp4")), -82);
  EXPECT_NE(dir.Log().find("Unable to create AVFoundation audio track!"), std::string::npos);
  for (const double rate : {0.0, -25.0, 1e12, std::nan("")}) {
    spec = SmallClip();
    spec.frameRate = rate;
    EXPECT_EQ(WriteClip(spec, dir.File("rate.mp4")), -82) << rate;
  }
  spec = SmallClip();
  spec.chunkRate = 0;
  EXPECT_EQ(WriteClip(spec, dir.File("chunks.mp4")), -82);
  EXPECT_TRUE(dir.Entries().empty());
}

namespace {

int CreateWithBuffers(WriterTestDir& dir, const void* frame, const void* sound) {
  tagBITMAPINFOHEADER format{};
  format.biWidth = 160;
  format.biHeight = 90;
  format.biBitCount = 32;
  const AudioFormat pcm = AudioFormatFor(3, 44100);
  const std::wstring path = std::filesystem::path(dir.File("clip.mp4")).wstring();
  return MediaMacAvCreate(path.c_str(), &format, &pcm, 1000, 128, frame, sound, 35280, 25, 5);
}

} // namespace

// A put failure shows one call late, under the number of the failed frame,
// and finishing reports it even when it was the last frame.
TEST(WriterFailure, MissingFrameBufferEndsTheFrameThread) {
  WriterTestDir dir;
  std::vector<uint8_t> sound(35280, 0);
  ASSERT_EQ(CreateWithBuffers(dir, nullptr, sound.data()), 0);
  MediaMacAvPutPrepare();
  EXPECT_EQ(MediaMacAvPutAudio(0, 35280), 0);
  MediaMacAvPutPrepare();
  EXPECT_EQ(MediaMacAvPutFrame(0), 0);
  MediaMacAvPutPrepare();
  EXPECT_EQ(MediaMacAvPutFrame(1), -82);
  EXPECT_EQ(MediaMacAvPutFrame(2), -82);
  EXPECT_EQ(MediaMacAvFinishWriting(), -82);
  MediaMacAvCreateClose();
  const std::string log = dir.Log();
  EXPECT_NE(log.find("NULL external pointer in PutFrame(0.000) for AVFoundation"), std::string::npos);
  EXPECT_NE(log.find("Failed to write video frame # 0 to output AVFoundation file. Error code -21"),
            std::string::npos);
  EXPECT_NE(log.find("[Code] -82 'MediaMacAvFinishWriting'"), std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(WriterFailure, MissingSoundBufferSkipsChunksAndFailsTheOutput) {
  WriterTestDir dir;
  std::vector<uint8_t> frame(160 * 90 * 4, 0x40);
  ASSERT_EQ(CreateWithBuffers(dir, frame.data(), nullptr), 0);
  for (uint32_t n = 0; n < 3; ++n) {
    MediaMacAvPutPrepare();
    const int chunk = MediaMacAvPutAudio(n, 35280);
    EXPECT_EQ(chunk, n == 0 ? 0 : -82) << n;
    MediaMacAvPutPrepare();
    EXPECT_EQ(MediaMacAvPutFrame(n), 0) << n;
  }
  EXPECT_EQ(MediaMacAvFinishWriting(), -82);
  MediaMacAvCreateClose();
  const std::string log = dir.Log();
  EXPECT_NE(log.find("NULL external pointer in PutAudio(0.400) for AVFoundation"), std::string::npos);
  EXPECT_NE(log.find("Failed to write audio chunk # 1 to output AVFoundation file. Error code -21"),
            std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(WriterFailure, FolderAtTheOutputPathIsKept) {
  WriterTestDir dir;
  const std::string out = dir.File("clip.mp4");
  std::filesystem::create_directory(out);
  std::string failure;
  EXPECT_EQ(WriteClipKeepingText(SmallClip(), out, failure), -82);
  EXPECT_TRUE(std::filesystem::is_directory(out));
  EXPECT_NE(dir.Log().find("AVFoundation Mux export failed! Reason: "), std::string::npos);
  EXPECT_NE(failure.find("Is a directory"), std::string::npos) << failure;
  ExpectKeptTemporaries(dir, failure, SmallClip().frames);
}

TEST(WriterFailure, NonAsciiOutputName) {
  WriterTestDir dir;
  const std::string out = dir.File("vid\xC3\xA9o \xE2\x98\x83.mp4");
  ASSERT_EQ(WriteClip(SmallClip(), out), 0);
  EXPECT_EQ(ProbeMedia(out, false).videoStreams, 1);
  EXPECT_EQ(dir.Entries().size(), 1u);
}
