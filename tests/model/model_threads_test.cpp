// A render thread applying the timeline while the interface edits: every
// routine takes the access lock, so the records stay whole.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "model/dispobjs.h"
#include "model_fixture.h"

namespace {

class ModelThreadsTest : public ModelTest {};

TEST_F(ModelThreadsTest, EditsAndTimelineApplicationInterleaveSafely) {
  const uint32_t object = DispObjAdd(kDispGauge, kNoInput);
  for (int i = 1; i <= 20; ++i) ASSERT_NE(TimelineDispObjAdd(object, i * 1.0f), kNoDispObj);
  // The new segments change nothing yet, so the base's position is what the
  // render thread sees until the first edit: it must keep X = 2 Y too.
  TimelineApply(0.0f);
  DispStruct start = *DispObjGet(object);
  start.Y = 10.0f;
  start.X = 20.0f;
  ASSERT_EQ(DispObjSet(object, &start), 0);
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0};
  std::thread render([&] {
    for (int frame = 0; !stop.load(); ++frame) {
      TimelineApply(static_cast<float>(frame % 25));
      // The renderer reads the table under its own read access.
      ReadAccess access("ModelThreadsTest render");
      const DispStruct* record = DispObjGet(object);
      // X and Y are always written together: X = 2 Y.
      if (record != nullptr && record->X != 2 * record->Y) ++torn;
    }
  });
  for (int i = 0; i < 400; ++i) {
    DispStruct record = *DispObjGet(object);
    record.Y = static_cast<float>(i % 50);
    record.X = 2 * record.Y;
    ASSERT_EQ(DispObjSet(object, &record), 0);
    GaugeParam gauge = *static_cast<const GaugeParam*>(DispObjGetParam(object));
    gauge.Max = i;
    ASSERT_EQ(DispObjSetParam(object, &gauge), 0);
  }
  stop = true;
  render.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(TimelineDispObjGetCount(object), 20u);
}

// The interface reads records without holding the lock while the render
// thread switches the current record between two segments every frame:
// what a getter answered never changes under the caller, and another
// thread's answers never overwrite it.
TEST_F(ModelThreadsTest, GetterAnswersAreCopiesTheRenderThreadCannotTear) {
  const uint32_t object = DispObjAdd(kDispGauge, kNoInput);
  ASSERT_NE(TimelineDispObjAdd(object, 10.0f), kNoDispObj);
  for (const float y : {10.0f, 20.0f}) {
    TimelineApply(y == 10.0f ? 0.0f : 10.0f); // base, then the segment
    DispStruct record = *DispObjGet(object);
    record.Y = y;
    record.X = 2 * y;
    ASSERT_EQ(DispObjSet(object, &record), 0);
  }
  std::atomic<bool> stop{false};
  std::thread render([&] {
    for (int frame = 0; !stop.load(); ++frame) TimelineApply(frame % 2 == 0 ? 0.0f : 10.0f);
  });
  std::thread otherReader([&] {
    while (!stop.load()) DispObjGet(object);
  });
  int torn = 0, seenBase = 0, seenSegment = 0;
  // Until both records were seen many times (the render thread may start late).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::min(seenBase, seenSegment) < 500 && std::chrono::steady_clock::now() < deadline) {
    const DispStruct* record = DispObjGet(object);
    ASSERT_NE(record, nullptr);
    const float x = record->X;
    std::this_thread::yield();
    const float y = record->Y;
    if (x != 2 * y) ++torn;
    (y == 10.0f ? seenBase : seenSegment)++;
  }
  // A held answer survives the next calls of the same thread, as a caller
  // walking a group and its members keeps the group's record.
  const DispStruct* held = DispObjGet(object);
  const DispStruct kept = *held;
  for (int i = 1; i < 8; ++i) DispObjGet(object);
  EXPECT_EQ(std::memcmp(held, &kept, sizeof(kept)), 0);
  stop = true;
  render.join();
  otherReader.join();
  EXPECT_EQ(torn, 0);
  EXPECT_GT(seenBase, 0);
  EXPECT_GT(seenSegment, 0);
}

} // namespace
