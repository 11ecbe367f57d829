#include <gtest/gtest.h>

#include "base/error.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/query.h"
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

// A channel named with a blank ("engine speed") splits into two names in
// the [column names] row: one name more than values per row.
TEST(VboReader, NamesMatchedToTheValuesWhenTheCountsDisagree) {
  SyntheticTrack track;
  track.duration = 40;
  std::string text = WriteVbo(track);
  auto replace = [&](const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
  };
  replace("height\n\n[channel units]", "height\nengine speed\n\n[channel units]");
  replace("velocity heading height\n", "velocity heading height engine speed\n");
  std::string withRpm;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    withRpm += line + (line.rfind("009 ", 0) == 0 ? " 4320.0\n" : "\n");
  }
  for (bool withList : {true, false}) {
    SCOPED_TRACE(withList);
    std::string file = withRpm;
    if (!withList) // no channel list: the names are matched by position
      file.replace(file.find("[header]"), file.find("[channel units]") - file.find("[header]"), "");
    DataloggerRecord record;
    LogReadStatus status = VboLogReader().parse(file, record);
    ASSERT_TRUE(status.ok()) << status.message;
    ASSERT_EQ(record.rowCount(), track.samples().size());
    ASSERT_EQ(record.fieldNames.size(), 8u);
    EXPECT_EQ(record.fieldNames[7], withList ? "engine speed" : "engine");
    EXPECT_EQ(status.warnings.size(), withList ? 0u : 1u);
    ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
    EXPECT_NEAR(DataloggerValueAt(record, kQueryRpm, 12.0), 4320, 1e-9);
    EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 12.0), 72 * 0.621371192, 1e-3);
    EXPECT_NEAR(DataloggerValueAt(record, kQueryPosY, 12.0), track.samples()[120].lat, 1e-7);
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
