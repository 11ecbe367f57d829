// Training Center XML activities: <Trackpoint> with <Time>, <Position>
// (LatitudeDegrees, LongitudeDegrees), <AltitudeMeters>, <DistanceMeters>,
// <HeartRateBpm><Value>, <Cadence> and the TPX extension's <Speed> and
// <Watts>. The <Lap> a point belongs to becomes a lap column. A file that
// breaks off keeps the points before the break.
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

enum TcxColumn { kTime, kLat, kLon, kAlt, kDist, kHeart, kCadence, kSpeed, kPower, kLap, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"Time",       "Latitude", "Longitude",   "Altitude",
                                                "Distance (m)", "Heart Rate", "Cadence", "Speed (m/s)",
                                                "Power",      "Lap"};

// <Value> is the heart rate only inside <HeartRateBpm>.
constexpr LogElementColumn kElements[] = {
    {"Time", kTime},          {"LatitudeDegrees", kLat}, {"LongitudeDegrees", kLon},
    {"AltitudeMeters", kAlt}, {"DistanceMeters", kDist}, {"Cadence", kCadence},
    {"RunCadence", kCadence}, {"Speed", kSpeed},         {"Watts", kPower},
};

int columnOfElement(std::string_view name, bool inHeartRate) {
  if (name == "Value")
    return inHeartRate ? kHeart : -1;
  return LogColumnOfElement(kElements, name);
}

using Point = std::array<double, kColumnCount>;

constexpr XmlTrackFormat kTcx{kFormatTcx, "TCX", "TrainingCenterDatabase", kTime + 1};

class TcxPoints final : public XmlTrackPoints<kColumnCount> {
public:
  TcxPoints() : XmlTrackPoints(kTcx) {}

  bool start(std::string_view name, const char**) override {
    if (atRoot(name))
      return !foreignRoot;
    if (name == "Lap") {
      ++lap_;
    } else if (name == "Trackpoint") {
      inPoint_ = true;
      point_.fill(kNaN);
      point_[kLap] = lap_;
    } else if (name == "HeartRateBpm") {
      inHeartRate_ = true;
    }
    return true;
  }

  void end(std::string_view name, const std::string& text) override {
    if (name == "HeartRateBpm")
      inHeartRate_ = false;
    if (!inPoint_)
      return;
    if (name == "Trackpoint") {
      inPoint_ = false;
      track.add(point_);
    } else if (int column = columnOfElement(name, inHeartRate_); column >= 0) {
      store(column, text);
    }
  }

private:
  void store(int column, const std::string& text) {
    double value = 0;
    if (column == kTime) {
      if (ParseIsoDateTime(text, value))
        point_[kTime] = value;
      return;
    }
    if (!ParseNumber(text, value))
      return;
    if ((column == kLat && std::fabs(value) > 90) || (column == kLon && std::fabs(value) > 180) ||
        std::fabs(value) > 1e9)
      return;
    point_[column] = value;
  }

  bool inPoint_ = false, inHeartRate_ = false;
  int lap_ = 0;
  Point point_{};
};

class TcxReader final : public LogReader {
public:
  const char* name() const override { return kTcx.name; }

  int probe(std::string_view head, std::string_view extension) const override {
    if (head.find("<TrainingCenterDatabase") != std::string_view::npos)
      return 95;
    return extension == "tcx" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    return LogReadXmlTrack<TcxPoints>(data, kTcx, kColumnNames, record);
  }
};

} // namespace

const LogReader& TcxLogReader() {
  static const TcxReader reader;
  return reader;
}
