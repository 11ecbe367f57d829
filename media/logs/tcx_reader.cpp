// Training Center XML activities: <Trackpoint> with <Time>, <Position>
// (LatitudeDegrees, LongitudeDegrees), <AltitudeMeters>, <DistanceMeters>,
// <HeartRateBpm><Value>, <Cadence> and the TPX extension's <Speed> and
// <Watts>. The <Lap> a point belongs to becomes a lap column.
#include <array>
#include <cmath>
#include <string>

#include "engine/base/error.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"
#include "media/logs/point_columns.h"
#include "media/logs/xml_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum TcxColumn { kTime, kLat, kLon, kAlt, kDist, kHeart, kCadence, kSpeed, kPower, kLap, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"Time",       "Latitude", "Longitude",   "Altitude",
                                                "Distance (m)", "Heart Rate", "Cadence", "Speed (m/s)",
                                                "Power",      "Lap"};

int columnOfElement(const std::string& name, bool inHeartRate) {
  if (name == "Time")
    return kTime;
  if (name == "LatitudeDegrees")
    return kLat;
  if (name == "LongitudeDegrees")
    return kLon;
  if (name == "AltitudeMeters")
    return kAlt;
  if (name == "DistanceMeters")
    return kDist;
  if (name == "Value" && inHeartRate)
    return kHeart;
  if (name == "Cadence" || name == "RunCadence")
    return kCadence;
  if (name == "Speed")
    return kSpeed;
  if (name == "Watts")
    return kPower;
  return -1;
}

using Point = std::array<double, kColumnCount>;

class TcxReader final : public LogReader {
public:
  const char* name() const override { return "TCX"; }

  int probe(std::string_view head, std::string_view extension) const override {
    if (head.find("<TrainingCenterDatabase") != std::string_view::npos)
      return 95;
    return extension == "tcx" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    std::vector<Point> points;
    std::array<bool, kColumnCount> seen{};
    LogReadStatus status = scan(data, points, seen);
    if (!status.ok())
      return status;
    if (points.size() < 2)
      return LogRefuse(kErrNoData, "fewer than two timed track points");
    record.formatCode = kFormatTcx;
    record.formatName = "TCX";
    record.readerGeographic = true;
    std::array<bool, kColumnCount> keep{};
    for (int c = 0; c < kColumnCount; ++c)
      keep[c] = seen[c] || c == kTime;
    LogAppendPointColumns(record, points, keep, kColumnNames);
    return {};
  }

private:
  static LogReadStatus scan(std::string_view data, std::vector<Point>& points,
                            std::array<bool, kColumnCount>& seen) {
    XmlScanner xml(data);
    bool rootSeen = false, inPoint = false, inHeartRate = false;
    int column = -1, lap = 0;
    Point point{};
    for (;;) {
      XmlEvent event = xml.next();
      if (event == XmlEvent::kDone)
        break;
      if (event == XmlEvent::kError)
        return LogRefuse(kErrRead, "malformed XML: " + xml.error(), xml.line());
      const std::string& name = xml.name();
      if (event == XmlEvent::kStart) {
        if (!rootSeen && name != "TrainingCenterDatabase")
          return LogRefuse(kErrHeader, "the root element is not <TrainingCenterDatabase>", xml.line());
        rootSeen = true;
        if (name == "Lap")
          ++lap;
        else if (name == "Trackpoint") {
          inPoint = true;
          point.fill(kNaN);
          point[kLap] = lap;
        } else if (name == "HeartRateBpm")
          inHeartRate = true;
        column = inPoint ? columnOfElement(name, inHeartRate) : -1;
      } else if (event == XmlEvent::kText && inPoint && column >= 0) {
        store(column, xml.text(), point);
      } else if (event == XmlEvent::kEnd) {
        if (name == "HeartRateBpm")
          inHeartRate = false;
        if (name == "Trackpoint" && inPoint) {
          inPoint = false;
          if (!std::isnan(point[kTime]) && points.size() < kMaxLogCells / kColumnCount) {
            points.push_back(point);
            for (int c = 0; c < kColumnCount; ++c)
              seen[c] = seen[c] || !std::isnan(point[c]);
          }
        }
        column = -1;
      }
    }
    if (!rootSeen)
      return LogRefuse(kErrHeader, "no <TrainingCenterDatabase> element");
    return {};
  }

  static void store(int column, const std::string& text, Point& point) {
    double value = 0;
    if (column == kTime) {
      if (ParseIsoDateTime(text, value))
        point[kTime] = value;
      return;
    }
    if (!ParseNumber(text, value))
      return;
    if ((column == kLat && std::fabs(value) > 90) || (column == kLon && std::fabs(value) > 180) ||
        std::fabs(value) > 1e9)
      return;
    point[column] = value;
  }
};

} // namespace

const LogReader& TcxLogReader() {
  static const TcxReader reader;
  return reader;
}
