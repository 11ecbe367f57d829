// Removing, dissolving, reordering and duplicating inputs renumbers joins
// and display-object references.
#include "model/dispobjs.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model_fixture.h"

namespace {

class InputOrderTest : public ModelTest {
protected:
  // 0 free filler "A", 1 join "J" holding 2 "M1" and 3 "M2", 4 free filler "B".
  void SetUp() override {
    ModelTest::SetUp();
    Named(InputAddSpecial(8), u"A", 4);
    Named(InputAddSpecial(1), u"J", 0);
    Named(InputAddSpecial(8), u"M1", 2);
    Named(InputAddSpecial(8), u"M2", 3);
    Named(InputAddSpecial(8), u"B", 5);
    InputTableMain(2)->ParentJoin = 1;
    InputTableMain(3)->ParentJoin = 1;
    InputTableMain(1)->StartTime = 10;
    ASSERT_EQ(InputUpdateJoin(1), 0);
  }
  static void Named(uint32_t input, const char16_t* name, float length) {
    ASSERT_EQ(InputRename(input, name), 0);
    if (length > 0) InputTableMain(input)->TrimEnd = length;
  }
  static std::u16string Name(uint32_t input) {
    const char16_t* name = InputGetName(input);
    return name ? std::u16string(name) : u"(bad)";
  }
  static uint32_t Parent(uint32_t input) { return InputGetMain(input)->ParentJoin; }
  static uint32_t ObjInput(uint32_t object) { return DispObjGet(object)->InputID; }
};

TEST_F(InputOrderTest, RemovingAJoinTakesItsMembersAndRenumbers) {
  const uint32_t onB = DispObjAdd(10, 4);
  const uint32_t onM2 = DispObjAdd(10, 3);
  const uint32_t onA = DispObjAdd(10, 0);
  ASSERT_EQ(InputRemove(1, 0), 0);
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_EQ(Name(0), u"A");
  EXPECT_EQ(Name(1), u"B");
  EXPECT_EQ(ObjInput(onB), 1u);
  EXPECT_EQ(ObjInput(onM2), kNoInput); // kept, shows nothing now
  EXPECT_EQ(ObjInput(onA), 0u);
  EXPECT_EQ(DispObjCount(), 3u);
}

TEST_F(InputOrderTest, RemovingWithDisplayObjectsDropsThem) {
  DispObjAdd(10, 4);
  DispObjAdd(10, 2);
  DispObjAdd(10, 0);
  ASSERT_EQ(InputRemove(1, 1), 0);
  ASSERT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(ObjInput(0), 1u); // B moved from 4 to 1
  EXPECT_EQ(ObjInput(1), 0u);
}

TEST_F(InputOrderTest, RemovingAMemberRelaysItsJoin) {
  ASSERT_EQ(InputRemove(2, 0), 0);
  ASSERT_EQ(InputCount(), 4u);
  EXPECT_EQ(Name(2), u"M2");
  EXPECT_EQ(Parent(2), 1u);
  EXPECT_FLOAT_EQ(InputGetMain(2)->StartTime, 0);
  EXPECT_FLOAT_EQ(InputGetMain(1)->Length, 3);
  EXPECT_EQ(Name(3), u"B");
}

TEST_F(InputOrderTest, RemovingAnInputBeforeAJoinShiftsItsMembersParent) {
  ASSERT_EQ(InputRemove(0, 0), 0);
  EXPECT_EQ(Name(0), u"J");
  EXPECT_EQ(Parent(1), 0u);
  EXPECT_EQ(Parent(2), 0u);
  EXPECT_EQ(Parent(3), kNoInput);
  EXPECT_FLOAT_EQ(InputGetMain(0)->Length, 5);
}

TEST_F(InputOrderTest, DissolvingAJoinFreesItsMembersWhereTheyPlayed) {
  ASSERT_EQ(InputRemoveJoin(1), 0);
  ASSERT_EQ(InputCount(), 4u);
  EXPECT_EQ(Name(1), u"M1");
  EXPECT_EQ(Name(2), u"M2");
  EXPECT_EQ(Parent(1), kNoInput);
  EXPECT_EQ(Parent(2), kNoInput);
  EXPECT_FLOAT_EQ(InputGetMain(1)->StartTime, 10);
  EXPECT_FLOAT_EQ(InputGetMain(2)->StartTime, 12);
  EXPECT_EQ(InputRemoveJoin(0), -21); // not a join
  EXPECT_EQ(InputCount(), 4u);
}

TEST_F(InputOrderTest, MovingUpSwapsWithTheNearestEarlierSibling) {
  const uint32_t onB = DispObjAdd(10, 4);
  const uint32_t onJ = DispObjAdd(10, 1);
  ASSERT_EQ(InputChangeOrder(4, 1), 0); // B passes over the members to J's place
  EXPECT_EQ(Name(1), u"B");
  EXPECT_EQ(Name(4), u"J");
  EXPECT_EQ(Parent(2), 4u);
  EXPECT_EQ(Parent(3), 4u);
  EXPECT_EQ(ObjInput(onB), 1u);
  EXPECT_EQ(ObjInput(onJ), 4u);
  ASSERT_EQ(InputChangeOrder(1, -1), 0); // and back
  EXPECT_EQ(Name(1), u"J");
  EXPECT_EQ(Name(4), u"B");
  EXPECT_EQ(Parent(2), 1u);
  EXPECT_EQ(ObjInput(onB), 4u);
}

TEST_F(InputOrderTest, MembersMoveWithinTheirJoin) {
  ASSERT_EQ(InputChangeOrder(3, 1), 0);
  EXPECT_EQ(Name(2), u"M2");
  EXPECT_EQ(Name(3), u"M1");
  EXPECT_FLOAT_EQ(InputGetMain(2)->StartTime, 0);
  EXPECT_FLOAT_EQ(InputGetMain(3)->StartTime, 3);
}

TEST_F(InputOrderTest, NoNeighbourGivesNotice10) {
  EXPECT_EQ(InputChangeOrder(2, 1), kNoticeNoNeighbour); // first member
  EXPECT_EQ(InputChangeOrder(3, -1), kNoticeNoNeighbour); // last member
  EXPECT_EQ(InputChangeOrder(0, 1), kNoticeNoNeighbour);
  EXPECT_EQ(InputChangeOrder(4, -1), kNoticeNoNeighbour);
  EXPECT_EQ(Name(2), u"M1");
  EXPECT_EQ(Name(0), u"A");
}

TEST_F(InputOrderTest, DuplicateGetsANumberedName) {
  const uint32_t copy = InputDuplicate(0);
  ASSERT_EQ(copy, 5u);
  EXPECT_EQ(Name(copy), u"A - 001");
  EXPECT_FLOAT_EQ(InputGetMain(copy)->TrimEnd, 4);
  EXPECT_EQ(Name(InputDuplicate(0)), u"A - 002");
}

TEST_F(InputOrderTest, DuplicatedMemberJoinsTheSameJoin) {
  const uint32_t copy = InputDuplicate(2);
  EXPECT_EQ(Parent(copy), 1u);
  EXPECT_FLOAT_EQ(InputGetMain(1)->Length, 7);
}

} // namespace
