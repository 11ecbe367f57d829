// The main preview: single frames and playback into a registered view,
// stop, time, volume and snapshots.
#include "render/render_fixture.h"

#include "base/sync.h"
#include "base/text.h"
#include "model/inputs.h"
#include "model/project.h"
#include "model/timeline.h"
#include "media/bmp_file.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "support/wait_until.h"

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

uint32_t ViewPixel(const ViewImage& image, uint32_t x, uint32_t y) { return image.rgbAt(x, y); }

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
  ASSERT_TRUE(WaitUntil([&] { return sink_.count() >= 1 && !PreviewIsPlaying(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
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
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Paced by the clock: about one second, not as fast as possible.
  EXPECT_GT(took, 0.8);
  EXPECT_LE(PreviewGetTime(), 1.0f);
  EXPECT_GE(PreviewGetTime(), 1.0f - 1.0f / 25 - 1e-4f);
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
  EXPECT_GE(sink_.count(), 5);
  EXPECT_LE(ColourDiff(ViewPixel(sink_.last(), 80, 60), 0x00C000), 2);
}

TEST_F(PreviewTest, StopEndsPlaybackAndDrawsTheStopFrame) {
  ProjectSetLength(60.0f);
  AddShape(4, 0xFFFFFF, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(5, 2.0f, 25), 0);
  ASSERT_TRUE(WaitUntil([] { return PreviewGetTime() > 2.2f; }));
  EXPECT_EQ(PreviewIsPlayingBack(), 1);
  PreviewStop();
  EXPECT_EQ(PreviewIsPlayingBack(), 0); // the stop frame is no playback
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  const float stopped = PreviewGetTime();
  EXPECT_GT(stopped, 2.2f);
  // It stays stopped: a while in which a loop left running would move on.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FLOAT_EQ(PreviewGetTime(), stopped);
  PreviewSetVolume(250);                      // clamped, no effect on pictures
}

// A stop that gives up waiting (a slow frame on a crowded machine) leaves
// the loop to end on its own; playback started next must not run beside
// it, nor be taken for ended when the old loop finishes.
TEST_F(PreviewTest, PlaybackAfterAStopThatTimedOutIsTheOnlyLoop) {
  ProjectSetLength(60.0f);
  AddShape(4, 0xFFFFFF, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(5, 0.0f, 25), 0);
  ASSERT_TRUE(WaitUntil([] { return PreviewGetTime() > 0.1f; }));
  RenderStop(0); // does not wait: the loop is asked to stop and left
  ASSERT_EQ(PreviewPlay(5, 1.0f, 25), 0);
  ASSERT_TRUE(WaitUntil([] { return PreviewGetTime() > 1.3f; }));
  EXPECT_EQ(PreviewIsPlayingBack(), 1);
  PreviewStop();
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
}

TEST_F(PreviewTest, SnapshotWritesTheShownPicture) {
  AddShape(4, 0x3060F0, 0xFF000000, 0, 0, 0, 100, 100);
  ASSERT_EQ(PreviewPlay(0, 0.0f, 0), 0);
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
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
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
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

// A view may keep the pictures it is handed (the canvas shows them without
// a copy): while it holds one, no later frame is written into it, and every
// picture reaches it whole. Here the view keeps the last two, as one shown
// and one on its way.
TEST_F(PreviewTest, PicturesTheViewKeepsAreNeverDrawnOver) {
  const std::string video = TempPath("kept.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, 12, kW, kH, "25", "-c:v libx264 -pix_fmt yuv420p"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(video)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100);
  const uint32_t mover = AddShape(4, 0xE00000, 0xFF000000, 0, 0, 0, 20, 20);
  ASSERT_NE(TimelineDispObjAdd(mover, 0.2f), kNoDispObj);
  ASSERT_EQ(TimelineApply(0.3f), 0);
  Edit(mover, [](DispStruct& r) { r.X = 70, r.Y = 60; });
  ProjectSetLength(0.8f);

  struct Kept {
    std::shared_ptr<const ViewImage> image;
    std::vector<uint8_t> asReceived;
  };
  std::mutex mutex;
  std::vector<Kept> kept;
  int received = 0, notShared = 0, drawnOver = 0;
  auto check = [&](const Kept& k) { drawnOver += k.image->rgba != k.asReceived; };
  ViewRegister(&sink_, [&](const ViewImage& image) {
    std::lock_guard lock(mutex);
    ++received;
    std::shared_ptr<const ViewImage> shared = image.weak_from_this().lock();
    if (!shared) {
      ++notShared;
      return;
    }
    for (const Kept& k : kept) check(k);
    if (kept.size() == 2) kept.erase(kept.begin());
    kept.push_back({shared, shared->rgba});
    std::lock_guard last(sink_.mutex);
    sink_.images.push_back(image);
  });
  ASSERT_EQ(PreviewPlay(0, 0.0f, 25), 0);
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
  std::lock_guard lock(mutex);
  for (const Kept& k : kept) check(k);
  EXPECT_GE(received, 10);
  EXPECT_EQ(notShared, 0);
  EXPECT_EQ(drawnOver, 0);
  // The last picture is the last frame, drawn whole.
  const std::vector<uint32_t> whole = RenderAt(PreviewGetTime(), kW, kH);
  int differ = 0;
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x)
      differ += ViewPixel(*kept.back().image, x, y) != (FramePixel(whole, kW, kH, x, y) & 0xFFFFFF);
  EXPECT_EQ(differ, 0);
}

// Each frame clears only what the one before drew, over a video that fills
// the frame clears nothing, and the display takes only the tiles that
// changed. Objects that move, appear and fade out and a video that ends
// half way must leave the picture shown exactly as the frame drawn whole.
TEST_F(PreviewTest, ChangedPartsAloneLeaveThePictureAsDrawnWhole) {
  const std::string video = TempPath("under.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, 12, kW, kH, "25", "-c:v libx264 -pix_fmt yuv420p"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(video)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100); // gone after 0.48 s
  const uint32_t mover = AddShape(4, 0xE00000, 0xFF000000, 0, 0, 0, 20, 20);
  const uint32_t fading = AddShape(3, 0x2040F0, 0xFFFFFFFF, 2, 10, 50, 30, 40);
  const uint32_t late = AddShape(4, 0x00C000, 0xFF000000, 0, 40, 10, 30, 30);
  Edit(late, [](DispStruct& r) { r.OffsetTime = 0.6f; });
  ASSERT_NE(TimelineDispObjAdd(mover, 0.3f), kNoDispObj);
  ASSERT_EQ(TimelineApply(0.35f), 0);
  Edit(mover, [](DispStruct& r) { r.X = 70, r.Y = 60; });
  ASSERT_NE(TimelineDispObjAdd(fading, 0.7f), kNoDispObj);
  ASSERT_EQ(TimelineApply(0.75f), 0);
  Edit(fading, [](DispStruct& r) { r.Transparency = 100; });
  ProjectSetLength(1.0f);

  auto expectAsDrawnWhole = [&](const char* when) {
    std::vector<uint32_t> shown;
    uint32_t w = 0, h = 0;
    ASSERT_EQ(MainPreviewSnapshotPixels(&shown, &w, &h), 0);
    const ViewImage image = sink_.last();
    ASSERT_EQ(image.width, kW);
    const std::vector<uint32_t> whole = RenderAt(PreviewGetTime(), kW, kH);
    int differ = 0, viewDiffers = 0;
    for (uint32_t y = 0; y < kH; ++y)
      for (uint32_t x = 0; x < kW; ++x) {
        const uint32_t expected = FramePixel(whole, kW, kH, x, y);
        differ += FramePixel(shown, kW, kH, x, y) != expected;
        viewDiffers += ViewPixel(image, x, y) != (expected & 0xFFFFFF);
      }
    EXPECT_EQ(differ, 0) << when << " at " << PreviewGetTime();
    EXPECT_EQ(viewDiffers, 0) << when << " at " << PreviewGetTime();
  };

  // Still frames: the video under the shapes, then the shapes alone.
  for (float t : {0.1f, 0.4f, 0.9f, 0.2f}) {
    ASSERT_EQ(PreviewPlay(0, t, 0), 0);
    ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
    ASSERT_TRUE(MainPreviewWaitIdle(60000));
    expectAsDrawnWhole("still");
  }
  // Playback through every change to the end.
  ASSERT_EQ(PreviewPlay(0, 0.0f, 25), 0);
  ASSERT_TRUE(WaitUntil([] { return !PreviewIsPlaying(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(60000));
  ASSERT_GT(PreviewGetTime(), 0.9f);
  expectAsDrawnWhole("played");
  // What the end shows: the mover moved, the late shape, no video, no fading shape.
  const std::vector<uint32_t> end = RenderAt(PreviewGetTime(), kW, kH);
  EXPECT_LE(ColourDiff(FramePixel(end, kW, kH, 130, 85), 0xE00000), 2);
  EXPECT_LE(ColourDiff(FramePixel(end, kW, kH, 80, 25), 0x00C000), 2);
  EXPECT_EQ(FramePixel(end, kW, kH, 15, 5) & 0xFFFFFF, 0u);
  EXPECT_EQ(FramePixel(end, kW, kH, 30, 90) & 0xFFFFFF, 0u);
}
