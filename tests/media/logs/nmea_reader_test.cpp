#include <gtest/gtest.h>

#include <cmath>

#include "base/error.h"
#include "media/datalog/synthetic_track.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_registry.h"
#include "media/logs/log_test_util.h"

namespace {

LogReadStatus parseNmea(const std::string& text, DataloggerRecord& record) {
  return NmeaLogReader().parse(text, record);
}

TEST(NmeaReader, SyntheticTrackGivesOneRowPerFix) {
  SyntheticTrack track;
  track.duration = 5;
  DataloggerRecord record;
  LogReadStatus status = parseNmea(WriteNmea(track), record);
  ASSERT_TRUE(status.ok()) << status.message;
  std::vector<TrackSample> samples = track.samples();
  ASSERT_EQ(record.rowCount(), samples.size());
  EXPECT_EQ(record.formatCode, kFormatNmea);
  for (size_t i = 0; i < samples.size(); i += 7) {
    EXPECT_NEAR(Cell(record, "Latitude", i), samples[i].lat, 1e-7);
    EXPECT_NEAR(Cell(record, "Longitude", i), samples[i].lon, 1e-7);
    EXPECT_NEAR(Cell(record, "Speed (kn)", i), samples[i].speedMs / 0.514444, 1e-3);
    EXPECT_NEAR(Cell(record, "Altitude", i), 120.0, 1e-9);
    EXPECT_NEAR(Cell(record, "Time", i) - Cell(record, "Time", 0), samples[i].t, 1e-6);
  }
  EXPECT_NEAR(Cell(record, "HDOP", 0), 0.9, 1e-9);
  EXPECT_NEAR(Cell(record, "Satellites", 0), 9, 1e-9);
}

TEST(NmeaReader, WrongChecksumSkipsTheSentence) {
  std::string text = "$GPGGA,120000.00,5200.0000,N,00100.0000,W,1,08,1.0,10.0,M,0,M,,*00\r\n"
                     "$GPGGA,120001.00,5200.0010,N,00100.0000,W,1,08,1.0,10.0,M,0,M,,\r\n"
                     "$GPGGA,120002.00,5200.0020,N,00100.0000,W,1,08,1.0,10.0,M,0,M,,\r\n";
  DataloggerRecord record;
  LogReadStatus status = parseNmea(text, record);
  ASSERT_TRUE(status.ok());
  EXPECT_EQ(status.warnings, std::vector<std::string>{"sentences with a wrong checksum or cut short skipped: 1"});
  ASSERT_EQ(record.rowCount(), 2u);
  EXPECT_NEAR(Cell(record, "Time", 0), 12 * 3600 + 1, 1e-9);
  EXPECT_NEAR(Cell(record, "Longitude", 0), -1.0, 1e-12);
}

TEST(NmeaReader, TalkersAndVtgGSAFillTheSameFix) {
  std::string text = "$GNGGA,000000.0,4530.0000,S,17030.0000,E,2,12,1.5,5.0,M,0,M,,\n"
                     "$GNVTG,45.0,T,,M,10.0,N,18.5,K,A\n"
                     "$GNGGA,000001.0,4530.0000,S,17030.0000,E,2,12,1.5,5.0,M,0,M,,\n"
                     "$GLVTG,46.0,T,,M,11.0,N,20.4,K,A\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseNmea(text, record).ok());
  ASSERT_EQ(record.rowCount(), 2u);
  EXPECT_NEAR(Cell(record, "Latitude", 0), -45.5, 1e-12);
  EXPECT_NEAR(Cell(record, "Longitude", 0), 170.5, 1e-12);
  EXPECT_NEAR(Cell(record, "Heading", 1), 46.0, 1e-12);
  EXPECT_NEAR(Cell(record, "Speed (kn)", 1), 11.0, 1e-12);
}

TEST(NmeaReader, MidnightRollsTheDayWithoutDates) {
  std::string text = "$GPGGA,235959.5,5200.0,N,00100.0,E,1,08,1.0,10.0,M,0,M,,\n"
                     "$GPGGA,000000.0,5200.0,N,00100.0,E,1,08,1.0,10.0,M,0,M,,\n"
                     "$GPGGA,000000.5,5200.0,N,00100.0,E,1,08,1.0,10.0,M,0,M,,\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseNmea(text, record).ok());
  ASSERT_EQ(record.rowCount(), 3u);
  EXPECT_NEAR(Cell(record, "Time", 1) - Cell(record, "Time", 0), 0.5, 1e-9);
  EXPECT_NEAR(Cell(record, "Time", 2) - Cell(record, "Time", 0), 1.0, 1e-9);
}

TEST(NmeaReader, MidnightWithDatesUsesTheDate) {
  std::string text = "$GPRMC,235959.5,A,5200.0,N,00100.0,E,1.0,90.0,311224,,,A\n"
                     "$GPRMC,000000.0,A,5200.0,N,00100.0,E,1.0,90.0,010125,,,A\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseNmea(text, record).ok());
  ASSERT_EQ(record.rowCount(), 2u);
  EXPECT_NEAR(Cell(record, "Time", 1) - Cell(record, "Time", 0), 0.5, 1e-6);
  // RMC carries no altitude, accuracy or satellites: those columns go.
  EXPECT_EQ(FieldIndex(record, "Altitude"), -1);
  EXPECT_EQ(FieldIndex(record, "HDOP"), -1);
  EXPECT_GE(FieldIndex(record, "Heading"), 0);
}

TEST(NmeaReader, FixesWithoutPositionAreSkipped) {
  std::string text = "$GPRMC,120000,V,,,,,,,170524,,,N\n"
                     "$GPGGA,120001,5200.0,N,00100.0,E,0,00,,,M,,M,,\n"
                     "$GPRMC,120002,A,5200.0,N,00100.0,E,1.0,90.0,170524,,,A\n"
                     "$GPRMC,120003,A,5200.1,N,00100.0,E,1.0,90.0,170524,,,A\n"
                     "$GPRMC,120004,A,9900.1,N,00100.0,E,1.0,90.0,170524,,,A\n";
  DataloggerRecord record;
  ASSERT_TRUE(parseNmea(text, record).ok());
  EXPECT_EQ(record.rowCount(), 2u);
}

TEST(NmeaReader, RefusesFilesWithoutFixes) {
  DataloggerRecord record;
  EXPECT_EQ(parseNmea("", record).code, kErrHeader);
  EXPECT_EQ(parseNmea("hello world\nno sentences\n", record).code, kErrHeader);
  EXPECT_EQ(parseNmea("$GPRMC,120000,V,,,,,,,170524,,,N\n", record).code, kErrNoData);
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    LogReadStatus status = parseNmea(RandomBytes(4096, seed), record);
    EXPECT_LT(status.code, 0);
    EXPECT_FALSE(status.message.empty());
  }
}

TEST(NmeaReader, TruncatedFileKeepsTheCompleteFixes) {
  SyntheticTrack track;
  track.duration = 3;
  std::string text = WriteNmea(track);
  for (size_t cut : {text.size() / 3, text.size() / 2, text.size() - 7}) {
    DataloggerRecord record;
    LogReadStatus status = parseNmea(text.substr(0, cut), record);
    ASSERT_TRUE(status.ok()) << cut;
    EXPECT_LE(record.rowCount(), track.samples().size());
    EXPECT_GE(record.rowCount(), 2u);
  }
}

TEST(NmeaReader, RegistryPicksNmeaByContentWhateverTheExtension) {
  SyntheticTrack track;
  track.duration = 2;
  std::string path = WriteDatalogFile("track.csv", WriteNmea(track));
  const LogReader* reader = LogRegistryFindForFile(path);
  ASSERT_NE(reader, nullptr);
  EXPECT_STREQ(reader->name(), "NMEA");
  DataloggerRecord record;
  EXPECT_TRUE(LogRegistryRead(path, record).ok());
}

} // namespace

// A camera's video can carry its NMEA track in its first bytes; the file is
// still the video and must reach the media readers, not the log readers.
TEST(NmeaReader, VideoContainerWithGpsTextIsNoLog) {
  SyntheticTrack track;
  track.duration = 2;
  const std::string nmea = WriteNmea(track);
  const std::string mp4 = std::string("\0\0\0\x18" "ftypmp42\0\0\0\0mp42isom", 24) + nmea;
  const std::string ts = std::string(1, '\x47') + nmea.substr(0, 187) + '\x47' + nmea;
  EXPECT_EQ(LogRegistryFind(nmea, "nmea"), &NmeaLogReader());
  EXPECT_EQ(LogRegistryFind(mp4, "mp4"), nullptr);
  EXPECT_EQ(LogRegistryFind(std::string("RIFF\x10\0\0\0AVI ", 12) + nmea, "avi"), nullptr);
  EXPECT_EQ(LogRegistryFind(ts, "ts"), nullptr);
}
