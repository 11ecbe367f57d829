#include "platform/graphics/bitmap_view.h"

#include "base/main_thread.h"

#include <gtest/gtest.h>

#include <thread>

TEST(BitmapFlipToRGBA, TurnsRowsAndSwapsRedAndBlue) {
  // Bottom row first: 0xFF0000FF, 0xFF00FF00; then top row 0xFFFF0000, 0xFFFFFFFF.
  const uint32_t source[4] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu};
  uint32_t dest[4] = {};
  BitmapFlipToRGBA(source, dest, 2, 2);
  const auto* bytes = reinterpret_cast<const uint8_t*>(dest);
  const uint8_t expected[16] = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;
}

TEST(BitmapFlipToRGBA, NullOrEmptyDoesNothing) {
  uint32_t dest[1] = {7};
  BitmapFlipToRGBA(nullptr, dest, 1, 1);
  uint32_t src[1] = {1};
  BitmapFlipToRGBA(src, dest, 0, 1);
  EXPECT_EQ(dest[0], 7u);
}

TEST(ViewSetBitmap, HandsACopyToTheRegisteredViewOnly) {
  MainThreadMarkCurrent();
  int view = 0, other = 0;
  ViewImage got;
  int calls = 0;
  ViewRegister(&view, [&](const ViewImage& image) {
    got = image;
    ++calls;
  });
  uint32_t pixels[2] = {0x11223344u, 0x55667788u};
  ViewSetBitmap(pixels, 2, 1, &view);
  pixels[0] = 0; // the view keeps its own copy
  ASSERT_EQ(calls, 1);
  EXPECT_EQ(got.width, 2u);
  EXPECT_EQ(got.height, 1u);
  EXPECT_EQ(got.rgba[0], 0x44);
  ViewSetBitmap(pixels, 2, 1, &other); // unknown view: nothing
  ViewSetBitmap(nullptr, 2, 1, &view);
  ViewSetBitmap(pixels, 2, 1, nullptr);
  EXPECT_EQ(calls, 1);
  ViewUnregister(&view);
}

TEST(ViewSetBitmap, FromAWorkerRunsOnTheMainThreadAndWaits) {
  MainThreadMarkCurrent();
  std::vector<std::function<void()>> queue;
  std::mutex mutex;
  MainThreadInstall(
      [&](std::function<void()> job) {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(job));
      },
      [] {});
  int view = 0;
  std::thread::id ranOn;
  ViewRegister(&view, [&](const ViewImage&) { ranOn = std::this_thread::get_id(); });
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    uint32_t pixel = 1;
    ViewSetBitmap(&pixel, 1, 1, &view);
    returned = true;
  });
  while (!returned) {
    std::vector<std::function<void()>> jobs;
    {
      std::lock_guard lock(mutex);
      jobs.swap(queue);
    }
    for (auto& job : jobs) {
      EXPECT_FALSE(returned.load()); // the worker waits for the hand-over
      job();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  ViewUnregister(&view);
  MainThreadInstall(nullptr, nullptr); // back to running posted work at once
}
