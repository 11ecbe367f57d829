#include <gtest/gtest.h>

#include "engine/base/error.h"
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

TEST(FitReader, RefusesDamagedFiles) {
  SyntheticTrack track;
  track.duration = 20;
  std::string bytes = WriteFit(circlePoints(track), {}, false);
  const LogReader& reader = FitLogReader();
  DataloggerRecord record;
  ASSERT_TRUE(reader.parse(bytes, record).ok());
  std::string flipped = bytes;
  flipped[40] ^= 0x55;
  EXPECT_EQ(reader.parse(flipped, record).code, kErrIntegrity);
  for (size_t cut : {size_t(0), size_t(5), size_t(13), bytes.size() / 2, bytes.size() - 1})
    EXPECT_LT(reader.parse(bytes.substr(0, cut), record).code, 0) << cut;
  // A data size of 4 GB in an otherwise short file.
  std::string huge = bytes;
  huge[4] = huge[5] = huge[6] = huge[7] = '\xFF';
  EXPECT_EQ(reader.parse(huge, record).code, kErrRead);
  // A data message before any definition, with a valid checksum.
  std::string body = std::string("\x00\x01\x02", 3);
  std::string orphan = std::string("\x0E\x20\x54\x08", 4) + std::string("\x03\x00\x00\x00", 4) + ".FIT";
  uint16_t hc = FitTestCrc(orphan, 12);
  orphan += static_cast<char>(hc & 0xFF);
  orphan += static_cast<char>(hc >> 8);
  orphan += body;
  uint16_t fc = FitTestCrc(orphan, orphan.size());
  orphan += static_cast<char>(fc & 0xFF);
  orphan += static_cast<char>(fc >> 8);
  EXPECT_EQ(reader.parse(orphan, record).code, kErrRead);
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::string noise = bytes.substr(0, 14) + RandomBytes(bytes.size() - 14, seed);
    EXPECT_LT(reader.parse(noise, record).code, 0);
  }
}

TEST(FitReader, ProbeNeedsTheSignature) {
  std::string bytes = WriteFit({{kStart, 1, 2, 3, 4, 5}, {kStart + 1, 1, 2, 3, 4, 5}}, {}, false);
  EXPECT_EQ(FitLogReader().probe(bytes, "bin"), 100);
  EXPECT_EQ(FitLogReader().probe("hello world, no fit", "fit"), 5);
  EXPECT_EQ(FitLogReader().probe("hello", "csv"), 0);
}

} // namespace
