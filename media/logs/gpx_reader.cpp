// GPX 1.0 and 1.1 tracks: <trkpt lat lon> with <time>, <ele>, GPX 1.0's
// <speed>/<course>/<hdop>/<sat>, and the common track-point extensions
// (heart rate, cadence, power, temperature, speed, course) matched by
// local name whatever their namespace prefix.
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

enum GpxColumn {
  kTime,
  kLat,
  kLon,
  kEle,
  kSpeed,
  kCourse,
  kHdop,
  kSats,
  kHeart,
  kCadence,
  kPower,
  kTemp,
  kColumnCount
};
const char* const kColumnNames[kColumnCount] = {
    "Time",  "Latitude",   "Longitude",  "Altitude",  "Speed (m/s)", "Heading",
    "HDOP",  "Satellites", "Heart Rate", "Cadence",   "Power",       "Temperature"};

int columnOfElement(const std::string& name) {
  if (name == "time")
    return kTime;
  if (name == "ele")
    return kEle;
  if (name == "speed")
    return kSpeed;
  if (name == "course")
    return kCourse;
  if (name == "hdop")
    return kHdop;
  if (name == "sat")
    return kSats;
  if (name == "hr" || name == "heartrate")
    return kHeart;
  if (name == "cad" || name == "cadence")
    return kCadence;
  if (name == "power" || name == "PowerInWatts")
    return kPower;
  if (name == "atemp" || name == "temp" || name == "wtemp")
    return kTemp;
  return -1;
}

using Point = std::array<double, kColumnCount>;

class GpxReader final : public LogReader {
public:
  const char* name() const override { return "GPX"; }

  int probe(std::string_view head, std::string_view extension) const override {
    bool xml = ContainsNoCase(head.substr(0, 512), "<?xml") || head.find('<') != std::string::npos;
    if (xml && head.find("<gpx") != std::string::npos)
      return 95;
    return extension == "gpx" ? 5 : 0;
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
    record.formatCode = kFormatGpx;
    record.formatName = "GPX";
    record.readerGeographic = true;
    std::array<bool, kColumnCount> keep{};
    for (int c = 0; c < kColumnCount; ++c)
      keep[c] = seen[c] || c <= kLon;
    LogAppendPointColumns(record, points, keep, kColumnNames);
    return {};
  }

private:
  static LogReadStatus scan(std::string_view data, std::vector<Point>& points,
                            std::array<bool, kColumnCount>& seen) {
    XmlScanner xml(data);
    bool rootSeen = false;
    bool inPoint = false;
    int column = -1;
    Point point{};
    for (;;) {
      XmlEvent event = xml.next();
      if (event == XmlEvent::kDone)
        break;
      if (event == XmlEvent::kError)
        return LogRefuse(kErrRead, "malformed XML: " + xml.error(), xml.line());
      if (event == XmlEvent::kStart) {
        if (!rootSeen) {
          if (xml.name() != "gpx")
            return LogRefuse(kErrHeader, "the root element is not <gpx>", xml.line());
          rootSeen = true;
        }
        if (xml.name() == "trkpt") {
          inPoint = startPoint(xml, point);
          column = -1;
        } else if (inPoint) {
          column = columnOfElement(xml.name());
        }
      } else if (event == XmlEvent::kText && inPoint && column >= 0) {
        storeValue(column, xml.text(), point);
      } else if (event == XmlEvent::kEnd) {
        if (xml.name() == "trkpt" && inPoint) {
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
      return LogRefuse(kErrHeader, "no <gpx> element");
    return {};
  }

  static bool startPoint(const XmlScanner& xml, Point& point) {
    point.fill(kNaN);
    double lat = 0, lon = 0;
    if (!ParseNumber(xml.attribute("lat"), lat) || !ParseNumber(xml.attribute("lon"), lon) ||
        std::fabs(lat) > 90 || std::fabs(lon) > 180)
      return false;
    point[kLat] = lat;
    point[kLon] = lon;
    return true;
  }

  static void storeValue(int column, const std::string& text, Point& point) {
    double value = 0;
    if (column == kTime) {
      if (ParseIsoDateTime(text, value))
        point[kTime] = value;
      return;
    }
    if (ParseNumber(text, value) && std::fabs(value) < 1e9)
      point[column] = value;
  }
};

} // namespace

const LogReader& GpxLogReader() {
  static const GpxReader reader;
  return reader;
}
