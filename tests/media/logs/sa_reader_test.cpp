#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "engine/base/error.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

std::string clock(double secondsOfDay) {
  int hh = static_cast<int>(secondsOfDay / 3600), mm = static_cast<int>((secondsOfDay - hh * 3600) / 60);
  char text[32];
  snprintf(text, sizeof text, "%02d:%02d:%06.3f", hh, mm, secondsOfDay - hh * 3600 - mm * 60 + 1e-9);
  return text;
}

// The circuit as the lap timer exports it: header lines, a track plan of
// three sectors, one timer block with two laps and their splits, then the
// samples with clock times.
std::string saExport(const SyntheticTrack& track) {
  std::string text = "#FORMAT=SA=\n#VERSION=2.1=\n#DEVICE=Lap timer=\n#DATE=17/05/2024=\n"
                     "#TRACK=Test circle=\n#SECTORS=3=\n";
  for (int k = 0; k < 3; ++k) {
    char line[128];
    double angle = k * 2.0944;
    snprintf(line, sizeof line, "#SECTOR=%d=%.7f=%.7f=%.7f=%.7f=\n", k + 1, track.latAt(angle),
             track.lonAt(angle) - 1e-4, track.latAt(angle), track.lonAt(angle) + 1e-4);
    text += line;
  }
  double lap = track.lapTime(), split = lap / 3;
  text += "#TIMER=1=" + clock(track.startOfDay + track.crossing(1)) + "=\n";
  char line[128];
  for (int k = 1; k <= 2; ++k) {
    snprintf(line, sizeof line, "#LAP=%d=%.3f=%.3f=%.3f=%.3f=\n", k, lap, split, split, split);
    text += line;
  }
  text += "#LAP=3=0=\n"; // an unfinished lap
  text += "#SAMPLES=\nTIME;LATITUDE;LONGITUDE;SPEED[km/h];RPM;GEAR\n";
  for (const TrackSample& s : track.samples()) {
    snprintf(line, sizeof line, ";%.8f;%.8f;%.2f;%.0f;%d\n", s.lat, s.lon, s.speedMs * 3.6, s.rpm, s.gear);
    text += clock(track.startOfDay + s.t) + line;
  }
  return text;
}

TEST(SaReader, SamplesAndLapsFromTheTimerBlocks) {
  SyntheticTrack track;
  track.duration = 70;
  std::string path = WriteDatalogFile("session.sa", saExport(track));
  const LogReader* reader = LogRegistryFindForFile(path);
  ASSERT_NE(reader, nullptr);
  EXPECT_STREQ(reader->name(), "Lap-timer export");
  DataloggerRecord record;
  LogReadStatus status = LogRegistryRead(path, record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(status.warnings, std::vector<std::string>{"lap lines outside a timer block skipped: 1"});
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  std::vector<TrackSample> samples = track.samples();
  EXPECT_EQ(record.sampleCount(), samples.size());
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 50), 72 * 0.621371192, 1e-3);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryRpm, 50), 4320, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryPosY, 50), samples[500].lat, 1e-7);
  // Passes at the timer start and the end of each lap: the first samples
  // after 2.5 s, 33.9 s and 65.3 s.
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 3);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 1), 2.5, 1e-6);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 2), 34.0, 1e-6);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 3), 65.4, 1e-6);
}

TEST(SaReader, RefusesWhatHasNoSamples) {
  DataloggerRecord record;
  const LogReader& reader = SaLogReader();
  EXPECT_EQ(reader.parse("#FORMAT=SA=\n#TIMER=1=0=\n#LAP=1=30=\n", record).code, kErrNoData);
  EXPECT_EQ(reader.parse("", record).code, kErrNoData);
  EXPECT_EQ(reader.probe("#A=1=\n#B=2=\n#TIMER=1=0=\n", "txt"), 92);
  EXPECT_EQ(reader.probe("Time,Speed\n0,1\n", "csv"), 0);
  for (uint32_t seed = 1; seed <= 10; ++seed) {
    LogReadStatus status = reader.parse("#TIMER=1=0=\n" + RandomBytes(3000, seed), record);
    EXPECT_TRUE(status.ok() || !status.message.empty());
  }
}

} // namespace
