// One mapping from project time to an input's own time, whatever asks:
// the renderer, the data queries, the simple previews, the project length
// and a join's layout, for any play rate, with rates below the floor
// played at normal speed.
#include "render/objects_data/data_obj_fixture.h"

#include "base/access_lock.h"
#include "model/input_timing.h"
#include "model/inputs.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "render/loop/input_time.h"
#include "render/preview/simple_preview.h"

namespace {

void Place(uint32_t input, float start, float trimStart, float rate) {
  MainStruct main = *InputGetMain(input);
  main.StartTime = start;
  main.TrimStart = trimStart;
  main.PlayRate = rate;
  ASSERT_EQ(InputSetMain(input, &main), 0);
}

double RenderInputTime(uint32_t input, double projectTime) {
  ReadAccess access("TimeMappingTest");
  return InputTimeAt(input, projectTime);
}

double Distance(uint32_t input, int32_t rawTime, float time) {
  return InputHandlerGetDataTypeValue(input, rawTime, kQueryDistance, time);
}

} // namespace

class TimeMappingTest : public DataObjTest {
protected:
  void SetUp() override {
    DataObjTest::SetUp();
    ViewRegister(&images_, [this](const ViewImage& image) { images_.push_back(image); });
  }
  void TearDown() override {
    ViewUnregister(&images_);
    DataObjTest::TearDown();
  }
  // The track-map preview of the input at a time (input's own when inputTime).
  std::vector<uint8_t> Preview(uint32_t inputTime, float time) {
    const int slot = SimplePreviewCreateForInput(input, &images_, 96, 96, 1, 0);
    EXPECT_GE(slot, 0);
    EXPECT_EQ(SimplePreviewDraw(static_cast<uint32_t>(slot), inputTime, 0, time), 0);
    SimplePreviewClose(static_cast<uint32_t>(slot));
    return images_.empty() ? std::vector<uint8_t>{} : images_.back().rgba;
  }
  std::vector<ViewImage> images_;
};

TEST_F(TimeMappingTest, EveryReaderMapsProjectTimeThroughStartTrimAndRate) {
  AddData(kDispTrackMap, 0, 0, 30, 30);
  const double length = circuit.duration();
  Place(input, 2.0f, 3.0f, 2.0f);
  // input time = 3 + (project time - 2) x 2
  EXPECT_DOUBLE_EQ(RenderInputTime(input, 12.0), 23.0);
  EXPECT_NEAR(Distance(input, 0, 12.0f), Distance(input, 1, 23.0f), 1e-9);
  EXPECT_NE(Distance(input, 0, 12.0f), Distance(input, 1, 13.0f)); // the rate counts
  // The preview of input time 23 is the picture of project time 12.
  const std::vector<uint8_t> byInputTime = Preview(1, 23.0f);
  EXPECT_EQ(byInputTime, Preview(0, 12.0f));
  EXPECT_NE(byInputTime, Preview(0, 23.0f - 3.0f + 2.0f));
  // The log's remaining (length - 3) s play in half the time.
  EXPECT_NEAR(ProjectGetLength(0), 2.0 + (length - 3.0) / 2.0, 1e-3);
}

TEST_F(TimeMappingTest, RatesBelowTheFloorPlayAtNormalSpeedEverywhere) {
  AddData(kDispTrackMap, 0, 0, 30, 30);
  EXPECT_FALSE(PlayRateUsable(0.0009));
  EXPECT_FALSE(PlayRateUsable(-2));
  EXPECT_TRUE(PlayRateUsable(kMinPlayRate));
  for (float rate : {0.0f, 0.0009f, -2.0f}) {
    Place(input, 1.0f, 4.0f, rate);
    EXPECT_DOUBLE_EQ(RenderInputTime(input, 11.0), 14.0) << rate;
    EXPECT_NEAR(Distance(input, 0, 11.0f), Distance(input, 1, 14.0f), 1e-9) << rate;
    EXPECT_NEAR(ProjectGetLength(0), 1.0 + circuit.duration() - 4.0, 1e-3) << rate;
  }
}

TEST_F(TimeMappingTest, AJoinedLogMapsThroughItsJoin) {
  const uint32_t join = InputAddSpecial(kSpecialJoinData);
  ASSERT_NE(join, 255u);
  MainStruct member = *InputGetMain(input);
  member.ParentJoin = static_cast<uint8_t>(join);
  member.PlayRate = 2.0f;
  ASSERT_EQ(InputSetMain(input, &member), 0);
  // Played at twice the speed, the log fills half its length of the join.
  EXPECT_NEAR(InputGetMain(join)->Length, circuit.duration() / 2.0, 1e-3);
  Place(join, 5.0f, 1.0f, 1.0f);
  // join time = 1 + (T - 5); log time = 0 + (join time - 0) x 2
  EXPECT_DOUBLE_EQ(RenderInputTime(input, 10.0), 12.0);
  EXPECT_NEAR(Distance(join, 0, 10.0f), Distance(input, 1, 12.0f), 1e-9);
  {
    ReadAccess access("TimeMappingTest");
    // Before the join's start nothing of it plays, trimmed or not.
    EXPECT_FALSE(InputPlaysAt(input, 4.9, nullptr));
    EXPECT_TRUE(InputPlaysAt(input, 5.1, nullptr));
    EXPECT_NEAR(ProjectTimeFromInput(input, 12.0), 10.0, 1e-9);
  }
}
