#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/fit_writer.h"
#include "media/datalog/query.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_test_util.h"

namespace {

constexpr uint32_t kStart = 1000000000; // FIT seconds

std::vector<FitPoint> circlePoints(const SyntheticTrack& track) {
  std::vector<FitPoint> points;
  for (const TrackSample& s : track.samples())
    if (std::fmod(s.t, 1.0) < 1e-9)
      points.push_back({kStart + static_cast<uint32_t>(s.t), s.lat, s.lon, 120.4, s.speedMs, 150});
  return points;
}

class FitReaderTest : public testing::TestWithParam<bool> {};

TEST_P(FitReaderTest, RecordsFieldsAndCompressedTimes) {
  SyntheticTrack track;
  std::vector<FitPoint> points = circlePoints(track);
  std::string bytes = WriteFit(points, {kStart, kStart + 40, kStart + 75}, GetParam());
  DataloggerRecord record;
  LogReadStatus status = FitLogReader().parse(bytes, record);
  ASSERT_TRUE(status.ok()) << status.message << " at message " << status.line;
  ASSERT_EQ(record.rowCount(), points.size());
  for (size_t i = 0; i < points.size(); i += 9) {
    EXPECT_NEAR(Cell(record, "Time", i), 631065600.0 + points[i].timestamp, 1e-9);
    EXPECT_NEAR(Cell(record, "Latitude", i), points[i].lat, 1e-7);
    EXPECT_NEAR(Cell(record, "Longitude", i), points[i].lon, 1e-7);
    EXPECT_NEAR(Cell(record, "Altitude", i), 120.4, 1e-9);
    EXPECT_NEAR(Cell(record, "Speed (m/s)", i), 20.0, 1e-9);
    EXPECT_EQ(Cell(record, "Heart Rate", i), 150);
  }
  ASSERT_TRUE(DataloggerProcess(record, NewDataStruct()) == 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 2);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 1), 40, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 2), 75, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(ByteOrder, FitReaderTest, testing::Bool());

TEST(FitReader, FileCutAtTwentyPlacesKeepsEveryCompleteRecord) {
  SyntheticTrack track;
  track.duration = 30;
  std::vector<FitPoint> points = circlePoints(track);
  std::vector<size_t> ends;
  std::string bytes = WriteFit(points, {}, false, &ends);
  // Cuts inside messages and exactly after them, from the header on.
  std::vector<size_t> cuts = {10, 14, 30, ends[0], ends[1] - 1, ends[1], ends[2] + 3};
  for (size_t k = 1; cuts.size() < 20; ++k)
    cuts.push_back(ends[0] + k * (bytes.size() - ends[0]) / 14 + k % 3);
  for (size_t cut : cuts) {
    SCOPED_TRACE(cut);
    size_t complete = std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin();
    DataloggerRecord record;
    LogReadStatus status = FitLogReader().parse(bytes.substr(0, cut), record);
    if (complete < 2) {
      EXPECT_LT(status.code, 0);
      continue;
    }
    ASSERT_TRUE(status.ok()) << status.message;
    ASSERT_EQ(record.rowCount(), complete);
    const FitPoint& last = points[complete - 1];
    EXPECT_NEAR(Cell(record, "Time", complete - 1), 631065600.0 + last.timestamp, 1e-9);
    EXPECT_NEAR(Cell(record, "Latitude", complete - 1), last.lat, 1e-7);
    EXPECT_FALSE(status.warnings.empty());
  }
}

TEST(FitReader, WrongChecksumsReadLikeTheRightFile) {
  SyntheticTrack track;
  track.duration = 20;
  std::string bytes = WriteFit(circlePoints(track), {kStart, kStart + 10}, true);
  DataloggerRecord right;
  LogReadStatus status = FitLogReader().parse(bytes, right);
  ASSERT_TRUE(status.ok());
  EXPECT_TRUE(status.warnings.empty());
  std::string wrongFile = bytes, wrongHeader = bytes;
  wrongFile[bytes.size() - 1] ^= 0x5A;
  wrongHeader[12] ^= 0x33;
  std::string wrongBoth = wrongFile;
  wrongBoth[12] ^= 0x33;
  for (const std::string& damaged : {wrongFile, wrongHeader, wrongBoth}) {
    DataloggerRecord record;
    status = FitLogReader().parse(damaged, record);
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_TRUE(SameColumns(record, right));
    ASSERT_FALSE(status.warnings.empty());
    EXPECT_NE(status.warnings[0].find("checksum does not match"), std::string::npos);
  }
  // A data size beyond the file (an app that wrote the header first): the
  // messages that are there, and the checksum taken for data.
  std::string longer = bytes;
  longer[6] = '\x01';
  DataloggerRecord record;
  status = FitLogReader().parse(longer, record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(record.rowCount(), right.rowCount());
  // No data size at all (a writer that never came back to it): the file's
  // own checksum at its end tells where the data ends.
  std::string unsized = bytes;
  unsized[4] = unsized[5] = unsized[6] = unsized[7] = '\0';
  status = FitLogReader().parse(unsized, record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_TRUE(SameColumns(record, right));
}

// An older device: speed and distance in the 3-byte compressed field, the
// distance rolling over every 256 m; position in records of their own at
// the same times; two records before any time stamp.
TEST(FitReader, CompressedSpeedDistanceAndSplitRecords) {
  FitBuilder fit;
  fit.define(0, 20, {{8, 3, 0x0D}, {3, 1, 0x02}});
  fit.data(0, {0x000000, 90});
  fit.data(0, {0x000000, 91});
  fit.define(1, 20, {{253, 4, 0x86}, {8, 3, 0x0D}, {3, 1, 0x02}});
  fit.define(2, 20, {{253, 4, 0x86}, {0, 4, 0x85}, {1, 4, 0x85}});
  uint32_t distance = 0; // 1/16 m
  for (uint32_t s = 0; s < 60; ++s) {
    uint32_t speed = 1250 + s; // 1/100 m/s
    uint32_t packed = speed | (distance & 0xFFF) << 12;
    fit.data(1, {kStart + s, packed, 100 + s});
    fit.data(2, {kStart + s, static_cast<uint32_t>(FitSemicircles(52.0 + s * 1e-4)),
                 static_cast<uint32_t>(FitSemicircles(-1.0))});
    distance += 200 + s; // 12.5 m and a bit each second
  }
  DataloggerRecord record;
  LogReadStatus status = FitLogReader().parse(fit.finish(), record);
  ASSERT_TRUE(status.ok()) << status.message;
  ASSERT_EQ(record.rowCount(), 60u);
  EXPECT_NEAR(Cell(record, "Speed (m/s)", 10), 12.60, 1e-9);
  EXPECT_NEAR(Cell(record, "Distance (m)", 59), (59 * 200 + 58 * 59 / 2) / 16.0, 1e-9);
  EXPECT_NEAR(Cell(record, "Latitude", 30), 52.003, 1e-7);
  EXPECT_EQ(Cell(record, "Heart Rate", 30), 130);
  ASSERT_EQ(status.warnings.size(), 1u);
  EXPECT_EQ(status.warnings[0], "record messages before any time stamp skipped: 2");
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 20.5), 12.705 * 2.236936292, 1e-6);
}

// A phone app that stopped writing mid-file left a last record stamped 64
// years after the others, and one record an hour behind its neighbours.
TEST(FitReader, TimesOutOfLineAreLeftOutOfTheLog) {
  SyntheticTrack track;
  track.duration = 60;
  std::vector<FitPoint> points = circlePoints(track);
  FitPoint behind = points[30];
  behind.timestamp -= 3600;
  points.insert(points.begin() + 31, behind);
  FitPoint garbage = points.back();
  garbage.timestamp += static_cast<uint32_t>(64 * 365.25 * 86400);
  points.push_back(garbage);
  std::vector<size_t> ends;
  std::string bytes = WriteFit(points, {}, false, &ends);
  bytes.resize(ends.back()); // no checksum: the file is cut short
  DataloggerRecord record;
  LogReadStatus status = FitLogReader().parse(bytes, record);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(record.rowCount(), 61u);
  EXPECT_EQ(std::count(status.warnings.begin(), status.warnings.end(),
                       "record messages with a time out of line skipped: 2"),
            1);
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_EQ(record.sampleCount(), 61u);
  EXPECT_NEAR(record.channels.time.back(), 60, 1e-9);
  EXPECT_NEAR(record.sampleRate, 1, 1e-9);
}

// A writer that declared the time stamp signed: one record holds a
// negative time and one the signed type's invalid marker. Those two are
// left out and the rest read; the compressed time after them still counts
// from the last good stamp.
TEST(FitReader, RecordsWithAnInvalidTimeStampAreLeftOut) {
  FitBuilder fit;
  fit.define(0, 20, {{253, 4, 0x85}, {0, 4, 0x85}, {3, 1, 0x02}});
  fit.define(1, 20, {{0, 4, 0x85}, {3, 1, 0x02}});
  auto lat = [](uint32_t s) { return static_cast<uint32_t>(FitSemicircles(52.0 + s * 1e-4)); };
  for (uint32_t s = 0; s < 10; ++s) {
    if (s != 5) {
      fit.data(0, {kStart + s, lat(s), 100 + s});
      continue;
    }
    fit.data(0, {static_cast<uint32_t>(-1697980000), lat(50), 200});
    fit.data(0, {0x7FFFFFFF, lat(51), 201});
    fit.data(1, {lat(s), 100 + s}, (kStart + s) & 0x1F);
  }
  DataloggerRecord record;
  LogReadStatus status = FitLogReader().parse(fit.finish(), record);
  ASSERT_TRUE(status.ok()) << status.message;
  ASSERT_EQ(record.rowCount(), 10u);
  for (size_t s = 0; s < 10; ++s) {
    EXPECT_NEAR(Cell(record, "Time", s), 631065600.0 + kStart + s, 1e-9) << s;
    EXPECT_NEAR(Cell(record, "Latitude", s), 52.0 + s * 1e-4, 1e-7) << s;
    EXPECT_EQ(Cell(record, "Heart Rate", s), 100 + s) << s;
  }
  EXPECT_EQ(status.warnings, std::vector<std::string>{"record messages with an invalid time stamp skipped: 2"});
}

TEST(FitReader, RefusesWhatCannotBeFollowed) {
  SyntheticTrack track;
  track.duration = 20;
  std::string bytes = WriteFit(circlePoints(track), {}, false);
  const LogReader& reader = FitLogReader();
  DataloggerRecord record;
  ASSERT_TRUE(reader.parse(bytes, record).ok());
  for (size_t cut : {size_t(0), size_t(5), size_t(13)})
    EXPECT_EQ(reader.parse(bytes.substr(0, cut), record).code, kErrHeader) << cut;
  // A data message before any definition, with a valid checksum.
  FitBuilder orphan;
  orphan.data(3, {});
  std::string file = orphan.finish();
  EXPECT_EQ(reader.parse(file, record).code, kErrRead);
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::string noise = bytes.substr(0, 14) + RandomBytes(bytes.size() - 14, seed);
    LogReadStatus status = reader.parse(noise, record);
    EXPECT_TRUE(status.ok() || !status.message.empty());
  }
}

TEST(FitReader, ProbeNeedsTheSignature) {
  std::string bytes = WriteFit({{kStart, 1, 2, 3, 4, 5}, {kStart + 1, 1, 2, 3, 4, 5}}, {}, false);
  EXPECT_EQ(FitLogReader().probe(bytes, "bin"), 100);
  EXPECT_EQ(FitLogReader().probe("hello world, no fit", "fit"), 5);
  EXPECT_EQ(FitLogReader().probe("hello", "csv"), 0);
}

} // namespace
