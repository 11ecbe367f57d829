// NMEA 0183 sentences from GPS receivers: RMC, GGA, VTG and GSA of any
// talker (GP, GN, GL, GA, BD...). Sentences of one fix share a UTC time;
// a checksum that is present must match, else the sentence is skipped.
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum NmeaColumn { kTime, kLat, kLon, kAlt, kSpeed, kCourse, kHdop, kSats, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"Time",      "Latitude", "Longitude",
                                                "Altitude",  "Speed (kn)", "Heading",
                                                "HDOP",      "Satellites"};

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// The sentence body between '$' and '*', or empty when the checksum fails.
bool sentenceBody(std::string_view line, std::string_view& body) {
  size_t dollar = line.find('$');
  if (dollar == std::string_view::npos)
    return false;
  line = TrimBlanks(line.substr(dollar + 1));
  size_t star = line.find('*');
  if (star == std::string_view::npos) {
    body = line;
    return !body.empty();
  }
  if (star + 3 > line.size())
    return false;
  int hi = hexValue(line[star + 1]), lo = hexValue(line[star + 2]);
  if (hi < 0 || lo < 0)
    return false;
  unsigned sum = 0;
  for (size_t i = 0; i < star; ++i)
    sum ^= static_cast<unsigned char>(line[i]);
  if (sum != static_cast<unsigned>(hi * 16 + lo))
    return false;
  body = line.substr(0, star);
  return true;
}

std::vector<std::string_view> splitFields(std::string_view body) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t i = 0; i <= body.size(); ++i) {
    if (i == body.size() || body[i] == ',') {
      fields.push_back(body.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

std::string_view fieldAt(const std::vector<std::string_view>& f, size_t i) {
  return i < f.size() ? f[i] : std::string_view();
}

// "ddmm.mmmm" with its hemisphere into signed degrees.
bool parseAngle(std::string_view text, std::string_view hemisphere, double limit, double& deg) {
  double raw = 0;
  if (!ParseNumber(text, raw) || raw < 0)
    return false;
  double whole = std::floor(raw / 100.0);
  double minutes = raw - whole * 100.0;
  if (minutes >= 60.0)
    return false;
  deg = whole + minutes / 60.0;
  if (hemisphere == "S" || hemisphere == "W")
    deg = -deg;
  else if (hemisphere != "N" && hemisphere != "E")
    return false;
  return std::fabs(deg) <= limit;
}

// "hhmmss(.ss)" into seconds of the day.
bool parseUtc(std::string_view text, double& seconds) {
  double raw = 0;
  if (text.size() < 6 || !ParseNumber(text, raw) || raw < 0 || raw >= 240000)
    return false;
  double hh = std::floor(raw / 10000.0);
  double mm = std::floor((raw - hh * 10000.0) / 100.0);
  double ss = raw - hh * 10000.0 - mm * 100.0;
  if (hh > 23 || mm > 59 || ss >= 61)
    return false;
  seconds = hh * 3600 + mm * 60 + ss;
  return true;
}

// "ddmmyy" into days since 1970 (years 80-99 in the 1900s).
bool parseDate(std::string_view text, long long& days) {
  if (text.size() != 6)
    return false;
  int v[3];
  for (int k = 0; k < 3; ++k) {
    char a = text[2 * k], b = text[2 * k + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
      return false;
    v[k] = (a - '0') * 10 + (b - '0');
  }
  if (v[0] < 1 || v[0] > 31 || v[1] < 1 || v[1] > 12)
    return false;
  int year = v[2] >= 80 ? 1900 + v[2] : 2000 + v[2];
  days = DaysFromCivil(year, static_cast<unsigned>(v[1]), static_cast<unsigned>(v[0]));
  return true;
}

// One fix being gathered from the sentences that share its time.
struct Epoch {
  double tod = -1;
  double values[kColumnCount];
  bool hasFix = false;
  long long days = -1;
  void reset(double time) {
    tod = time;
    for (double& v : values)
      v = kNaN;
    hasFix = false;
    days = -1;
  }
};

class NmeaParser {
public:
  explicit NmeaParser(DataloggerRecord& record) : record_(record) {
    for (const char* name : kColumnNames)
      record_.addField(name);
    epoch_.reset(-1);
  }

  void sentence(std::string_view body) {
    std::vector<std::string_view> f = splitFields(body);
    std::string_view id = f[0];
    if (id.size() < 5)
      return;
    std::string_view type = id.substr(id.size() - 3);
    if (type == "RMC")
      rmc(f);
    else if (type == "GGA")
      gga(f);
    else if (type == "VTG")
      vtg(f);
    else if (type == "GSA")
      gsa(f);
  }

  void finish() { flush(); }
  size_t sentences() const { return sentences_; }

private:
  bool startEpoch(std::string_view timeText) {
    double tod = 0;
    if (!parseUtc(timeText, tod))
      return false;
    if (tod != epoch_.tod) {
      flush();
      epoch_.reset(tod);
    }
    ++sentences_;
    return true;
  }

  // Latitude and longitude, each a value field and its hemisphere, from
  // field `first` on; false (the epoch unchanged) when either is invalid.
  bool setFix(const std::vector<std::string_view>& f, size_t first) {
    double lat, lon;
    if (!parseAngle(fieldAt(f, first), fieldAt(f, first + 1), 90, lat) ||
        !parseAngle(fieldAt(f, first + 2), fieldAt(f, first + 3), 180, lon))
      return false;
    epoch_.values[kLat] = lat;
    epoch_.values[kLon] = lon;
    epoch_.hasFix = true;
    return true;
  }

  void rmc(const std::vector<std::string_view>& f) {
    if (!startEpoch(fieldAt(f, 1)))
      return;
    long long days = 0;
    if (parseDate(fieldAt(f, 9), days))
      epoch_.days = days;
    if (fieldAt(f, 2) != "A" || !setFix(f, 3))
      return;
    setNumber(kSpeed, fieldAt(f, 7), 0, 2000);
    setNumber(kCourse, fieldAt(f, 8), 0, 360);
  }

  void gga(const std::vector<std::string_view>& f) {
    if (!startEpoch(fieldAt(f, 1)))
      return;
    double quality = 0;
    if (!ParseNumber(fieldAt(f, 6), quality) || quality < 1 || !setFix(f, 2))
      return;
    setNumber(kSats, fieldAt(f, 7), 0, 200);
    setNumber(kHdop, fieldAt(f, 8), 0, 100);
    setNumber(kAlt, fieldAt(f, 9), -1000, 100000);
  }

  void vtg(const std::vector<std::string_view>& f) {
    if (epoch_.tod < 0)
      return;
    setNumber(kCourse, fieldAt(f, 1), 0, 360);
    setNumber(kSpeed, fieldAt(f, 5), 0, 2000);
  }

  void gsa(const std::vector<std::string_view>& f) {
    if (epoch_.tod >= 0 && std::isnan(epoch_.values[kHdop]))
      setNumber(kHdop, fieldAt(f, 16), 0, 100);
  }

  void setNumber(int column, std::string_view text, double low, double high) {
    double v = 0;
    if (ParseNumber(text, v) && v >= low && v <= high)
      epoch_.values[column] = v;
  }

  // Seconds on one running clock: the date when sentences carry it, else
  // a day added whenever the time of day runs backwards past midnight.
  double absoluteTime() {
    if (epoch_.days >= 0)
      lastDays_ = epoch_.days;
    if (lastDays_ >= 0)
      return lastDays_ * 86400.0 + epoch_.tod;
    if (lastTod_ >= 0 && epoch_.tod + 43200.0 < lastTod_)
      dayCarry_ += 86400.0;
    lastTod_ = epoch_.tod;
    return dayCarry_ + epoch_.tod;
  }

  void flush() {
    if (epoch_.tod < 0 || !epoch_.hasFix)
      return;
    if (!LogHasRoomForRow(record_))
      return;
    epoch_.values[kTime] = absoluteTime();
    record_.appendRow(std::vector<double>(epoch_.values, epoch_.values + kColumnCount));
    epoch_.hasFix = false;
  }

  DataloggerRecord& record_;
  Epoch epoch_;
  long long lastDays_ = -1;
  double lastTod_ = -1;
  double dayCarry_ = 0;
  size_t sentences_ = 0;
};

class NmeaReader final : public LogReader {
public:
  const char* name() const override { return "NMEA"; }

  int probe(std::string_view head, std::string_view extension) const override {
    int good = 0;
    for (std::string_view line : SplitLines(head)) {
      std::string_view body;
      if (sentenceBody(line, body) && body.size() >= 5 && body[0] >= 'A' && body[0] <= 'Z') {
        std::string_view type = body.substr(2, 3);
        if (type == "RMC" || type == "GGA" || type == "VTG" || type == "GSA" || type == "GSV")
          ++good;
      }
    }
    if (good >= 2)
      return 90;
    if (good == 1)
      return 60;
    return (extension == "nmea" || extension == "nma") ? 5 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    record.formatCode = kFormatNmea;
    record.formatName = "NMEA 0183";
    record.timeField = kTime;
    record.readerGeographic = true;
    NmeaParser parser(record);
    size_t damaged = 0;
    for (std::string_view line : SplitLines(data)) {
      std::string_view body;
      if (sentenceBody(line, body))
        parser.sentence(body);
      else
        damaged += line.find('$') != std::string_view::npos;
    }
    parser.finish();
    if (parser.sentences() == 0)
      return LogRefuse(kErrHeader, "no NMEA sentences with a time");
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two GPS fixes");
    record.dropEmptyColumns(kAlt); // sentences the receiver never sent
    LogReadStatus status;
    status.skipped(damaged, "sentences with a wrong checksum or cut short");
    return status;
  }
};

} // namespace

const LogReader& NmeaLogReader() {
  static const NmeaReader reader;
  return reader;
}
