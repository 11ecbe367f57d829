// The data facts the renderers share: channels by name or query, the
// whole-log range and the course, and their refresh when a log is
// processed again in place.
#include "render/objects_data/data_obj_fixture.h"

#include "base/access_lock.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/query.h"
#include "render/draw/data_channel.h"

#include <cmath>

namespace {

class DataChannelTest : public DataObjTest {};

TEST_F(DataChannelTest, NamedAutomaticAndMissingChannels) {
  EXPECT_TRUE(DataChannelFor(input, u"RPM", -1).valid());
  EXPECT_TRUE(DataChannelFor(input, u"", kQuerySpeed).valid());
  EXPECT_FALSE(DataChannelFor(input, u"", -1).valid());
  EXPECT_FALSE(DataChannelFor(input, u"(None)", kQuerySpeed).valid());
  EXPECT_FALSE(DataChannelFor(input, u"Nothing", kQuerySpeed).valid());
  EXPECT_FALSE(DataChannelFor(255, u"RPM", -1).valid());
  EXPECT_TRUE(std::isnan(DataChannelValue(DataChannelFor(input, u"", -1), 10)));
}

TEST_F(DataChannelTest, RangeAndCourseFollowTheLog) {
  const DataChannel gear = DataChannelFor(input, u"Gear", -1);
  double lo = 0, hi = 0;
  ASSERT_TRUE(DataChannelRange(gear, &lo, &hi));
  EXPECT_GE(lo, 1);
  EXPECT_LE(hi, 6);
  EXPECT_LT(lo, hi);
  const Course& course = DataCourse(input);
  ASSERT_EQ(course.points.size(), static_cast<size_t>(std::lround(circuit.duration() * circuit.rate)) + 1);
  EXPECT_TRUE(course.geographic);
  EXPECT_EQ(course.points.front().lap, 0);
  EXPECT_EQ(course.points.back().lap, static_cast<int>(circuit.lapTimes.size()) + 1);
}

TEST_F(DataChannelTest, ReprocessedLogIsReadAfresh) {
  const DataChannel speed = DataChannelFor(input, u"", kQuerySpeed);
  double lo = 0, hi = 0;
  ASSERT_TRUE(DataChannelRange(speed, &lo, &hi));
  const size_t points = DataCourse(input).points.size();
  {
    // What a change of speed unit and lap settings does: the same record,
    // its channels and laps rewritten.
    WriteAccess access("DataChannelTest");
    DataloggerRecord* record = DataloggerGet(input);
    ASSERT_NE(record, nullptr);
    for (double& v : record->channels.role[kRoleSpeed]) v *= 2;
    record->laps.triggers.pop_back();
  }
  double lo2 = 0, hi2 = 0;
  ASSERT_TRUE(DataChannelRange(speed, &lo2, &hi2));
  EXPECT_NEAR(hi2, 2 * hi, 1e-6 * hi);
  const Course& course = DataCourse(input);
  EXPECT_EQ(course.points.size(), points);
  EXPECT_EQ(course.points.back().lap, static_cast<int>(circuit.lapTimes.size()));
}

} // namespace
