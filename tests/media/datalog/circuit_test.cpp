// The synthetic circuit through every text format: derived motion matches
// the physics of a constant-radius turn and laps fall on the start/finish
// point.
#include <gtest/gtest.h>

#include <cmath>

#include "media/datalog/datalog_test_util.h"
#include "media/datalog/geo.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"

namespace {

constexpr double kMsToMph = 1.0 / 0.44704;

struct Format {
  const char* name;
  std::string (*write)(const SyntheticTrack&);
};

std::string nmea(const SyntheticTrack& t) { return WriteNmea(t); }
std::string gpx(const SyntheticTrack& t) { return WriteGpx(t, false); }
std::string csv(const SyntheticTrack& t) { return WriteCsv(t, ',', false); }
std::string vbo(const SyntheticTrack& t) { return WriteVbo(t); }

class CircuitTest : public testing::TestWithParam<Format> {
protected:
  DataloggerRecord load(const DataStruct& data) {
    DataloggerRecord record;
    std::string path = WriteDatalogFile(std::string("circuit.") + GetParam().name, GetParam().write(track));
    EXPECT_TRUE(LoadProcessed(path, data, record));
    return record;
  }
  DataStruct byPoint(uint8_t manual) {
    DataStruct data = NewDataStruct();
    data.LapManual = manual;
    data.LapX = track.lapLon();
    data.LapY = track.lapLat();
    return data;
  }
  SyntheticTrack track;
};

TEST_P(CircuitTest, DerivedSpeedHeadingAndGMatchTheTurn) {
  DataStruct data = NewDataStruct();
  SetName(data.Speed, "(Calculate MPH)");
  SetName(data.Heading, "(Calculate)");
  SetName(data.GForceX, "(Calculate)");
  SetName(data.GForceY, "(Calculate)");
  DataloggerRecord record = load(data);
  ASSERT_GT(record.sampleCount(), 1000u);
  EXPECT_NEAR(record.sampleRate, 10.0, 1e-3);
  double lateral = track.speed * track.speed / track.radius / kStandardGravity;
  for (double t = 1.0; t < track.duration - 1; t += 3.7) {
    double angle = track.startAngle + track.speed * t / track.radius;
    double heading = WrapDegrees(angle * 180 / M_PI + 90);
    EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, t), track.speed * kMsToMph,
                0.02 * track.speed * kMsToMph) << t;
    EXPECT_NEAR(AngleDifference(DataloggerValueAt(record, kQueryHeading, t), heading), 0, 1.0) << t;
    EXPECT_NEAR(DataloggerValueAt(record, kQueryAccelX, t), lateral, 0.02 * lateral) << t;
    EXPECT_NEAR(DataloggerValueAt(record, kQueryAccelY, t), 0, 0.02) << t;
    EXPECT_NEAR(DataloggerValueAt(record, kQueryPosY, t), track.latAt(angle), 2e-7) << t;
    EXPECT_NEAR(DataloggerValueAt(record, kQueryPosX, t), track.lonAt(angle), 3e-7) << t;
  }
  double miles = track.speed * track.duration / 1609.344;
  EXPECT_NEAR(DataloggerValueAt(record, kQueryDistance, track.duration), miles, 0.01 * miles);
}

TEST_P(CircuitTest, LapsAtTheStartFinishPointWithinOneSample) {
  DataloggerRecord record = load(byPoint(1));
  int crossings = track.crossingsWithin(track.duration);
  ASSERT_EQ(crossings, 4);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), crossings);
  for (int n = 1; n <= crossings; ++n)
    EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, n), track.crossing(n), 1.0 / track.rate) << n;
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapStart, 0), 0.0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapStart, crossings + 1), 0.0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapNumber, track.crossing(2) + 1), 2);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapNumber, 0.5), 0);
  double lap = DataloggerValueAt(record, kQueryPreviousLapTime, track.crossing(3) + 1);
  EXPECT_NEAR(lap, track.lapTime(), 1.0 / track.rate);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryCurrentLapTime, track.crossing(2) + 5), 5, 1.0 / track.rate);
  int best = static_cast<int>(DataloggerValueAt(record, kQueryBestLapNumber, 0));
  EXPECT_GE(best, 1);
  EXPECT_LE(best, 3);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryBestLapTime, 0), track.lapTime(), 1.0 / track.rate);
}

TEST_P(CircuitTest, GpsEnhancedCrossingWithinTenMilliseconds) {
  DataloggerRecord record = load(byPoint(3));
  ASSERT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 4);
  for (int n = 1; n <= 4; ++n)
    EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, n), track.crossing(n), 0.01) << n;
  EXPECT_NEAR(DataloggerValueAt(record, kQueryBestLapTime, 0), track.lapTime(), 0.01);
}

TEST_P(CircuitTest, IgnoredTriggersShiftTheLapNumbers) {
  DataStruct data = byPoint(3);
  data.IgnoreFirstLaps = 1;
  DataloggerRecord record = load(data);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 3);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 1), track.crossing(2), 0.01);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 0), track.crossing(1), 0.01);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapNumber, track.crossing(2) - 1), 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapNumber, track.crossing(2) + 1), 1);
}

TEST_P(CircuitTest, HeadingOutsideTheToleranceGivesNoLaps) {
  DataStruct data = byPoint(1);
  data.LapHeading = 270; // the track passes the point heading east (90)
  data.LapHeadTol = 30;
  DataloggerRecord record = load(data);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 0);
  data.LapHeading = 100;
  record = load(data);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 4);
}

TEST_P(CircuitTest, SpansAreTheExtentOfTheCircle) {
  DataloggerRecord record = load(NewDataStruct());
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpanY, 0), track.latAt(0) - track.latAt(M_PI), 1e-6);
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpanX, 0),
              track.lonAt(M_PI / 2) - track.lonAt(-M_PI / 2), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Formats, CircuitTest,
                         testing::Values(Format{"nmea", nmea}, Format{"gpx", gpx}, Format{"csv", csv},
                                         Format{"vbo", vbo}),
                         [](const testing::TestParamInfo<Format>& info) { return info.param.name; });

TEST(CircuitLapColumn, LapColumnTriggersWithoutAPoint) {
  SyntheticTrack track;
  DataloggerRecord record;
  std::string path = WriteDatalogFile("laps.csv", WriteCsv(track, ',', false));
  ASSERT_TRUE(LoadProcessed(path, NewDataStruct(), record));
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 4);
  for (int n = 1; n <= 4; ++n) {
    double start = DataloggerValueAt(record, kQueryLapStart, n);
    EXPECT_GE(start, track.crossing(n) - 1e-9);
    EXPECT_LT(start, track.crossing(n) + 1.0 / track.rate);
  }
}

TEST(CircuitLapColumn, ColumnSpeedIsConvertedToTheProjectUnit) {
  SyntheticTrack track;
  track.duration = 5;
  DataloggerRecord record;
  std::string path = WriteDatalogFile("speed.csv", WriteCsv(track, ',', false));
  ASSERT_TRUE(LoadProcessed(path, NewDataStruct(), record));
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 2.0), 72.0 * 0.621371192, 1e-6);
  ProjectSettingsRaw().SpeedUnit = kSpeedKmh;
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 2.0), 72.0, 1e-6);
  ProjectSettingsRaw().SpeedUnit = kSpeedMph;
}

} // namespace
