// The main preview: single frames and playback into a registered view,
// stop, time, volume and snapshots.
#include "render/render_fixture.h"

#include "engine/base/sync.h"
#include "engine/model/project.h"
#include "media/bmp_file.h"
#include "engine/base/text.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

constexpr uint32_t kW = 160, kH = 120;

struct ViewSink {
  std::mutex mutex;
  std::vector<ViewImage> images;
  int count() {
    std::lock_guard lock(mutex);
    return static_cast<int>(images.size());
  }
  ViewImage last() {
    std::lock_guard lock(mutex);
    return images.empty() ? ViewImage{} : images.back();
  }
};

// R, G, B of a top-down RGBA view image.
uint32_t ViewPixel(const ViewImage& image, uint32_t x, uint32_t y) {
  const uint8_t* p = image.rgba.data() + (static_cast<size_t>(y) * image.width + x) * 4;
  return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

bool waitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 5) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

} // namespace

class PreviewTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    ViewRegister(&sink_, [this](const ViewImage& image) {
      std::lock_guard lock(sink_.mutex);
      sink_.images.push_back(image);
    });
    ASSERT_EQ(MainPreviewInit(&sink_, kW, kH, 0, 0, 3, 22050, 25), 0);
  }
  void TearDown() override {
    MainPreviewEnd();
    ViewUnregister(&sink_);
    RenderTest::TearDown();
  }
  ViewSink sink_;
};

TEST_F(PreviewTest, OneFrameReachesTheView) {
  AddSolidImage(0x204080, 16, 16);
  AddObject(kDispVideo, 0, 0, 0, 100, 100);
  AddShape(4, 0xE00000, 0xFF000000, 0, 0, 0, 50, 50);
  ASSERT_EQ(PreviewPlay(0, 0.0f, 0), 0);
  EXPECT_EQ(PreviewIsPlayingBack(), 0); // drawing one frame is not playback
  ASSERT_TRUE(waitFor([&] { return sink_.count() >= 1 && !PreviewIsPlaying(); }, 5000));
  ASSERT_TRUE(MainPreviewWaitIdle(2000));
  ViewImage image = sink_.last();
  ASSERT_EQ(image.width, kW);
  ASSERT_EQ(image.height, kH);
  EXPECT_LE(ColourDiff(ViewPixel(image, 20, 20), 0xE00000), 2);   // top left: the shape
  EXPECT_LE(ColourDiff(ViewPixel(image, 140, 100), 0x204080), 2); // the picture
}

TEST_F(PreviewTest, PlaysUntilTheProjectEndsAndStopsThere) {
  AddShape(4, 0x00C000, 0xFF000000, 0, 0, 0, 100, 100);
  ProjectSetLength(1.0f);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(PreviewPlay(5, 0.0f, 25), 0);
  EXPECT_TRUE(PreviewIsPlaying());
  ASSERT_TRUE(waitFor([] { return !PreviewIsPlaying(); }, 10000));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Paced by the clock: about one second, not as fast as possible.
  EXPECT_GT(took, 0.8);
  EXPECT_LE(PreviewGetTime(), 1.0f);
  EXPECT_GE(PreviewGetTime(), 1.0f - 1.0f / 25 - 1e-4f);
  ASSERT_TRUE(MainPreviewWaitIdle(2000));
  EXPECT_GE(sink_.count(), 5);
  EXPECT_LE(ColourDiff(ViewPixel(sink_.last(), 80, 60), 0x00C000), 2);
}

TEST_F(PreviewTest, StopEndsPlaybackAndDrawsTheStopFrame) {
  ProjectSetLength(60.0f);
  AddShape(4, 0xFFFFFF, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(5, 2.0f, 25), 0);
  ASSERT_TRUE(waitFor([] { return PreviewGetTime() > 2.2f; }, 5000));
  EXPECT_EQ(PreviewIsPlayingBack(), 1);
  PreviewStop();
  EXPECT_EQ(PreviewIsPlayingBack(), 0); // the stop frame is no playback
  ASSERT_TRUE(waitFor([] { return !PreviewIsPlaying(); }, 5000));
  const float stopped = PreviewGetTime();
  EXPECT_GT(stopped, 2.2f);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FLOAT_EQ(PreviewGetTime(), stopped); // it stays stopped
  PreviewSetVolume(250);                      // clamped, no effect on pictures
}

// A stop that gives up waiting (a slow frame on a crowded machine) leaves
// the loop to end on its own; playback started next must not run beside
// it, nor be taken for ended when the old loop finishes.
TEST_F(PreviewTest, PlaybackAfterAStopThatTimedOutIsTheOnlyLoop) {
  ProjectSetLength(60.0f);
  AddShape(4, 0xFFFFFF, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(5, 0.0f, 25), 0);
  ASSERT_TRUE(waitFor([] { return PreviewGetTime() > 0.1f; }, 5000));
  RenderStop(0); // does not wait: the loop is asked to stop and left
  ASSERT_EQ(PreviewPlay(5, 1.0f, 25), 0);
  ASSERT_TRUE(waitFor([] { return PreviewGetTime() > 1.3f; }, 5000));
  EXPECT_EQ(PreviewIsPlayingBack(), 1);
  PreviewStop();
  ASSERT_TRUE(waitFor([] { return !PreviewIsPlaying(); }, 5000));
}

TEST_F(PreviewTest, SnapshotWritesTheShownPicture) {
  AddShape(4, 0x3060F0, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(0, 0.0f, 0), 0);
  ASSERT_TRUE(waitFor([] { return !PreviewIsPlaying(); }, 5000));
  ASSERT_TRUE(MainPreviewWaitIdle(2000));
  const std::wstring path = Utf8ToWide(TempPath("snap.bmp"));
  ASSERT_EQ(MainPreviewExportSnapshot(path.c_str()), 0);
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(path, &image), 0);
  EXPECT_EQ(image.Header.biWidth, static_cast<int32_t>(kW));
  EXPECT_EQ(std::abs(image.Header.biHeight), static_cast<int32_t>(kH));
  const uint8_t* px = image.Pixels;
  const int bpp = image.Header.biBitCount / 8;
  EXPECT_NEAR(px[0], 0xF0, 2);
  EXPECT_NEAR(px[1], 0x60, 2);
  EXPECT_NEAR(px[2], 0x30, 2);
  (void)bpp;
  MediaImageDataFree(&image);
  EXPECT_EQ(MainPreviewExportSnapshot(nullptr), -21);
}

TEST_F(PreviewTest, RenderSizeSmallerThanThePictureIsScaledUp) {
  MainPreviewEnd();
  ASSERT_EQ(MainPreviewInit(&sink_, kW, kH, 80, 60, 3, 22050, 25), 0);
  AddShape(4, 0xFF0000, 0xFF000000, 0, 50, 0, 50, 100);
  ASSERT_EQ(PreviewPlay(0, 0.0f, 0), 0);
  ASSERT_TRUE(waitFor([] { return !PreviewIsPlaying(); }, 5000));
  ASSERT_TRUE(MainPreviewWaitIdle(2000));
  ViewImage image = sink_.last();
  ASSERT_EQ(image.width, kW);
  EXPECT_LE(ColourDiff(ViewPixel(image, 150, 60), 0xFF0000), 2);
  EXPECT_LE(ColourDiff(ViewPixel(image, 10, 60), 0x000000), 2);
}

TEST_F(PreviewTest, BadSetUpsAreRefused) {
  EXPECT_LT(MainPreviewInit(&sink_, 0, kH, 0, 0, 3, 22050, 25), 0);
  EXPECT_LT(MainPreviewInit(&sink_, kW, kH, 0, 0, 7, 22050, 25), 0);
  EXPECT_LT(MainPreviewInit(&sink_, kW, kH, 0, 0, 3, 22050, 0), 0);
  EXPECT_EQ(PreviewIsPlaying(), 0);
}
