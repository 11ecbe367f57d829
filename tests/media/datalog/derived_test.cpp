// Derived channels on logs built for them: gear from the engine-speed to
// speed ratio, curve smoothing of positions, distance from speed alone.
#include <gtest/gtest.h>

#include <cmath>

#include "media/datalog/datalog_test_util.h"
#include "media/datalog/derived.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"

namespace {

// Accelerating through four gears with fixed ratios and short shifts.
std::string gearLog() {
  const double ratios[] = {120, 80, 60, 48}; // rpm per km/h
  std::string text = "Time,Speed (km/h),RPM\n";
  double speed = 10;
  for (int i = 0; i < 400; ++i) {
    int gear = speed < 40 ? 0 : speed < 70 ? 1 : speed < 100 ? 2 : 3;
    double rpm = speed * ratios[gear];
    text += std::to_string(i * 0.1) + "," + std::to_string(speed) + "," + std::to_string(rpm) + "\n";
    speed += 0.3;
  }
  return text;
}

TEST(DerivedChannels, GearFromEngineSpeedRatio) {
  DataloggerRecord record;
  ASSERT_TRUE(LoadProcessed(WriteDatalogFile("gears.csv", gearLog()), NewDataStruct(), record));
  // Speed at t: 10 + 3 t km/h.
  EXPECT_EQ(DataloggerValueAt(record, kQueryGear, 5.0), 1);  // 25 km/h
  EXPECT_EQ(DataloggerValueAt(record, kQueryGear, 15.0), 2); // 55 km/h
  EXPECT_EQ(DataloggerValueAt(record, kQueryGear, 25.0), 3); // 85 km/h
  EXPECT_EQ(DataloggerValueAt(record, kQueryGear, 35.0), 4); // 115 km/h
  DataStruct data = NewDataStruct();
  data.GearAdjust = 1;
  ASSERT_EQ(DataloggerProcess(record, data), 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryGear, 5.0), 2);
}

TEST(DerivedChannels, GearNeedsEnoughMovingSamples) {
  std::vector<double> speed = {0, 0, 0}, rpm = {900, 900, 900};
  std::vector<double> gear = DeriveGear(speed, rpm);
  ASSERT_EQ(gear.size(), 3u);
  EXPECT_EQ(gear[1], 0);
}

TEST(DerivedChannels, CurveSmoothingFollowsTheArcBetweenSamples) {
  SyntheticTrack track;
  track.rate = 2; // 20 m between samples on a 100 m radius
  track.duration = 20;
  std::string path = WriteDatalogFile("coarse.gpx", WriteGpx(track, false));
  DataStruct linear = NewDataStruct();
  linear.BoostSampleRate = 3;
  DataStruct smooth = NewDataStruct();
  smooth.BoostSampleRate = 7;
  DataloggerRecord a, b;
  ASSERT_TRUE(LoadProcessed(path, linear, a));
  ASSERT_TRUE(LoadProcessed(path, smooth, b));
  double errorLinear = 0, errorSmooth = 0;
  for (double t = 2.25; t < 18; t += 0.5) {
    double angle = track.startAngle + track.speed * t / track.radius;
    errorLinear += std::fabs(DataloggerValueAt(a, kQueryPosY, t) - track.latAt(angle));
    errorSmooth += std::fabs(DataloggerValueAt(b, kQueryPosY, t) - track.latAt(angle));
  }
  EXPECT_LT(errorSmooth, errorLinear * 0.25);
  // At the samples both agree with the track.
  EXPECT_NEAR(DataloggerValueAt(b, kQueryPosY, 5.0), track.latAt(track.startAngle + track.speed * 5 / track.radius), 1e-9);
}

TEST(DerivedChannels, DistanceFromSpeedWithoutPositions) {
  DataloggerRecord record;
  std::string path = WriteDatalogFile("speedonly.csv", "Time,Speed (m/s)\n0,10\n1,10\n2,20\n3,20\n");
  ASSERT_TRUE(LoadProcessed(path, NewDataStruct(), record));
  ProjectSettingsRaw().SpeedUnit = kSpeedMs; // m/s and metres
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryDistance, 3), 10 + 15 + 20, 1e-6);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryAccelY, 1.5), 10 / 9.80665 / 2, 0.2);
  EXPECT_EQ(DataloggerValueAt(record, kQueryAccelX, 1.5), 0); // no heading: no lateral channel
  ProjectSettingsRaw().SpeedUnit = kSpeedMph;
}

TEST(DerivedChannels, SmoothKeepsLinearTrends) {
  std::vector<double> ramp = {0, 1, 2, 3, 4, 5, 6};
  std::vector<double> out = Smooth(ramp, 5);
  for (size_t i = 0; i < ramp.size(); ++i)
    EXPECT_DOUBLE_EQ(out[i], ramp[i]);
}

} // namespace
