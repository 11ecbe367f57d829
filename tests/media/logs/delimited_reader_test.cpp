#include <gtest/gtest.h>

#include "base/error.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

LogReadStatus parseText(const std::string& text, DataloggerRecord& record) {
  return DelimitedLogReader().parse(text, record);
}

void expectTrack(const DataloggerRecord& record, const SyntheticTrack& track) {
  std::vector<TrackSample> samples = track.samples();
  ASSERT_EQ(record.rowCount(), samples.size());
  ASSERT_EQ(record.fieldNames.size(), 7u);
  EXPECT_EQ(record.fieldNames[0], "Time (s)");
  EXPECT_EQ(record.fieldNames[3], "Speed (km/h)");
  for (size_t i = 0; i < samples.size(); i += 3) {
    EXPECT_NEAR(Cell(record, "Time (s)", i), samples[i].t, 1e-9);
    EXPECT_NEAR(Cell(record, "Latitude", i), samples[i].lat, 1e-9);
    EXPECT_NEAR(Cell(record, "Longitude", i), samples[i].lon, 1e-9);
    EXPECT_NEAR(Cell(record, "Speed (km/h)", i), 72.0, 1e-9);
    EXPECT_EQ(Cell(record, "Lap", i), samples[i].lap);
  }
}

TEST(DelimitedReader, CommaWithMetadataLines) {
  SyntheticTrack track;
  track.duration = 3;
  DataloggerRecord record;
  LogReadStatus status = parseText(WriteCsv(track, ',', false), record);
  ASSERT_TRUE(status.ok()) << status.message;
  expectTrack(record, track);
}

TEST(DelimitedReader, SemicolonWithDecimalComma) {
  SyntheticTrack track;
  track.duration = 3;
  DataloggerRecord record;
  ASSERT_TRUE(parseText(WriteCsv(track, ';', true), record).ok());
  expectTrack(record, track);
}

TEST(DelimitedReader, TabSeparated) {
  SyntheticTrack track;
  track.duration = 3;
  DataloggerRecord record;
  ASSERT_TRUE(parseText(WriteCsv(track, '\t', false), record).ok());
  expectTrack(record, track);
}

TEST(DelimitedReader, HeaderWithUnitRowAndProfile) {
  std::string text = "\"Format\",\"MoTeC CSV File\"\n\"Venue\",\"Test\"\n\n"
                     "\"Time\",\"Ground Speed\",\"Engine RPM\",\"G Force Lat\"\n"
                     "\"s\",\"km/h\",\"rpm\",\"G\"\n\n"
                     "0.000,10.5,3000,0.1\n0.050,10.7,3050,0.2\n0.100,11.0,3100,0.3\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseText(text, record).ok());
  EXPECT_EQ(record.formatName, "MoTeC CSV");
  ASSERT_EQ(record.fieldNames.size(), 4u);
  EXPECT_EQ(record.fieldNames[0], "Time (s)");
  EXPECT_EQ(record.fieldNames[1], "Ground Speed (km/h)");
  ASSERT_EQ(record.rowCount(), 3u);
  EXPECT_NEAR(Cell(record, "Engine RPM (rpm)", 2), 3100, 1e-9);
}

TEST(DelimitedReader, ClockTimesQuotesAndGarbageLines) {
  std::string text = "Time,Name,Value\n"
                     "12:00:00.0,\"a, b\",1\n"
                     "this line is garbage\n"
                     "12:00:00.5,\"c \"\"q\"\"\",2\n"
                     "Time,Name,Value\n"
                     "12:00:01.0,d,nan\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseText(text, record).ok());
  ASSERT_EQ(record.rowCount(), 3u);
  EXPECT_NEAR(Cell(record, "Time", 1), 43200.5, 1e-9);
  EXPECT_NEAR(Cell(record, "Value", 1), 2, 1e-9);
  EXPECT_TRUE(std::isnan(Cell(record, "Value", 2)));
}

TEST(DelimitedReader, NoHeaderGivesGenericNames) {
  DataloggerRecord record;
  ASSERT_TRUE(parseText("1,2,3\n4,5,6\n7,8,9\n", record).ok());
  ASSERT_EQ(record.fieldNames.size(), 3u);
  EXPECT_EQ(record.fieldNames[2], "Column 3");
  EXPECT_EQ(record.rowCount(), 3u);
}

TEST(DelimitedReader, HugeHeaderKeepsTheFirstColumns) {
  std::string header, row;
  for (int c = 0; c < 100000; ++c) {
    header += (c ? "," : "") + std::string("c") + std::to_string(c);
    row += (c ? "," : "") + std::to_string(c % 10);
  }
  DataloggerRecord record;
  ASSERT_TRUE(parseText(header + "\n" + row + "\n" + row + "\n", record).ok());
  EXPECT_EQ(record.fieldNames.size(), static_cast<size_t>(kMaxLogFields));
  EXPECT_EQ(record.rowCount(), 2u);
}

TEST(DelimitedReader, RefusesTextWithoutRows) {
  DataloggerRecord record;
  EXPECT_LT(parseText("", record).code, 0);
  EXPECT_LT(parseText("just some words\nwithout any values\n", record).code, 0);
  EXPECT_LT(parseText("a,b,c\n1,2,3\n", record).code, 0);
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    LogReadStatus status = parseText(RandomBytes(3000, seed), record);
    if (!status.ok()) {
      EXPECT_FALSE(status.message.empty());
    }
  }
}

TEST(DelimitedReader, ReadsFromDiskThroughTheRegistry) {
  SyntheticTrack track;
  track.duration = 2;
  std::string path = WriteDatalogFile("track.csv", WriteCsv(track, ',', false));
  const LogReader* reader = LogRegistryFindForFile(path);
  ASSERT_NE(reader, nullptr);
  EXPECT_STREQ(reader->name(), "Delimited text");
  DataloggerRecord record;
  ASSERT_TRUE(LogRegistryRead(path, record).ok());
  expectTrack(record, track);
  EXPECT_EQ(LogRegistryRead(DatalogTestDir() + "/missing.csv", record).code, kErrUnsupported);
}

} // namespace

namespace {

TEST(DelimitedReader, HemisphereColumnsSignThePositions) {
  std::string text = "INDEX,RCR,DATE,TIME,VALID,LATITUDE,N/S,LONGITUDE,E/W,HEIGHT,SPEED\n"
                     "1,T,2024/05/17,12:00:00,SPS,33.5,S,70.25,W,10,0\n"
                     "2,T,2024/05/17,12:00:01,SPS,33.6,S,70.25,W,10,5\n"
                     "3,T,2024/05/17,12:00:02,SPS,33.7,N,70.25,E,10,5\n";
  DataloggerRecord record;
  ASSERT_TRUE(DelimitedLogReader().parse(text, record).ok());
  ASSERT_EQ(record.rowCount(), 3u);
  EXPECT_EQ(Cell(record, "LATITUDE", 0), -33.5);
  EXPECT_EQ(Cell(record, "LONGITUDE", 1), -70.25);
  EXPECT_EQ(Cell(record, "LATITUDE", 2), 33.7);
  EXPECT_EQ(Cell(record, "TIME", 1), 43201);
}

} // namespace

namespace {

TEST(DelimitedReader, MetadataLineOfTheSameWidthIsNotTakenForNames) {
  DataloggerRecord record;
  ASSERT_TRUE(DelimitedLogReader().parse("Session,Morning\nTime,Speed\n0,1\n1,2\n", record).ok());
  ASSERT_EQ(record.fieldNames.size(), 2u);
  EXPECT_EQ(record.fieldNames[0], "Time");
  EXPECT_EQ(record.fieldNames[1], "Speed");
}

TEST(DelimitedReader, NamesUnitsAndSourcesRows) {
  std::string text = "Format,3\nTimestamp,Speed,Lateral acc,Engine\n"
                     "s,km/h,G,rpm\n"
                     "gps,gps,acc,obd\n"
                     "0.0,10,0.1,2000\n0.1,11,0.1,2100\n";
  DataloggerRecord record;
  ASSERT_TRUE(DelimitedLogReader().parse(text, record).ok());
  ASSERT_EQ(record.fieldNames.size(), 4u);
  EXPECT_EQ(record.fieldNames[0], "Timestamp (s)");
  EXPECT_EQ(record.fieldNames[1], "Speed (km/h)");
  EXPECT_EQ(record.fieldNames[3], "Engine (rpm)");
}

} // namespace

namespace {

TEST(DelimitedReader, SignatureProfilesNameTheExport) {
  struct Case {
    const char* head;
    const char* name;
  } cases[] = {{"Format,AiM CSV File\n", "AiM CSV"},
               {"This file is created using RaceChrono v8\n", "RaceChrono CSV"},
               {"Harry's LapTimer export\n", "Harry's LapTimer CSV"},
               {"x,y\n", "Delimited text"}};
  for (const Case& c : cases) {
    DataloggerRecord record;
    std::string text = std::string(c.head) + "Time,Speed\n0,1\n1,2\n";
    ASSERT_TRUE(DelimitedLogReader().parse(text, record).ok()) << c.name;
    EXPECT_EQ(record.formatName, c.name);
  }
}

} // namespace
