// Time queries on small hand-made logs: interpolation at and between
// samples, angles across north, unit factors, adjustments, custom channels
// and lap tables.
#include <gtest/gtest.h>

#include <cmath>

#include "media/datalog/datalog_test_util.h"
#include "media/datalog/derived.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"

namespace {

const char* const kSmallLog = "Time (ms),X,Y,Heading,RPM,Gear,Temp,Throttle\n"
                              "0,0,0,350,1000,1,20,0\n"
                              "100,1,0,10,2000,2,30,50\n"
                              "200,2,0,30,3000,2,40,100\n"
                              "300,3,0,90,5000,3,50,100\n";

DataloggerRecord loadSmall(const DataStruct& data) {
  DataloggerRecord record;
  std::string path = WriteDatalogFile("small.csv", kSmallLog);
  EXPECT_TRUE(LoadProcessed(path, data, record));
  return record;
}

TEST(DatalogQuery, SamplesAndMidpointsInterpolate) {
  DataloggerRecord record = loadSmall(NewDataStruct());
  ASSERT_EQ(record.sampleCount(), 4u);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 0.1), 2000);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 0.15), 2500);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 0.275), 4500);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryThrottle, 0.05), 25);
  // Before the first and after the last sample the ends hold.
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, -5), 1000);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 99), 5000);
  // Gear steps, never halves.
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryGear, 0.05), 1);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryGear, 0.299), 2);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryPosX, 0.25), 2.5);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryTime, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQuerySpanX, 0), 3);
}

TEST(DatalogQuery, HeadingInterpolatesAcrossNorth) {
  DataloggerRecord record = loadSmall(NewDataStruct());
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0.05), 0.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0.025), 355.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0.075), 5.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0.25), 60.0, 1e-9);
}

TEST(DatalogQuery, WithoutBoostValuesHoldTheLastSample) {
  DataStruct data = NewDataStruct();
  data.BoostSampleRate = 0;
  DataloggerRecord record = loadSmall(data);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 0.15), 2000);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryPosX, 0.25), 2);
  data.BoostSampleRate = 1; // boost without the GPS channels
  record = loadSmall(data);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryRpm, 0.15), 2500);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryPosX, 0.25), 2);
}

TEST(DatalogQuery, HeadingAdjustAndFlip) {
  DataStruct data = NewDataStruct();
  data.HeadingAdjust = 15;
  DataloggerRecord record = loadSmall(data);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0), 5, 1e-9);
  data.HeadingFlip = 1;
  record = loadSmall(data);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryHeading, 0.3), 285, 1e-9);
}

TEST(DatalogQuery, GearAdjustAddsToEngagedGears) {
  DataStruct data = NewDataStruct();
  data.GearAdjust = -1;
  DataloggerRecord record = loadSmall(data);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryGear, 0.3), 2);
}

TEST(DatalogQuery, StoredTimeUnitsReplaceTheAutomaticScale) {
  DataloggerRecord automatic = loadSmall(NewDataStruct());
  EXPECT_NEAR(automatic.channels.time.back(), 0.3, 1e-12);
  DataStruct data = NewDataStruct();
  SetName(data.Time, "time (MS)"); // found ignoring letter case
  data.TimeUnits = 0.01f;
  DataloggerRecord record = loadSmall(data);
  EXPECT_NEAR(record.channels.time.back(), 3.0, 1e-6);
  data.TimeUnits = 0.0f; // below the threshold: the column's own unit counts
  record = loadSmall(data);
  EXPECT_NEAR(record.channels.time.back(), 0.3, 1e-9);
}

TEST(DatalogQuery, CustomChannelsApplyTheirOperations) {
  DataStruct data = NewDataStruct();
  SetName(data.CustomName, "Temp F");
  SetName(data.CustomInput, "Temp");
  data.CustomOp = 4;
  SetName(data.CustomName2, "Half RPM");
  SetName(data.CustomInput2, "rpm");
  data.CustomOp2 = 3;
  data.CustomNum2 = 2;
  SetName(data.CustomName3, "Off");
  SetName(data.CustomInput3, "(None)");
  SetName(data.CustomName4, "");
  SetName(data.CustomInput4, "RPM");
  DataloggerRecord record = loadSmall(data);
  int own = DataloggerFieldCount(record, false);
  EXPECT_EQ(own, 8);
  EXPECT_EQ(DataloggerFieldName(record, own), "Temp F");
  EXPECT_EQ(DataloggerFieldName(record, own + 1), "Half RPM");
  EXPECT_EQ(DataloggerFieldName(record, own + 2), "Calc Speed"); // custom 3 and 4 give none
  EXPECT_DOUBLE_EQ(DataloggerFieldValueAt(record, own, 0.1), 86);
  EXPECT_DOUBLE_EQ(DataloggerFieldValueAt(record, own + 1, 0.15), 1250);
  EXPECT_EQ(DataloggerFieldName(record, DataloggerFieldCount(record, true)), "");
  EXPECT_DOUBLE_EQ(CustomOperation(0, 2, 3), 5);
  EXPECT_DOUBLE_EQ(CustomOperation(1, 2, 3), -1);
  EXPECT_DOUBLE_EQ(CustomOperation(2, 2, 3), 6);
  EXPECT_DOUBLE_EQ(CustomOperation(3, 2, 0), 0);
  EXPECT_DOUBLE_EQ(CustomOperation(5, 212, 0), 100);
}

TEST(DatalogQuery, OwnFieldsInterpolateByTheirRows) {
  DataloggerRecord record = loadSmall(NewDataStruct());
  EXPECT_EQ(DataloggerFieldName(record, 6), "Temp");
  EXPECT_DOUBLE_EQ(DataloggerFieldValueAt(record, 6, 0.25), 45);
  EXPECT_EQ(DataloggerFieldValueAt(record, 999, 0.25), 0);
}

TEST(DatalogQuery, RepeatedAndBackwardTimesAreDropped) {
  DataloggerRecord record;
  std::string path = WriteDatalogFile("jumpy.csv", "Time,Speed (mph)\n0,10\n1,11\n1,99\n0.5,99\n2,12\nx,99\n3,13\n");
  ASSERT_TRUE(LoadProcessed(path, NewDataStruct(), record));
  ASSERT_EQ(record.sampleCount(), 4u);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQuerySpeed, 1.5), 11.5);
}

// Laps of 30, 28, 29 and 31 s from a lap column, then an unfinished lap.
TEST(DatalogQuery, BestLapAndBestSoFar) {
  std::string text = "Time,Lap\n";
  const double starts[] = {5, 35, 63, 92, 123};
  int lap = 0;
  for (int t = 0; t <= 140; ++t) {
    while (lap < 5 && starts[lap] <= t)
      ++lap;
    text += std::to_string(t) + "," + std::to_string(lap) + "\n";
  }
  DataloggerRecord record;
  ASSERT_TRUE(LoadProcessed(WriteDatalogFile("laps.csv", text), NewDataStruct(), record));
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 5);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestLapNumber, 0), 2);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryBestLapTime, 0), 28);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestSoFarNumber, 20), -1);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestSoFarNumber, 40), 1);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryBestSoFarTime, 40), 30);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestSoFarNumber, 70), 2);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryBestSoFarTime, 70), 28);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestSoFarNumber, 100), 2);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryPreviousLapTime, 100), 29);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryCurrentLapTime, 100), 8);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryLapStart, 3.4), 63);
  // Skipping the first trigger renumbers the laps.
  DataStruct data = NewDataStruct();
  data.IgnoreFirstLaps = 1;
  ASSERT_EQ(DataloggerProcess(record, data), 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 4);
  EXPECT_EQ(DataloggerValueAt(record, kQueryBestLapNumber, 0), 1);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryLapStart, 1), 35);
  EXPECT_DOUBLE_EQ(DataloggerValueAt(record, kQueryLapStart, 0), 5);
}

} // namespace

namespace {

TEST(DatalogQuery, EpochMillisecondsWithoutAUnitAreScaled) {
  DataloggerRecord record;
  std::string path = WriteDatalogFile("epoch.csv", "timestamp,rpm\n1715947200000,1000\n1715947200500,2000\n1715947201000,3000\n");
  ASSERT_TRUE(LoadProcessed(path, NewDataStruct(), record));
  EXPECT_NEAR(record.channels.time.back(), 1.0, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryRpm, 0.25), 1500, 1e-6);
}

} // namespace
