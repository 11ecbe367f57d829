#include <gtest/gtest.h>

#include "base/error.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

LogReadStatus parseGpx(const std::string& text, DataloggerRecord& record) {
  return GpxLogReader().parse(text, record);
}

TEST(GpxReader, Version11WithExtensions) {
  SyntheticTrack track;
  track.duration = 4;
  DataloggerRecord record;
  LogReadStatus status = parseGpx(WriteGpx(track, false), record);
  ASSERT_TRUE(status.ok()) << status.message << " line " << status.line;
  std::vector<TrackSample> samples = track.samples();
  ASSERT_EQ(record.rowCount(), samples.size());
  EXPECT_EQ(record.formatCode, kFormatGpx);
  EXPECT_GE(FieldIndex(record, "Heart Rate"), 0);
  EXPECT_GE(FieldIndex(record, "Speed (m/s)"), 0);
  EXPECT_LT(FieldIndex(record, "Cadence"), 0); // absent columns are left out
  for (size_t i = 0; i < samples.size(); i += 5) {
    EXPECT_NEAR(Cell(record, "Latitude", i), samples[i].lat, 1e-9);
    EXPECT_NEAR(Cell(record, "Longitude", i), samples[i].lon, 1e-9);
    EXPECT_NEAR(Cell(record, "Altitude", i), 120.0 + samples[i].t * 0.1, 0.051);
    EXPECT_NEAR(Cell(record, "Speed (m/s)", i), 20.0, 1e-9);
    EXPECT_NEAR(Cell(record, "Time", i) - Cell(record, "Time", 0), samples[i].t, 1e-6);
  }
  // 2024-05-17T12:00:00Z
  EXPECT_NEAR(Cell(record, "Time", 0), 1715947200.0, 1e-3);
}

TEST(GpxReader, Version10SpeedAndCourse) {
  SyntheticTrack track;
  track.duration = 2;
  DataloggerRecord record;
  ASSERT_TRUE(parseGpx(WriteGpx(track, true), record).ok());
  std::vector<TrackSample> samples = track.samples();
  ASSERT_EQ(record.rowCount(), samples.size());
  EXPECT_NEAR(Cell(record, "Heading", 3), samples[3].heading, 0.01);
}

TEST(GpxReader, TimeZonesCommentsAndCdata) {
  std::string text = "<?xml version='1.0'?><!-- a comment --><gpx version='1.1'><trk><trkseg>"
                     "<trkpt lat='10.5' lon='-20.25'><time>2024-01-01T01:00:00+01:00</time></trkpt>"
                     "<trkpt lat='10.6' lon='-20.25'><time><![CDATA[2024-01-01T00:00:01.5Z]]></time></trkpt>"
                     "<trkpt lat='10.7' lon='-20.25'/>"
                     "</trkseg></trk></gpx>";
  DataloggerRecord record;
  ASSERT_TRUE(parseGpx(text, record).ok());
  ASSERT_EQ(record.rowCount(), 2u); // the untimed point is skipped
  EXPECT_NEAR(Cell(record, "Time", 1) - Cell(record, "Time", 0), 1.5, 1e-9);
}

TEST(GpxReader, RefusesMalformedAndForeignXml) {
  DataloggerRecord record;
  EXPECT_EQ(parseGpx("", record).code, kErrHeader);
  EXPECT_EQ(parseGpx("<kml><Document/></kml>", record).code, kErrHeader);
  EXPECT_EQ(parseGpx("<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2024", record).code,
            kErrRead);
  EXPECT_EQ(parseGpx("<gpx><trk></gpx>", record).code, kErrRead);
  EXPECT_EQ(parseGpx("<gpx></gpx>", record).code, kErrNoData);
  std::string deep = "<gpx>";
  for (int i = 0; i < 10000; ++i)
    deep += "<a>";
  EXPECT_LT(parseGpx(deep, record).code, 0);
  for (uint32_t seed = 1; seed <= 20; ++seed)
    EXPECT_LT(parseGpx("<gpx>" + RandomBytes(2048, seed), record).code, 0);
}

TEST(GpxReader, TrackCutShortKeepsThePointsBeforeTheCut) {
  SyntheticTrack track;
  track.duration = 2;
  std::string text = WriteGpx(track, false);
  for (size_t cut = 1; cut < text.size(); cut += text.size() / 37) {
    SCOPED_TRACE(cut);
    size_t complete = 0;
    for (size_t at = text.find("</trkpt>"); at != std::string::npos && at + 8 <= cut;
         at = text.find("</trkpt>", at + 1))
      ++complete;
    DataloggerRecord record;
    LogReadStatus status = parseGpx(text.substr(0, cut), record);
    if (complete < 2) {
      EXPECT_LT(status.code, 0);
      EXPECT_FALSE(status.message.empty());
    } else {
      ASSERT_TRUE(status.ok()) << status.message;
      EXPECT_EQ(record.rowCount(), complete);
      ASSERT_EQ(status.warnings.size(), 1u);
      EXPECT_NE(status.warnings[0].find("XML unreadable from line"), std::string::npos);
    }
  }
}

// A lap-timer app declares a Windows code page and writes its bytes
// (0x96 a dash, 0xFC u-umlaut, 0x81 no character of that page); other
// apps write other single-byte pages. Each reads like the UTF-8 original.
TEST(GpxReader, SingleByteEncodingsReadLikeTheUtf8Original) {
  SyntheticTrack track;
  track.duration = 3;
  std::string utf8 = WriteGpx(track, false);
  DataloggerRecord twin;
  ASSERT_TRUE(parseGpx(utf8, twin).ok());
  for (const char* encoding : {"windows-1252", "Windows-1250", "ISO-8859-15", "KOI8-R", "CP437", "cp1251"}) {
    SCOPED_TRACE(encoding);
    std::string text = utf8;
    text.replace(text.find("UTF-8"), 5, encoding);
    text.replace(text.find("Circle &amp; test"), 17, "Runde \x96 N\xfcrburgring \x81");
    DataloggerRecord record;
    LogReadStatus status = LogRegistryRead(WriteDatalogFile("laptimer.gpx", text), record);
    ASSERT_TRUE(status.ok()) << status.message << " line " << status.line;
    EXPECT_TRUE(SameColumns(record, twin));
  }
  // A name no converter knows is refused by that name, as is one that
  // spells a path or converter options.
  DataloggerRecord record;
  for (const char* name : {"x-lap-timer-9", "../../tmp/cp1252", "UTF-8//IGNORE"}) {
    std::string unknown = utf8;
    unknown.replace(unknown.find("UTF-8"), 5, name);
    LogReadStatus status = parseGpx(unknown, record);
    EXPECT_EQ(status.code, kErrHeader);
    EXPECT_EQ(status.message, std::string("unknown character encoding \"") + name + "\"");
  }
  // The same for training files.
  std::string tcx = "<?xml version='1.0' encoding='windows-1252'?><TrainingCenterDatabase><Activities>"
                    "<Activity><Notes>S\xe4ntis \x96 Runde</Notes><Lap><Track>"
                    "<Trackpoint><Time>2024-05-17T12:00:00Z</Time><DistanceMeters>0</DistanceMeters></Trackpoint>"
                    "<Trackpoint><Time>2024-05-17T12:00:01Z</Time><DistanceMeters>9.5</DistanceMeters></Trackpoint>"
                    "</Track></Lap></Activity></Activities></TrainingCenterDatabase>";
  ASSERT_TRUE(TcxLogReader().parse(tcx, record).ok());
  EXPECT_EQ(Cell(record, "Distance (m)", 1), 9.5);
  tcx.replace(tcx.find("windows-1252"), 12, "x-lap-timer-9");
  EXPECT_EQ(TcxLogReader().parse(tcx, record).message, "unknown character encoding \"x-lap-timer-9\"");
}

TEST(GpxReader, RegistryPrefersContent) {
  SyntheticTrack track;
  track.duration = 2;
  std::string path = WriteDatalogFile("track.txt", WriteGpx(track, false));
  const LogReader* reader = LogRegistryFindForFile(path);
  ASSERT_NE(reader, nullptr);
  EXPECT_STREQ(reader->name(), "GPX");
}

} // namespace
