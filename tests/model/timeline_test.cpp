// Timeline segments: adding, moving and shifting with their conflicts, and
// the current record at a time.
#include <cstring>

#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model_fixture.h"

namespace {

class TimelineTest : public ModelTest {
protected:
  void SetUp() override {
    ModelTest::SetUp();
    object_ = DispObjAdd(kDispShape, kNoInput);
    ASSERT_EQ(TimelineDispObjSetStart(object_, kFirstSegment, 2.0f), 0);
  }
  // Sets X at the given time through the facade (lands in the segment in force).
  void SetXAt(float time, float x) {
    ASSERT_EQ(TimelineApply(time), 0);
    DispStruct record = *DispObjGet(object_);
    record.X = x;
    ASSERT_EQ(DispObjSet(object_, &record), 0);
  }
  float XAt(float time) {
    EXPECT_EQ(TimelineApply(time), 0);
    return DispObjGet(object_)->X;
  }
  uint32_t object_ = 0;
};

TEST_F(TimelineTest, AddSortsSegmentsByStart) {
  EXPECT_EQ(TimelineDispObjAdd(object_, 10), 0u);
  EXPECT_EQ(TimelineDispObjAdd(object_, 5), 0u);
  EXPECT_EQ(TimelineDispObjAdd(object_, 7.5f), 1u);
  EXPECT_EQ(TimelineDispObjGetCount(object_), 3u);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 5);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 7.5f);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 2), 10);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, kFirstSegment), 2);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 1), 0u);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, kFirstSegment), 0xFFFFFFFFu);
}

TEST_F(TimelineTest, AddConflicts) {
  ASSERT_EQ(TimelineDispObjAdd(object_, 5), 0u);
  EXPECT_EQ(TimelineDispObjAdd(object_, 5), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -11);
  EXPECT_EQ(TimelineDispObjAdd(object_, 2), kNoDispObj); // the object's own start
  EXPECT_EQ(ErrorGetLast(), -11);
  EXPECT_EQ(TimelineDispObjAdd(object_, 1), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -200);
  EXPECT_EQ(TimelineDispObjAdd(object_, -3), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -200);
  EXPECT_EQ(TimelineDispObjAdd(7, 5), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(TimelineDispObjAdd(0xFFFFFFFF, 5), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(TimelineDispObjGetCount(object_), 1u);
}

TEST_F(TimelineTest, AtMost63Segments) {
  for (uint32_t i = 0; i < kMaxSegments; ++i)
    ASSERT_EQ(TimelineDispObjAdd(object_, 3.0f + i), i);
  EXPECT_EQ(TimelineDispObjAdd(object_, 100), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -40);
  EXPECT_EQ(TimelineDispObjGetCount(object_), 63u);
}

TEST_F(TimelineTest, SetStartResortsAndRefusesConflicts) {
  TimelineDispObjAdd(object_, 5);
  TimelineDispObjAdd(object_, 8);
  ASSERT_EQ(TimelineDispObjSetStart(object_, 0, 9), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 8);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 9);
  EXPECT_EQ(TimelineDispObjSetStart(object_, 0, 9), -11);
  EXPECT_EQ(TimelineDispObjSetStart(object_, 0, 2), -200);
  EXPECT_EQ(TimelineDispObjSetStart(object_, 0, 1.5f), -200);
  EXPECT_EQ(TimelineDispObjSetStart(object_, 0, -1), -200);
  EXPECT_EQ(TimelineDispObjSetStart(object_, 2, 20), -41);
  EXPECT_EQ(TimelineDispObjSetStart(object_, kFirstSegment, -1), -21);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 8);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, kFirstSegment), 2);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 5), 0);
  EXPECT_EQ(ErrorGetLast(), -41);
}

TEST_F(TimelineTest, ShiftMovesTheSegmentAndLaterOnes) {
  TimelineDispObjAdd(object_, 5);
  TimelineDispObjAdd(object_, 8);
  TimelineDispObjAdd(object_, 12);
  ASSERT_EQ(TimelineDispObjShift(object_, 1, 2), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 5);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 10);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 2), 14);
  ASSERT_EQ(TimelineDispObjShift(object_, kFirstSegment, 1), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, kFirstSegment), 3);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 6);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 2), 15);
}

TEST_F(TimelineTest, ShiftStopsAtTheObjectsStart) {
  TimelineDispObjAdd(object_, 5);
  TimelineDispObjAdd(object_, 8);
  EXPECT_EQ(TimelineDispObjShift(object_, 0, -3), -200); // 5 - 3 = 2, the start
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 5);
  EXPECT_EQ(TimelineDispObjShift(object_, 1, -3), -11); // onto segment 0
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 8);
  // The object's start would go to 0 but its segments cannot follow so
  // far: the shift is refused before anything moves.
  EXPECT_EQ(TimelineDispObjShift(object_, kFirstSegment, -6), -200);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, kFirstSegment), 2);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 5);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 8);
  // Below zero stops at the object's start of 0; its segments still fit.
  ASSERT_EQ(TimelineDispObjShift(object_, kFirstSegment, -2.5f), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, kFirstSegment), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 2.5f);
  EXPECT_EQ(TimelineDispObjShift(object_, 4, 1), -41);
}

TEST_F(TimelineTest, ARefusedShiftOfAGroupMovesNoMember) {
  const uint32_t group = DispObjAdd(kDispGroup, kNoInput);
  const uint32_t member = DispObjAdd(kDispText, kNoInput);
  DispStruct record = *DispObjGet(member);
  record.ParentObject = group;
  ASSERT_EQ(DispObjSet(member, &record), 0);
  ASSERT_EQ(TimelineDispObjAdd(group, 4), 0u);
  ASSERT_EQ(TimelineDispObjAdd(group, 9), 1u);
  // The member starts later than its group: its segment at 4 cannot go
  // back to 1.5, so neither the group's nor the member's segments move.
  ASSERT_EQ(TimelineDispObjSetStart(member, kFirstSegment, 2), 0);
  EXPECT_EQ(TimelineDispObjShift(group, 0, -2.5f), -200);
  for (uint32_t object : {group, member}) {
    EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object, 0), 4);
    EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object, 1), 9);
  }
  ASSERT_EQ(TimelineDispObjShift(group, 0, -1.5f), 0);
  for (uint32_t object : {group, member}) {
    EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object, 0), 2.5f);
    EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object, 1), 7.5f);
  }
}

TEST_F(TimelineTest, ShiftOfATailAfterTheStartMoved) {
  TimelineDispObjAdd(object_, 5);
  TimelineDispObjAdd(object_, 8);
  // The object's start moves to 4: segment 0 would land on 4 (-200) while
  // nothing was shifted yet; with a start at 3.5 segment 0 goes to 4.5.
  ASSERT_EQ(TimelineDispObjSetStart(object_, kFirstSegment, 3.5f), 0);
  EXPECT_EQ(TimelineDispObjShift(object_, 0, -0.5f), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 0), 4.5f);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(object_, 1), 7.5f);
}

TEST_F(TimelineTest, CurrentRecordIsBasePlusSegmentsInForce) {
  const uint32_t s1 = TimelineDispObjAdd(object_, 5);
  const uint32_t s2 = TimelineDispObjAdd(object_, 10);
  ASSERT_EQ(s1, 0u);
  ASSERT_EQ(s2, 1u);
  SetXAt(0, 11);  // base
  SetXAt(6, 22);  // segment 0
  SetXAt(12, 33); // segment 1
  ASSERT_EQ(TimelineApply(12), 0);
  DispStruct record = *DispObjGet(object_);
  record.Transparency = 40; // only in segment 1
  ASSERT_EQ(DispObjSet(object_, &record), 0);
  EXPECT_FLOAT_EQ(XAt(0), 11);
  EXPECT_FLOAT_EQ(XAt(4.99f), 11);
  EXPECT_FLOAT_EQ(XAt(5), 22);
  EXPECT_FLOAT_EQ(XAt(9), 22);
  EXPECT_EQ(DispObjGet(object_)->Transparency, 0);
  EXPECT_FLOAT_EQ(XAt(10), 33);
  EXPECT_EQ(DispObjGet(object_)->Transparency, 40);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 0), uint32_t{kSegPosition});
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 1), uint32_t{kSegPosition | kSegTransparency});
  EXPECT_FLOAT_EQ(DispTableEntry(object_)->Base.X, 11);
  // A later segment that does not override X leaves the earlier one's in force.
  ASSERT_EQ(TimelineDispObjAdd(object_, 20), 2u);
  EXPECT_FLOAT_EQ(XAt(25), 33);
  // Removing segment 1 brings segment 0's value back from 10 s on.
  ASSERT_EQ(TimelineDispObjRemove(object_, 1), 0);
  EXPECT_FLOAT_EQ(XAt(12), 22);
  EXPECT_EQ(DispObjGet(object_)->Transparency, 0);
  ASSERT_EQ(TimelineDispObjZeroCount(object_), 0);
  EXPECT_FLOAT_EQ(XAt(12), 11);
}

TEST_F(TimelineTest, ParameterEditsLandInTheSegmentInForce) {
  ASSERT_EQ(TimelineDispObjAdd(object_, 5), 0u);
  ASSERT_EQ(TimelineApply(6), 0);
  ShapeStruct shape;
  std::memcpy(&shape, DispObjGetParam(object_), sizeof(shape));
  shape.Shape = 3;
  ASSERT_EQ(DispObjSetParam(object_, &shape), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 0), uint32_t{kSegParam});
  EXPECT_EQ(static_cast<const ShapeStruct*>(DispObjGetParam(object_))->Shape, 3);
  ASSERT_EQ(TimelineApply(1), 0);
  EXPECT_EQ(static_cast<const ShapeStruct*>(DispObjGetParam(object_))->Shape, 4);
}

TEST_F(TimelineTest, SetChangedCopiesFromTheCurrentRecord) {
  ASSERT_EQ(TimelineDispObjAdd(object_, 5), 0u);
  SetXAt(1, 40); // base
  ASSERT_EQ(TimelineApply(6), 0);
  ASSERT_EQ(TimelineDispObjSetChanged(object_, 0, kSegPosition | kSegParam, 0), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 0), uint32_t{kSegPosition | kSegParam});
  SetXAt(1, 10); // base moves; the segment keeps the copied 40
  EXPECT_FLOAT_EQ(XAt(6), 40);
  ASSERT_EQ(TimelineDispObjSetChanged(object_, 0, kSegActive, 1), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 0), uint32_t{kSegActive});
  EXPECT_FLOAT_EQ(XAt(6), 10);
  EXPECT_EQ(TimelineDispObjSetChanged(object_, kFirstSegment, kSegAll, 1), 0);
  EXPECT_EQ(TimelineDispObjSetChanged(object_, 1, kSegAll, 1), -41);
}

TEST_F(TimelineTest, SetMaskKeepsChosenValuesAndTakesNewOnesFromBeforeTheSegment) {
  ASSERT_EQ(TimelineDispObjAdd(object_, 5), 0u);
  ASSERT_EQ(TimelineDispObjAdd(object_, 10), 1u);
  auto setAt = [this](float time, float x, uint8_t transparency) {
    ASSERT_EQ(TimelineApply(time), 0);
    DispStruct record = *DispObjGet(object_);
    record.X = x;
    record.Transparency = transparency;
    ASSERT_EQ(DispObjSet(object_, &record), 0);
  };
  setAt(1, 40, 30); // base
  ASSERT_EQ(TimelineDispObjSetChanged(object_, 0, kSegPosition | kSegTransparency, 0), 0);
  setAt(6, 55, 80); // segment 0
  ASSERT_EQ(TimelineDispObjSetChanged(object_, 1, kSegPosition | kSegFlags, 0), 0);
  SetXAt(11, 70); // segment 1
  // Chosen while the timeline stands before both segments: segment 1
  // keeps its X, and its new transparency is the one in force when it
  // starts (segment 0's), not the base record's at the current time.
  ASSERT_EQ(TimelineApply(1), 0);
  ASSERT_EQ(TimelineDispObjSetMask(object_, 1, kSegPosition | kSegTransparency), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 1), uint32_t{kSegPosition | kSegTransparency});
  EXPECT_FLOAT_EQ(XAt(11), 70);
  EXPECT_EQ(DispObjGet(object_)->Transparency, 80);
  EXPECT_FLOAT_EQ(XAt(1), 40);
  // Dropping the position lets the earlier segment's X run on.
  ASSERT_EQ(TimelineDispObjSetMask(object_, 1, kSegTransparency), 0);
  EXPECT_FLOAT_EQ(XAt(11), 55);
  // A parameter copy is taken from before the segment.
  ASSERT_EQ(TimelineDispObjSetMask(object_, 0, kSegPosition | kSegParam), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 0), uint32_t{kSegPosition | kSegParam});
  EXPECT_FLOAT_EQ(XAt(6), 55);
  EXPECT_EQ(DispObjGet(object_)->Transparency, 30);
  EXPECT_EQ(static_cast<const ShapeStruct*>(DispObjGetParam(object_))->Shape, 4);
  EXPECT_EQ(TimelineDispObjSetMask(object_, kFirstSegment, 0), 0);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, kFirstSegment), 0xFFFFFFFFu);
  EXPECT_EQ(TimelineDispObjSetMask(object_, 2, kSegAll), -41);
}

TEST_F(TimelineTest, GroupMembersFollowTheirGroup) {
  const uint32_t group = DispObjAdd(kDispGroup, kNoInput);
  const uint32_t member = DispObjAdd(kDispText, kNoInput);
  DispStruct record = *DispObjGet(member);
  record.ParentObject = group;
  ASSERT_EQ(DispObjSet(member, &record), 0);
  ASSERT_EQ(TimelineDispObjAdd(group, 4), 0u);
  ASSERT_EQ(TimelineDispObjGetCount(member), 1u);
  ASSERT_EQ(TimelineDispObjSetStart(group, 0, 6), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(member, 0), 6);
  ASSERT_EQ(TimelineDispObjShift(group, 0, 1), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(member, 0), 7);
  ASSERT_EQ(TimelineDispObjSetStart(group, kFirstSegment, 1), 0);
  EXPECT_FLOAT_EQ(TimelineDispObjGetStart(member, kFirstSegment), 1);
}

TEST_F(TimelineTest, BadObjectsAnswer41) {
  EXPECT_EQ(TimelineDispObjGetCount(9), 0u);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(TimelineDispObjGetCount(0xFFFFFFFF), 0u);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(TimelineDispObjRemove(object_, 0), -41);
  EXPECT_EQ(TimelineDispObjRemove(object_, kFirstSegment), -41);
  EXPECT_EQ(TimelineDispObjGetChanged(object_, 3), 0u);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(TimelineDispObjZeroCount(255), -41);
}

} // namespace
