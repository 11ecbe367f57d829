// GPX 1.0 and 1.1 tracks: <trkpt lat lon> with <time>, <ele>, GPX 1.0's
// <speed>/<course>/<hdop>/<sat>, and the common track-point extensions
// (heart rate, cadence, power, temperature, speed, course) matched by
// local name whatever their namespace prefix. A file that breaks off
// (a recording cut short) keeps the points before the break.
#include <array>
#include <cmath>
#include <string>

#include "base/error.h"
#include "media/logs/log_readers.h"
#include "media/logs/point_columns.h"
#include "media/logs/text_scan.h"
#include "media/logs/xml_events.h"

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

constexpr LogElementColumn kElements[] = {
    {"time", kTime},   {"ele", kEle},         {"speed", kSpeed},         {"course", kCourse},
    {"hdop", kHdop},   {"sat", kSats},        {"hr", kHeart},            {"heartrate", kHeart},
    {"cad", kCadence}, {"cadence", kCadence}, {"power", kPower},         {"PowerInWatts", kPower},
    {"atemp", kTemp},  {"temp", kTemp},       {"wtemp", kTemp},
};

using Point = std::array<double, kColumnCount>;

constexpr XmlTrackFormat kGpx{kFormatGpx, "GPX", "gpx", kLon + 1};

class GpxPoints final : public XmlTrackPoints<kColumnCount> {
public:
  GpxPoints() : XmlTrackPoints(kGpx) {}

  bool start(std::string_view name, const char** attributes) override {
    if (atRoot(name))
      return !foreignRoot;
    if (name == "trkpt")
      inPoint_ = startPoint(attributes);
    return true;
  }

  void end(std::string_view name, const std::string& text) override {
    if (!inPoint_)
      return;
    if (name == "trkpt") {
      inPoint_ = false;
      track.add(point_);
    } else if (int column = LogColumnOfElement(kElements, name); column >= 0) {
      storeValue(column, text);
    }
  }

private:
  bool startPoint(const char** attributes) {
    point_.fill(kNaN);
    double lat = 0, lon = 0;
    if (!ParseNumber(XmlAttribute(attributes, "lat"), lat) ||
        !ParseNumber(XmlAttribute(attributes, "lon"), lon) || std::fabs(lat) > 90 || std::fabs(lon) > 180)
      return false;
    point_[kLat] = lat;
    point_[kLon] = lon;
    return true;
  }

  void storeValue(int column, const std::string& text) {
    double value = 0;
    if (column == kTime) {
      if (ParseIsoDateTime(text, value))
        point_[kTime] = value;
      return;
    }
    if (ParseNumber(text, value) && std::fabs(value) < 1e9)
      point_[column] = value;
  }

  bool inPoint_ = false;
  Point point_{};
};

class GpxReader final : public LogReader {
public:
  const char* name() const override { return kGpx.name; }

  int probe(std::string_view head, std::string_view extension) const override {
    if (head.find('<') != std::string::npos && head.find("<gpx") != std::string::npos)
      return 95;
    return extension == "gpx" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    return LogReadXmlTrack<GpxPoints>(data, kGpx, kColumnNames, record);
  }
};

} // namespace

const LogReader& GpxLogReader() {
  static const GpxReader reader;
  return reader;
}
