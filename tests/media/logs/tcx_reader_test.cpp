#include <gtest/gtest.h>

#include <algorithm>

#include "base/error.h"
#include "media/datalog/datalog_test_util.h"
#include "media/datalog/query.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_test_util.h"

namespace {

std::string trackpoint(int second, double lat, int hr, double speed) {
  char buffer[512];
  snprintf(buffer, sizeof buffer,
           "<Trackpoint><Time>2024-05-17T10:00:%02dZ</Time><Position><LatitudeDegrees>%.6f</LatitudeDegrees>"
           "<LongitudeDegrees>-1.5</LongitudeDegrees></Position><AltitudeMeters>50.5</AltitudeMeters>"
           "<DistanceMeters>%d</DistanceMeters><HeartRateBpm><Value>%d</Value></HeartRateBpm>"
           "<Extensions><ns3:TPX><ns3:Speed>%.2f</ns3:Speed></ns3:TPX></Extensions></Trackpoint>",
           second, lat, second * 5, hr, speed);
  return buffer;
}

std::string activity() {
  std::string text = "<?xml version=\"1.0\"?>\n<TrainingCenterDatabase xmlns=\"x\"><Activities><Activity Sport=\"Biking\">"
                     "<Id>2024-05-17T10:00:00Z</Id><Lap StartTime=\"2024-05-17T10:00:00Z\"><Track>";
  for (int s = 0; s < 10; ++s)
    text += trackpoint(s, 52 + s * 1e-4, 100 + s, 5.0);
  text += "</Track></Lap><Lap StartTime=\"2024-05-17T10:00:10Z\"><Track>";
  for (int s = 10; s < 20; ++s)
    text += trackpoint(s, 52 + s * 1e-4, 100 + s, 6.0);
  text += "<Trackpoint><AltitudeMeters>1</AltitudeMeters></Trackpoint>";
  text += "</Track></Lap></Activity></Activities></TrainingCenterDatabase>\n";
  return text;
}

TEST(TcxReader, TrackpointsLapsAndExtensions) {
  DataloggerRecord record;
  LogReadStatus status = TcxLogReader().parse(activity(), record);
  ASSERT_TRUE(status.ok()) << status.message;
  ASSERT_EQ(record.rowCount(), 20u); // the point without a time is skipped
  EXPECT_NEAR(Cell(record, "Latitude", 5), 52.0005, 1e-9);
  EXPECT_NEAR(Cell(record, "Longitude", 5), -1.5, 1e-12);
  EXPECT_EQ(Cell(record, "Heart Rate", 7), 107);
  EXPECT_NEAR(Cell(record, "Speed (m/s)", 15), 6.0, 1e-12);
  EXPECT_EQ(Cell(record, "Distance (m)", 3), 15);
  ASSERT_EQ(DataloggerProcess(record, NewDataStruct()), 0);
  EXPECT_EQ(DataloggerValueAt(record, kQueryLapCount, 0), 1);
  EXPECT_NEAR(DataloggerValueAt(record, kQueryLapStart, 1), 10, 1e-9);
  EXPECT_NEAR(DataloggerValueAt(record, kQuerySpeed, 12.5), 6.0 * 2.236936292, 1e-6);
}

TEST(TcxReader, RefusesOtherXmlAndKeepsPointsBeforeACut) {
  DataloggerRecord record;
  const LogReader& reader = TcxLogReader();
  EXPECT_EQ(reader.parse("<gpx></gpx>", record).code, kErrHeader);
  EXPECT_EQ(reader.parse("<TrainingCenterDatabase></TrainingCenterDatabase>", record).code, kErrNoData);
  std::string text = activity();
  for (size_t cut = 10; cut < text.size() - 5; cut += text.size() / 23) {
    size_t complete = 0;
    for (size_t at = text.find("</Trackpoint>"); at != std::string::npos && at + 13 <= cut;
         at = text.find("</Trackpoint>", at + 1))
      ++complete;
    complete = std::min<size_t>(complete, 20); // the 21st point has no time
    LogReadStatus status = reader.parse(text.substr(0, cut), record);
    EXPECT_EQ(status.ok(), complete >= 2) << cut;
    EXPECT_EQ(status.ok() ? record.rowCount() : complete, complete) << cut;
  }
  EXPECT_EQ(reader.probe(text, "xml"), 95);
}

} // namespace
