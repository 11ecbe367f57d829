// The second reader on several threads: readers opened and closed side by
// side through the facade, and one reader closed while other threads still
// ask it for frames and look-aheads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "base/text.h"
#include "media/input_handler.h"
#include "media/media_slot.h"
#include "media/qt_facade.h"
#include "platform/gstreamer/reader.h"
#include "support/media_fixtures.h"

namespace {

constexpr int kW = 64, kH = 48, kFrames = 90;

std::string StressVideo() {
  static const std::string path = [] {
    std::string p = MediaTestPath("stress.mp4");
    EXPECT_TRUE(MakeIndexVideo(p, kFrames, kW, kH, "30", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10"));
    return p;
  }();
  return path;
}

TEST(QtReaderStress, ReadersOpenAndCloseOnSeveralThreads) {
  const std::string path = StressVideo();
  ASSERT_EQ(MediaHandlerInit(), 0);
  constexpr int kThreads = 4, kRounds = 4;
  std::vector<uint32_t> inputs;
  for (int i = 0; i < kThreads * 2; ++i) inputs.push_back(MediaTestAddInput(path));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int k = 0; k < kThreads; ++k)
    threads.emplace_back([&, k] {
      std::mt19937 rng(static_cast<unsigned>(k));
      for (int round = 0; round < kRounds; ++round) {
        uint32_t in = inputs[static_cast<size_t>(k * 2 + round % 2)];
        if (MediaMacQtOpen(in) != 0) {
          ++failures;
          continue;
        }
        for (int n = 0; n < 6; ++n) {
          int i = static_cast<int>(rng() % kFrames);
          MediaMacQtPrepareFrame(in, i / 30.0);
          if (MediaMacQtGetFrame(in, i / 30.0) != 0 ||
              ReadFrameIndex(InputHandlerGetSlot(in)->FrameData, kW, kH, false) != i)
            ++failures;
        }
        MediaMacQtClose(in);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(MediaMacQtOpenCount(), 0u);
  MediaHandlerEnd();
}

TEST(QtReaderStress, CloseWhileOtherThreadsUseTheReader) {
  const std::string path = StressVideo();
  for (int round = 0; round < 3; ++round) {
    auto reader = std::make_shared<MediaMacQT>();
    ASSERT_EQ(reader->Open(Utf8ToWide(path)), 0);
    std::atomic<bool> closed{false}, stop{false};
    std::atomic<int> unexpected{0}, afterClose{0};
    auto user = [&](int kind) {
      std::mt19937 rng(static_cast<unsigned>(kind + round * 10));
      while (!stop) {
        double t = static_cast<double>(rng() % kFrames) / 30.0;
        if (kind == 0) {
          bool wasClosed = closed;
          int rc = reader->GetFrame(t);
          if (rc != 0 && rc != -21) ++unexpected;
          if (wasClosed && rc != -21) ++unexpected;
          if (wasClosed) ++afterClose;
        } else if (kind == 1) {
          reader->PrepareFrame(t);
        } else {
          reader->Seek(t);
        }
      }
    };
    std::vector<std::thread> users;
    for (int kind = 0; kind < 3; ++kind) users.emplace_back(user, kind);
    for (int i = 0; i < 20; ++i) reader->GetFrame(i / 10.0);
    reader->Close();
    closed = true;
    while (afterClose < 5) std::this_thread::yield();
    stop = true;
    for (auto& t : users) t.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(reader->BitmapData(), nullptr);
  }
}

} // namespace
