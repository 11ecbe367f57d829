// Records full of random bytes handed to the facade: refused or stored with
// their texts terminated, never a crash or a read past a field.
#include <cstring>
#include <random>
#include <vector>

#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "model_fixture.h"

namespace {

class GarbageRecordsTest : public ModelTest {
protected:
  template <typename T> T Random() {
    T record;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(rng_());
    return record;
  }
  std::vector<uint8_t> RandomBlock(size_t size) {
    std::vector<uint8_t> block(size);
    for (uint8_t& b : block) b = static_cast<uint8_t>(rng_());
    return block;
  }
  std::mt19937 rng_{20140204};
};

TEST_F(GarbageRecordsTest, InputRecords) {
  InputAddSpecial(1);
  InputAddSpecial(8);
  InputAddSpecial(8);
  for (int round = 0; round < 300; ++round) {
    const uint32_t input = rng_() % 3;
    MainStruct main = Random<MainStruct>();
    const int code = InputSetMain(input, &main);
    EXPECT_TRUE(code == 0 || code == -21);
    DataStruct data = Random<DataStruct>();
    EXPECT_EQ(InputSetData(input, &data), 0);
    AdjustStruct adjust = Random<AdjustStruct>();
    EXPECT_EQ(InputSetAdjust(input, &adjust), 0);
    EXPECT_LE(std::u16string(InputGetName(input)).size(), 63u);
    EXPECT_EQ(InputGetData(input)->Throttle[kNameLength - 1], 0);
  }
  EXPECT_EQ(InputUpdateJoin(255), 0);
  EXPECT_EQ(InputGetType(0), kInputJoinVideo);
  ProjectGetLength(0);
}

TEST_F(GarbageRecordsTest, DisplayObjectRecordsAndBlocks) {
  const uint32_t types[] = {kDispShape, kDispText, kDispBar, kDispGauge, kDispTimeGraph,
                            kDispGForce, kDispTrackMap, kDispEImage, kDispLapTimer};
  for (uint32_t type : types) ASSERT_NE(DispObjAdd(type, kNoInput), kNoDispObj);
  for (uint32_t object = 0; object < 9; ++object)
    ASSERT_NE(TimelineDispObjAdd(object, 3), kNoDispObj);
  for (int round = 0; round < 300; ++round) {
    const uint32_t object = rng_() % 9;
    TimelineApply(static_cast<float>(rng_() % 6));
    DispStruct record = Random<DispStruct>();
    if (round % 2 == 0) { // valid references: the record is stored
      record.ParentObject = kNoDispObj;
      record.InputID = kNoInput;
    }
    const int code = DispObjSet(object, &record);
    EXPECT_TRUE(code == 0 || (round % 2 == 1 && (code == -21 || code == -41))) << code;
    const std::vector<uint8_t> block = RandomBlock(sizeof(EnhParam));
    EXPECT_EQ(DispObjSetParam(object, block.data()), 0);
    const DispStruct* now = DispObjGet(object);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->Type, DispObjGetType(object));
    EXPECT_EQ(now->ParamSize, DispParamSizeForType(types[object]));
  }
  // Every text field the records carry ends inside its record.
  TimelineApply(4);
  const TextStruct* text = static_cast<const TextStruct*>(DispObjGetParam(1));
  EXPECT_EQ(text->Text[255], 0);
  EXPECT_EQ(text->Field[kNameLength - 1], 0);
  const GaugeParam* gauge = static_cast<const GaugeParam*>(DispObjGetParam(3));
  EXPECT_EQ(gauge->NumberFont[kNameLength - 1], 0);
  ProjectGetLength(0);
}

} // namespace
