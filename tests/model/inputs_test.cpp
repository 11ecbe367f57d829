// Input table: special inputs, joins, names, bad indexes.
#include <cstring>

#include "model/input_table.h"
#include "model/inputs.h"
#include "model_fixture.h"

namespace {

class InputsTest : public ModelTest {};

// A filler whose trimmed length is `seconds`.
uint32_t AddFiller(float seconds) {
  const uint32_t input = InputAddSpecial(kSpecialFiller);
  InputTableMain(input)->TrimEnd = seconds;
  return input;
}

void SetParent(uint32_t input, uint32_t join) {
  InputTableMain(input)->ParentJoin = static_cast<uint8_t>(join);
}

TEST_F(InputsTest, SpecialInputsHaveTheirMarkersAndDefaults) {
  const uint32_t video = InputAddSpecial(1);
  const uint32_t audio = InputAddSpecial(6);
  const uint32_t data = InputAddSpecial(4);
  const uint32_t filler = InputAddSpecial(8);
  ASSERT_EQ(InputCount(), 4u);
  EXPECT_EQ(InputGetType(video), kInputJoinVideo);
  EXPECT_EQ(InputGetType(audio), kInputJoinAudio);
  EXPECT_EQ(InputGetType(data), kInputJoinData);
  EXPECT_EQ(InputGetType(filler), kInputFiller);
  EXPECT_EQ(std::u16string(InputGetName(video)), u"*JOINV*");
  EXPECT_EQ(std::u16string(InputGetMain(audio)->FilePath), u"*JOINA*");
  EXPECT_EQ(std::u16string(InputGetName(data)), u"*JOIND*");
  EXPECT_EQ(std::u16string(InputGetName(filler)), u"*FILLER*");
  const MainStruct* f = InputGetMain(filler);
  EXPECT_FLOAT_EQ(f->Length, 600);
  EXPECT_FLOAT_EQ(f->TrimEnd, 1);
  EXPECT_FLOAT_EQ(f->PlayRate, 1);
  EXPECT_EQ(f->ParentJoin, kNoInput);
  EXPECT_FLOAT_EQ(InputGetMain(video)->TrimEnd, 356400);
  const AdjustStruct* adjust = InputGetAdjust(filler);
  EXPECT_EQ(adjust->Volume, 100);
  EXPECT_EQ(adjust->ChromaGreen, 255);
  EXPECT_EQ(adjust->ChromaColorRange, 16);
  EXPECT_EQ(adjust->ChromaBrightRange, 32);
  EXPECT_EQ(adjust->Colorize, 0xFFFFFF00u);
  const DataStruct* d = InputGetData(filler);
  EXPECT_FLOAT_EQ(d->LapHeadTol, 30.0f);
  EXPECT_EQ(d->BoostSampleRate, 7);
  EXPECT_EQ(std::u16string(d->CustomName3), u"Custom 3");
}

TEST_F(InputsTest, SecondJoinGetsADistinctName) {
  InputAddSpecial(1);
  const uint32_t second = InputAddSpecial(1);
  EXPECT_EQ(std::u16string(InputGetName(second)), u"*JOINV* - 001");
  EXPECT_EQ(InputFind(u"*joinv* - 001"), second);
}

TEST_F(InputsTest, UnknownSpecialKindIsRefused) {
  EXPECT_EQ(InputAddSpecial(3), kNoInput);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(InputAddSpecial(0), kNoInput);
  EXPECT_EQ(InputCount(), 0u);
}

TEST_F(InputsTest, TableHolds128Inputs) {
  for (uint32_t i = 0; i < kMaxInputs; ++i) ASSERT_EQ(InputAddSpecial(8), i);
  EXPECT_EQ(InputAddSpecial(8), kNoInput);
  EXPECT_EQ(ErrorGetLast(), -40);
  EXPECT_EQ(InputCount(), kMaxInputs);
}

TEST_F(InputsTest, JoinLaysItsMembersEndToEnd) {
  const uint32_t join = InputAddSpecial(1);
  const uint32_t a = AddFiller(2.5f);
  const uint32_t b = AddFiller(4.0f);
  const uint32_t c = AddFiller(1.5f);
  InputTableMain(b)->TrimStart = 1.0f; // 3 s trimmed
  for (uint32_t m : {a, b, c}) SetParent(m, join);
  ASSERT_EQ(InputUpdateJoin(join), 0);
  EXPECT_FLOAT_EQ(InputGetMain(a)->StartTime, 0);
  EXPECT_FLOAT_EQ(InputGetMain(b)->StartTime, 2.5f);
  EXPECT_FLOAT_EQ(InputGetMain(c)->StartTime, 5.5f);
  EXPECT_FLOAT_EQ(InputGetMain(join)->Length, 7.0f);
  EXPECT_FLOAT_EQ(InputGetLength(join, 2), 7.0f);
  EXPECT_EQ(InputGetParent(b), join);
  EXPECT_EQ(InputGetParent(join), join);
  EXPECT_EQ(InputGetParent(255), 255u);
  EXPECT_EQ(InputGetParent(77), 77u);
}

TEST_F(InputsTest, NestedJoinUpdatesTheJoinHoldingIt) {
  const uint32_t outer = InputAddSpecial(1);
  const uint32_t first = AddFiller(3);
  const uint32_t inner = InputAddSpecial(1);
  const uint32_t m1 = AddFiller(2);
  const uint32_t m2 = AddFiller(5);
  SetParent(first, outer);
  SetParent(inner, outer);
  SetParent(m1, inner);
  SetParent(m2, inner);
  ASSERT_EQ(InputUpdateJoin(inner), 0);
  EXPECT_FLOAT_EQ(InputGetMain(inner)->Length, 7);
  EXPECT_FLOAT_EQ(InputGetMain(inner)->StartTime, 3);
  EXPECT_FLOAT_EQ(InputGetMain(outer)->Length, 10);
}

TEST_F(InputsTest, EveryJoinIsLaidFor255) {
  const uint32_t j1 = InputAddSpecial(1);
  const uint32_t j2 = InputAddSpecial(2);
  SetParent(AddFiller(2), j1);
  SetParent(AddFiller(3), j2);
  EXPECT_EQ(InputUpdateJoin(255), 0);
  EXPECT_FLOAT_EQ(InputGetMain(j1)->Length, 2);
  EXPECT_FLOAT_EQ(InputGetMain(j2)->Length, 3);
}

TEST_F(InputsTest, LengthModes) {
  const uint32_t f = AddFiller(10);
  InputTableMain(f)->TrimStart = 4;
  EXPECT_FLOAT_EQ(InputGetLength(f, 1), 600);
  EXPECT_FLOAT_EQ(InputGetLength(f, 2), 6);
  EXPECT_FLOAT_EQ(InputGetLength(f, 3), 6);
  InputTableMain(f)->TrimEnd = 700; // beyond the media
  EXPECT_FLOAT_EQ(InputGetLength(f, 2), 596);
  InputTableMain(f)->TrimStart = 800; // never negative
  EXPECT_FLOAT_EQ(InputGetLength(f, 2), 0);
}

TEST_F(InputsTest, RenameRules) {
  const uint32_t a = InputAddSpecial(8);
  const uint32_t b = InputAddSpecial(8);
  EXPECT_EQ(InputRename(a, u"Onboard"), 0);
  EXPECT_EQ(InputFind(u"ONBOARD"), a);
  EXPECT_EQ(InputRename(b, u"onboard"), -10);
  EXPECT_EQ(InputRename(b, u""), -10);
  EXPECT_EQ(InputRename(b, nullptr), -10);
  EXPECT_EQ(InputRename(a, u"Onboard"), 0); // its own name
  std::u16string longName(100, u'x');
  EXPECT_EQ(InputRename(b, longName.c_str()), 0);
  EXPECT_EQ(std::u16string(InputGetName(b)), std::u16string(63, u'x'));
  EXPECT_EQ(InputRename(255, u"z"), -21);
  EXPECT_EQ(InputRename(2, u"z"), -41);
  EXPECT_EQ(InputRename(0xFFFFFFFF, u"z"), -21);
}

TEST_F(InputsTest, FindWithoutMatch) {
  InputAddSpecial(8);
  EXPECT_EQ(InputFind(u"nothing"), kNoInput);
  EXPECT_EQ(InputFind(u""), kNoInput);
  EXPECT_EQ(InputFind(nullptr), kNoInput);
}

TEST_F(InputsTest, BadIndexesAnswerTheirCodes) {
  InputAddSpecial(8);
  for (uint32_t bad : {255u, 0xFFFFFFFFu}) {
    EXPECT_EQ(InputGetMain(bad), nullptr);
    EXPECT_EQ(ErrorGetLast(), -21);
    EXPECT_EQ(InputGetData(bad), nullptr);
    EXPECT_EQ(InputGetAdjust(bad), nullptr);
    EXPECT_EQ(InputGetType(bad), 0u);
    EXPECT_EQ(ErrorGetLast(), -21);
    EXPECT_EQ(InputGetName(bad), nullptr);
  }
  for (uint32_t bad : {1u, 127u, 128u, 254u}) {
    EXPECT_EQ(InputGetMain(bad), nullptr);
    EXPECT_EQ(ErrorGetLast(), -41);
    EXPECT_EQ(InputGetType(bad), 0u);
    EXPECT_EQ(ErrorGetLast(), -41);
    EXPECT_EQ(InputUpdateJoin(bad), -41);
    EXPECT_FLOAT_EQ(InputGetLength(bad, 1), 0);
  }
  MainStruct main{};
  EXPECT_EQ(InputSetMain(255, &main), -21);
  EXPECT_EQ(InputSetMain(5, &main), -41);
  EXPECT_EQ(InputSetMain(0, nullptr), -21);
  DataStruct data{};
  EXPECT_EQ(InputSetData(9, &data), -41);
  AdjustStruct adjust{};
  EXPECT_EQ(InputSetAdjust(255, &adjust), -21);
  EXPECT_EQ(InputRemove(255, 1), -21);
  EXPECT_EQ(InputRemove(1, 1), -41);
  EXPECT_EQ(InputChangeOrder(3, 1), -41);
  EXPECT_EQ(InputDuplicate(255), kNoInput);
  EXPECT_EQ(InputCount(), 1u);
  EXPECT_EQ(std::u16string(InputGetName(0)), u"*FILLER*");
}

TEST_F(InputsTest, SetMainStoresTheRecordAndLaysTheJoin) {
  const uint32_t join = InputAddSpecial(1);
  const uint32_t a = AddFiller(2);
  const uint32_t b = AddFiller(3);
  for (uint32_t m : {a, b}) {
    MainStruct main = *InputGetMain(m);
    main.ParentJoin = static_cast<uint8_t>(join);
    ASSERT_EQ(InputSetMain(m, &main), 0);
  }
  EXPECT_FLOAT_EQ(InputGetMain(join)->Length, 5);
  EXPECT_FLOAT_EQ(InputGetMain(b)->StartTime, 2);
  // Taken out again: the join shrinks.
  MainStruct main = *InputGetMain(a);
  main.ParentJoin = kNoInput;
  ASSERT_EQ(InputSetMain(a, &main), 0);
  EXPECT_FLOAT_EQ(InputGetMain(join)->Length, 3);
}

TEST_F(InputsTest, SetMainRefusesParentsThatAreNoJoinOrMakeACycle) {
  const uint32_t j1 = InputAddSpecial(1);
  const uint32_t j2 = InputAddSpecial(1);
  const uint32_t f = AddFiller(2);
  MainStruct main = *InputGetMain(f);
  main.ParentJoin = static_cast<uint8_t>(f); // itself
  EXPECT_EQ(InputSetMain(f, &main), -21);
  main.ParentJoin = 77; // past the count
  EXPECT_EQ(InputSetMain(f, &main), -21);
  EXPECT_EQ(InputGetMain(f)->ParentJoin, kNoInput);
  MainStruct join1 = *InputGetMain(j1);
  join1.ParentJoin = static_cast<uint8_t>(j2);
  ASSERT_EQ(InputSetMain(j1, &join1), 0);
  MainStruct join2 = *InputGetMain(j2);
  join2.ParentJoin = static_cast<uint8_t>(j1); // j1 is already inside j2
  EXPECT_EQ(InputSetMain(j2, &join2), -21);
}

TEST_F(InputsTest, SetMainTerminatesNamesAndKeepsTheType) {
  const uint32_t f = AddFiller(2);
  MainStruct main = *InputGetMain(f);
  for (char16_t& c : main.Name) c = u'n';
  for (char16_t& c : main.FilePath) c = u'p';
  main.Type = kInputJoinVideo;
  ASSERT_EQ(InputSetMain(f, &main), 0);
  EXPECT_EQ(std::u16string(InputGetName(f)).size(), 63u);
  EXPECT_EQ(InputGetMain(f)->FilePath[kPathLength - 1], 0);
  EXPECT_EQ(InputGetType(f), kInputFiller);
}

} // namespace
