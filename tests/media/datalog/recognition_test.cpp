#include <gtest/gtest.h>

#include "media/datalog/datalog_test_util.h"
#include "media/datalog/recognition.h"

namespace {

DataloggerRecord withColumns(std::initializer_list<const char*> names) {
  DataloggerRecord record;
  for (const char* name : names)
    record.addField(name);
  return record;
}

TEST(Recognition, CommonColumnNamesFindTheirRoles) {
  EXPECT_EQ(RoleOfColumnName("Time (s)"), kRoleTime);
  EXPECT_EQ(RoleOfColumnName("GPS Latitude"), kRolePosY);
  EXPECT_EQ(RoleOfColumnName("Lng"), kRolePosX);
  EXPECT_EQ(RoleOfColumnName("Elevation [ft]"), kRolePosZ);
  EXPECT_EQ(RoleOfColumnName("speed_kph"), kRoleSpeed);
  EXPECT_EQ(RoleOfColumnName("Course"), kRoleHeading);
  EXPECT_EQ(RoleOfColumnName("Engine RPM"), kRoleRpm);
  EXPECT_EQ(RoleOfColumnName("Gear"), kRoleGear);
  EXPECT_EQ(RoleOfColumnName("Throttle Position (%)"), kRoleThrottle);
  EXPECT_EQ(RoleOfColumnName("Lateral G"), kRoleGForceX);
  EXPECT_EQ(RoleOfColumnName("Long G"), kRoleGForceY);
  EXPECT_EQ(RoleOfColumnName("Lap #"), kRoleLap);
  EXPECT_EQ(RoleOfColumnName("HDOP"), kRoleGpsAcc);
  EXPECT_EQ(RoleOfColumnName("Lap Time"), kRoleCount);
  EXPECT_EQ(RoleOfColumnName("Water Temp"), kRoleCount);
  // By unit, by words inside longer names, by the last part of a path.
  EXPECT_EQ(RoleOfColumnName("ECU Engine Speed (rpm)"), kRoleRpm);
  EXPECT_EQ(RoleOfColumnName("Wheel Speed (rpm)"), kRoleRpm);
  EXPECT_EQ(RoleOfColumnName("V (knots)"), kRoleSpeed);
  EXPECT_EQ(RoleOfColumnName("sensors/gear"), kRoleGear);
  EXPECT_EQ(RoleOfColumnName("Vertical Velocity (m/s)"), kRoleCount);
  EXPECT_EQ(RoleOfColumnName("Max Speed (km/h)"), kRoleCount);
  EXPECT_EQ(RoleOfColumnName("Gear Ratio"), kRoleCount);
  EXPECT_EQ(MatchColumnName("Speed (km/h)").strength, 3);
  EXPECT_EQ(MatchColumnName("Velocity GPS (km/h)").strength, 2);
  EXPECT_EQ(MatchColumnName("Front Left Wheel Velocity").strength, 1);
}

TEST(Recognition, UnitSuffixesGiveFactors) {
  EXPECT_EQ(SplitColumnName("Speed (km/h)").unit, "km/h");
  EXPECT_EQ(SplitColumnName("Speed [MPH]").unit, "mph");
  EXPECT_EQ(SplitColumnName("speed_kmh").base, "speed");
  EXPECT_NEAR(UnitFactor(kRoleSpeed, "km/h", 1), 0.621371192, 1e-9);
  EXPECT_NEAR(UnitFactor(kRoleSpeed, "m/s", 1), 2.236936292, 1e-9);
  EXPECT_NEAR(UnitFactor(kRoleSpeed, "knots", 1), 1.150779448, 1e-9);
  EXPECT_EQ(UnitFactor(kRoleSpeed, "", 0.5), 0.5);
  EXPECT_EQ(UnitFactor(kRoleTime, "ms", 1), 0.001);
  EXPECT_EQ(UnitFactor(kRolePosZ, "ft", 1), 0.3048);
}

TEST(Recognition, FirstMatchingColumnWinsAndPlainXYIsNotGeographic) {
  DataloggerRecord gps = withColumns({"Time", "Latitude", "Longitude", "Speed (mph)", "GPS Speed"});
  RoleChoice choice = RecognizeColumns(gps);
  EXPECT_EQ(choice.column[kRolePosY], 1);
  EXPECT_EQ(choice.column[kRolePosX], 2);
  EXPECT_EQ(choice.column[kRoleSpeed], 3);
  EXPECT_EQ(choice.factor[kRoleSpeed], 1.0);
  EXPECT_TRUE(choice.geographic);
  DataloggerRecord plane = withColumns({"t", "X", "Y"});
  choice = RecognizeColumns(plane);
  EXPECT_EQ(choice.column[kRolePosX], 1);
  EXPECT_EQ(choice.column[kRolePosY], 2);
  EXPECT_FALSE(choice.geographic);
}

TEST(Recognition, StoredNamesReplaceTheAutomaticChoice) {
  DataloggerRecord record = withColumns({"Time", "Latitude", "Longitude", "Speed", "Heading", "Alt Speed"});
  DataStruct data = NewDataStruct();
  SetName(data.Speed, "alt speed");
  SetName(data.Heading, "(Calculate)");
  SetName(data.GForceX, "(Calculate)");
  RoleChoice choice = ChooseColumns(record, data);
  EXPECT_EQ(choice.column[kRoleSpeed], 5);
  EXPECT_EQ(choice.column[kRoleHeading], -1);
  EXPECT_EQ(choice.column[kRolePosX], 2);
  EXPECT_EQ(choice.factor[kRoleSpeed], 1.0);
  data.SpeedConv = 1.609344f;
  choice = ChooseColumns(record, data);
  EXPECT_NEAR(choice.factor[kRoleSpeed], 1.609344, 1e-6);
  EXPECT_EQ(FindFieldByName(record, u"HEADING"), 4);
  EXPECT_EQ(FindFieldByName(record, u""), -1);
}

} // namespace
