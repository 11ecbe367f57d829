// The timeline chart: rows, finding the object, segment and time under a
// point, and drawing into the view.
#include "render/render_fixture.h"

#include "model/timeline.h"
#include "render/preview/timeline_view.h"

#include "base/access_lock.h"
#include "base/access_lock_limits.h"
#include "base/main_thread.h"
#include "base/sync.h"
#include "support/wait_until.h"

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace {

constexpr uint32_t kW = 600, kH = 200; // 300 s over 600 px: 0.5 s per pixel at zoom 1
constexpr uint32_t kNone = 0xFFFFFFFFu;

// View y (from the bottom) of chart row k (from the top), in its middle.
uint32_t rowY(int k) { return kH - 1 - (20 + 22 * k + 11); }

bool waitDraws(uint64_t count) {
  return WaitUntil([count] { return TimelineViewDrawCount() >= count; });
}

bool waitThreads(uint32_t count) {
  return WaitUntil([count] { return SyncThreadRunningCount() <= count; });
}

// The drawing thread has come to the project's lock, which the test holds.
bool waitForTheDrawingAtTheLock() {
  return WaitUntil([] { return AccessWaiting(false) > 0; });
}

} // namespace

class TimelineViewTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    ViewRegister(&images_, [this](const ViewImage& image) {
      std::lock_guard lock(mutex_);
      images_.push_back(image);
    });
  }
  void TearDown() override {
    TimelineViewEnd();
    ViewUnregister(&images_);
    RenderTest::TearDown();
  }
  std::mutex mutex_;
  std::vector<ViewImage> images_;
};

TEST_F(TimelineViewTest, RowsCountTopLevelObjectsHighestFirst) {
  const uint32_t a = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  const uint32_t group = AddObject(kDispGroup, 255, 0, 0, 10, 10);
  const uint32_t member = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  Edit(member, [&](DispStruct& r) { r.ParentObject = group; });
  const uint32_t b = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  EXPECT_EQ(TimelineViewGetMaxY(), 3); // a, group, b
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  uint32_t object = 0, segment = 0;
  float time = 0;
  TimelineViewFindXY(10, rowY(0), &object, &segment, &time);
  EXPECT_EQ(object, b);
  TimelineViewFindXY(10, rowY(1), &object, &segment, &time);
  EXPECT_EQ(object, group);
  TimelineViewFindXY(10, rowY(2), &object, &segment, &time);
  EXPECT_EQ(object, a);
  TimelineViewFindXY(10, rowY(3), &object, &segment, &time); // below the last row
  EXPECT_EQ(object, kNone);
  TimelineViewFindXY(10, kH - 5, &object, &segment, &time); // on the ruler
  EXPECT_EQ(object, kNone);
  EXPECT_EQ(segment, kNone);
}

TEST_F(TimelineViewTest, TimeAndSegmentUnderThePoint) {
  const uint32_t s = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  ASSERT_NE(TimelineDispObjAdd(s, 10.0f), kNone);
  ASSERT_NE(TimelineDispObjAdd(s, 20.0f), kNone);
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  uint32_t object = 0, segment = 0;
  float time = 0;
  TimelineViewFindXY(10, rowY(0), &object, &segment, &time);
  EXPECT_FLOAT_EQ(time, 5.0f);
  EXPECT_EQ(object, s);
  EXPECT_EQ(segment, kNone); // before the first added segment
  TimelineViewFindXY(30, rowY(0), &object, &segment, &time);
  EXPECT_EQ(segment, 0u);
  TimelineViewFindXY(41, rowY(0), &object, &segment, &time);
  EXPECT_EQ(segment, 1u);
  // Zoom 2 and a start of 100 s: 0.25 s per pixel from 100.
  TimelineViewSetPosition(0, 100.0f, 2.0f);
  TimelineViewFindXY(40, kH - 5, &object, &segment, &time);
  EXPECT_FLOAT_EQ(time, 110.0f);
  EXPECT_EQ(object, kNone);
}

TEST_F(TimelineViewTest, FirstRowScrollsTheChart) {
  const uint32_t a = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  const uint32_t b = AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  uint32_t object = 0;
  TimelineViewFindXY(0, rowY(0), &object, nullptr, nullptr);
  EXPECT_EQ(object, b);
  TimelineViewSetPosition(2, 0, 1); // rows counted from 1: the second at the top
  TimelineViewFindXY(0, rowY(0), &object, nullptr, nullptr);
  EXPECT_EQ(object, a);
}

TEST_F(TimelineViewTest, ChartReachesTheViewAndRedrawsOnlyWhenChanged) {
  AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  // The count runs over the whole process: earlier tests drew too.
  const uint64_t first = TimelineViewDrawCount() + 1;
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  ASSERT_TRUE(waitDraws(first));
  {
    std::lock_guard lock(mutex_);
    ASSERT_EQ(images_.size(), 1u);
    EXPECT_EQ(images_[0].width, kW);
    EXPECT_EQ(images_[0].height, kH);
  }
  const uint64_t before = TimelineViewDrawCount();
  TimelineViewRefresh(0); // nothing changed
  // Nothing is drawn: a while in which a needless redraw would have come.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(TimelineViewDrawCount(), before);
  TimelineViewSetSelection(0, kNone);
  ASSERT_TRUE(waitDraws(before + 1));
  TimelineViewRefresh(1);
  ASSERT_TRUE(waitDraws(before + 2));
  EXPECT_EQ(TimelineViewInit(nullptr, kW, kH), -21);
}

// The drawing thread waits for the project while the view is ended: the
// end gives up waiting, and the thread, let go later, draws its chart to
// the end without touching the next view's.
TEST_F(TimelineViewTest, AThreadOutlivingItsViewDrawsIntoItsOwnChart) {
  AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  const uint32_t threads = SyncThreadRunningCount();
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  ASSERT_TRUE(waitDraws(TimelineViewDrawCount() + 1));
  {
    WriteAccess hold("TimelineViewTest");
    TimelineViewSetPosition(0, 50, 1);
    ASSERT_TRUE(waitForTheDrawingAtTheLock());
    TimelineViewEnd();
  }
  ASSERT_TRUE(waitThreads(threads));
  const uint64_t next = TimelineViewDrawCount() + 1;
  ASSERT_EQ(TimelineViewInit(&images_, kW / 2, kH), 0);
  ASSERT_TRUE(waitDraws(next));
  std::lock_guard lock(mutex_);
  EXPECT_EQ(images_.back().width, kW / 2);
}

// Ending a view pumps the event loop, where a resized window starts the
// next view; the start that was waiting then replaces that one whole.
TEST_F(TimelineViewTest, AViewStartedWhileTheLastOneEndsIsReplacedWhole) {
  AddShape(4, 0, 0, 0, 0, 0, 10, 10);
  MainThreadMarkCurrent();
  std::vector<std::function<void()>> queue;
  std::optional<WriteAccess> hold;
  bool startedInside = false;
  MainThreadInstall([&](std::function<void()> job) { queue.push_back(std::move(job)); },
                    [&] {
                      std::vector<std::function<void()>> jobs;
                      jobs.swap(queue);
                      for (auto& job : jobs) job();
                      if (startedInside || !hold) return;
                      startedInside = true;
                      hold.reset();
                      EXPECT_EQ(TimelineViewInit(&images_, kW / 2, kH), 0);
                    });
  const uint32_t threads = SyncThreadRunningCount();
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  hold.emplace("TimelineViewTest");
  TimelineViewSetPosition(0, 50, 1);
  ASSERT_TRUE(waitForTheDrawingAtTheLock());
  ASSERT_EQ(TimelineViewInit(&images_, kW, kH), 0);
  EXPECT_TRUE(startedInside);
  images_.clear(); // the drawing thread hands over only while pumped
  TimelineViewRefresh(1);
  EXPECT_TRUE(WaitUntil([this] {
    MainThreadPump();
    std::lock_guard lock(mutex_);
    return !images_.empty() && images_.back().width == kW;
  }));
  EXPECT_EQ(SyncThreadRunningCount(), threads + 1); // the last view's thread alone
  TimelineViewEnd();
  MainThreadInstall(nullptr, nullptr);
}
