#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

TEST(VboReader, SectionsMinutesAndWestPositiveLongitude) {
  SyntheticTrack track;
  track.duration = 3;
  std::string path = WriteDatalogFile("run.vbo", WriteVbo(track));
  const LogReader* reader = LogRegistryFindForFile(path);
  ASSERT_NE(reader, nullptr);
  EXPECT_STREQ(reader->name(), "VBO");
  DataloggerRecord record;
  LogReadStatus status = reader->read(path, record);
  ASSERT_TRUE(status.ok()) << status.message;
  std::vector<TrackSample> samples = track.samples();
  ASSERT_EQ(record.rowCount(), samples.size());
  for (size_t i = 0; i < samples.size(); i += 4) {
    EXPECT_NEAR(Cell(record, "Latitude", i), samples[i].lat, 1e-7);
    EXPECT_NEAR(Cell(record, "Longitude", i), samples[i].lon, 1e-7);
    EXPECT_NEAR(Cell(record, "Speed (km/h)", i), 72.0, 1e-3);
    EXPECT_NEAR(Cell(record, "Time", i), track.startOfDay + samples[i].t, 1e-6);
  }
}

TEST(VboReader, RefusesBrokenSections) {
  DataloggerRecord record;
  const LogReader& reader = VboLogReader();
  EXPECT_EQ(reader.parse("[header]\ntime\n", record).code, kErrHeader);
  EXPECT_EQ(reader.parse("[header]\n[data]\n1 2\n", record).code, kErrHeader);
  EXPECT_EQ(reader.parse("[column names]\ntime lat\n[data]\n120000.00 3000\n", record).code,
            kErrNoData);
  for (uint32_t seed = 1; seed <= 10; ++seed)
    EXPECT_LT(reader.parse("[header]\n[column names]\na b\n[data]\n" + RandomBytes(2000, seed), record).code, 0);
}

} // namespace
