#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "base/error.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"
#include "media/logs/text_scan.h"

namespace {

std::string format(const char* fmt, double a, double b = 0, double c = 0, double d = 0) {
  char text[160];
  snprintf(text, sizeof text, fmt, a, b, c, d);
  return text;
}

// "m:ss.sss" running time.
std::string runningTime(double t) {
  int minutes = static_cast<int>(t / 60);
  char text[32];
  snprintf(text, sizeof text, "%d:%06.3f", minutes, t - minutes * 60 + 1e-9);
  return text;
}

// A line across the circle at `angle` (north-south: the track runs east
// or west there).
std::string planLine(const SyntheticTrack& track, int number, double angle) {
  return std::to_string(number) + format(",%.8f,%.8f,%.8f,%.8f\n", track.latAt(angle) + 2e-4,
                                         track.lonAt(angle), track.latAt(angle) - 2e-4, track.lonAt(angle));
}

// The circuit as the lap timer writes it: comments, header lines, a track
// plan of the start/finish line (0) and a split (1), the timer's crossings
// in miles per hour each with its line of six integers, then the trace
// with no times: latitude, longitude, speed, lean angle and two more.
std::string saExport(const SyntheticTrack& track, bool finishCrossings = true) {
  std::string text = "; Lap timer session export\n;\n#V=2.1=\n#D=05-17-2024 09:12:33=\n#MOD=LT-7=\n"
                     "#S=Test circle=\n<trackplan #sectors=2>\n";
  text += planLine(track, 0, 0) + planLine(track, 1, M_PI) + "</trackplan>\n<timer #unit=MILE/h>\n";
  double half = M_PI * track.radius / track.speed;
  for (int k = 1; track.crossing(k) < track.duration; ++k) {
    if (finishCrossings)
      text += "0," + runningTime(track.crossing(k)) + "\n45,44,45,0,22,1\n";
    if (track.crossing(k) + half < track.duration)
      text += "1," + runningTime(track.crossing(k) + half) + "\n45,45,44,22,22,0\n";
  }
  std::vector<TrackSample> samples = track.samples();
  text += "</timer>\n<trace #pt=" + std::to_string(samples.size()) + ">\n";
  for (const TrackSample& s : samples)
    text += format("%.8f,%.8f,%.2f,%.1f,", s.lat, s.lon, s.speedMs * 2.236936292, 22.2) + "9,0\n";
  return text + "</trace>\n";
}

TEST(SaReader, TraceTimedByTheTimerAndLapsFromItsCrossings) {
  for (double rate : {10.0, 20.0}) {
    SCOPED_TRACE(rate);
    SyntheticTrack track;
    track.rate = rate;
    track.duration = 70;
    std::string path = WriteDatalogFile("session.sa", saExport(track));
    const LogReader* reader = LogRegistryFindForFile(path);
    ASSERT_NE(reader, nullptr);
    EXPECT_STREQ(reader->name(), "Lap-timer export");
    DataloggerRecord record;
    LogReadStatus status = LogRegistryRead(path, record);
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_TRUE(status.warnings.empty()) << status.warnings[0];
    std::vector<std::string> names = {"Time (s)", "Latitude", "Longitude", "Speed (mph)", "Lean Angle (deg)",
                                      "Trace 5", "Trace 6", "Lap"};
    EXPECT_EQ(record.fieldNames, names);
    ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
    std::vector<TrackSample> samples = track.samples();
    EXPECT_EQ(record.sampleCount(), samples.size());
    EXPECT_NEAR(record.sampleRate, rate, 1e-3); // times on the recording's clock
    EXPECT_NEAR(record.channels.time.back(), 70, 1e-6);
    EXPECT_NEAR(record.timeOrigin, DaysFromCivil(2024, 5, 17) * 86400.0 + 9 * 3600 + 12 * 60 + 33, 1e-6);
    EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 50), 44.74, 1e-9);
    EXPECT_NEAR(DataloggerValueAt(record, kQueryPosY, 50), samples[static_cast<size_t>(50 * rate)].lat, 1e-7);
    EXPECT_NEAR(DataloggerValueAt(record, kQueryPosX, 50), samples[static_cast<size_t>(50 * rate)].lon, 1e-7);
    EXPECT_EQ(Cell(record, "Lean Angle (deg)", 9), 22.2);
    // Laps at the first samples from each start/finish crossing on.
    EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 3);
    for (int k = 1; k <= 3; ++k) {
      double crossing = std::round(track.crossing(k) * 1000) / 1000;
      EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, k), std::ceil(crossing * rate - 1e-9) / rate, 1e-6);
    }
  }
}

TEST(SaReader, WithoutFinishCrossingsTheRateIsTakenAndTheTracePassesGiveLaps) {
  SyntheticTrack track;
  track.duration = 70;
  DataloggerRecord record;
  LogReadStatus status = SaLogReader().parse(saExport(track, false), record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(status.warnings, std::vector<std::string>{"trace rate not borne out by the timer: 10 Hz taken"});
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_EQ(record.sampleCount(), track.samples().size());
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 3);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 2), 34.0, 1e-6);
}

// Line numbers that number no line (far beyond any count, negative, a
// fraction) are lines not understood; the rest of the file is read as if
// they were not there.
TEST(SaReader, LineNumbersBeyondAnyCountAreNotUnderstood) {
  SyntheticTrack track;
  track.duration = 70;
  std::string text = saExport(track);
  DataloggerRecord plain;
  ASSERT_TRUE(SaLogReader().parse(text, plain).ok());
  text.insert(text.find("<timer") + 21, "9e12,0:02.500\n-1,0:03.000\n");
  text.insert(text.find("<trackplan") + 23, "3e10,52.0,-1.0,52.0,-1.0\n0.5,52.0,-1.0,52.0,-1.0\n");
  DataloggerRecord record;
  LogReadStatus status = SaLogReader().parse(text, record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(status.warnings, std::vector<std::string>{"lines of the track plan or timer not understood skipped: 4"});
  EXPECT_TRUE(SameColumns(record, plain));
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 3);
}

TEST(SaReader, RefusesWhatHasNoTrace) {
  DataloggerRecord record;
  const LogReader& reader = SaLogReader();
  EXPECT_EQ(reader.parse("#V=1=\n<trackplan #sectors=1>\n0,1,2,3,4\n</trackplan>\n", record).code, kErrNoData);
  EXPECT_EQ(reader.parse("<trace #pt=2>\nx,y\n1000,2\n</trace>\n", record).code, kErrNoData);
  EXPECT_EQ(reader.parse("", record).code, kErrNoData);
  EXPECT_EQ(reader.probe("; export\n#V=2.1=\n<timer #unit=KM/h>\n", "txt"), 92);
  EXPECT_EQ(reader.probe("Time,Speed\n0,1\n", "csv"), 0);
  for (uint32_t seed = 1; seed <= 10; ++seed) {
    LogReadStatus status = reader.parse("<trace #pt=9>\n" + RandomBytes(3000, seed), record);
    EXPECT_TRUE(status.ok() || !status.message.empty());
  }
  // Cut anywhere: read up to the cut once two samples are in, else refused.
  SyntheticTrack track;
  track.duration = 40;
  std::string text = saExport(track);
  size_t traceAt = text.find("<trace");
  for (size_t cut = 1; cut < text.size(); cut += text.size() / 31) {
    LogReadStatus status = reader.parse(text.substr(0, cut), record);
    bool twoRows = cut > text.find('\n', text.find('\n', text.find('\n', traceAt) + 1) + 1);
    EXPECT_EQ(status.ok(), twoRows) << cut << ": " << status.message;
    EXPECT_TRUE(status.ok() || !status.message.empty());
  }
}

} // namespace
