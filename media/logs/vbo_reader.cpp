// VBOX-style sectioned text logs (".vbo"): "[header]" lists the channels,
// "[column names]" names the columns, "[data]" holds blank-separated rows.
// Time is UTC "hhmmss.ss", latitude and longitude are in minutes with
// longitude positive towards the west, velocity in km/h.
#include <cmath>
#include <string>

#include "engine/base/error.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

enum class Kind { kPlain, kTime, kLat, kLon };

struct VboColumn {
  std::string name;
  Kind kind = Kind::kPlain;
};

std::vector<std::string_view> splitBlanks(std::string_view line) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
      ++i;
    if (i > start)
      parts.push_back(line.substr(start, i - start));
  }
  return parts;
}

VboColumn describe(std::string_view raw) {
  std::string lower = LowerAscii(raw);
  if (lower == "time" || lower == "utc")
    return {"Time", Kind::kTime};
  if (lower == "lat" || lower == "latitude")
    return {"Latitude", Kind::kLat};
  if (lower == "long" || lower == "longitude" || lower == "lon")
    return {"Longitude", Kind::kLon};
  if (lower == "velocity" || lower == "velocity kmh" || lower == "speed")
    return {"Speed (km/h)", Kind::kPlain};
  if (lower == "heading")
    return {"Heading", Kind::kPlain};
  if (lower == "height" || lower == "altitude")
    return {"Altitude", Kind::kPlain};
  return {std::string(raw), Kind::kPlain};
}

double hhmmssToSeconds(double raw) {
  double hh = std::floor(raw / 10000.0);
  double mm = std::floor((raw - hh * 10000.0) / 100.0);
  return hh * 3600 + mm * 60 + (raw - hh * 10000.0 - mm * 100.0);
}

class VboReader final : public LogReader {
public:
  const char* name() const override { return "VBO"; }

  int probe(std::string_view head, std::string_view extension) const override {
    bool header = ContainsNoCase(head, "[header]");
    bool data = ContainsNoCase(head, "[data]") || ContainsNoCase(head, "[column names]");
    if (header && data)
      return 90;
    if (header)
      return extension == "vbo" ? 70 : 30;
    return extension == "vbo" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view text, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    record.formatCode = kFormatVbo;
    record.formatName = "VBOX";
    std::vector<std::string_view> lines = SplitLines(text);
    std::vector<std::string_view> headerNames;
    std::vector<VboColumn> columns;
    std::string section;
    size_t lineNo = 0;
    for (; lineNo < lines.size(); ++lineNo) {
      std::string_view line = TrimBlanks(lines[lineNo]);
      if (line.empty())
        continue;
      if (line.front() == '[' && line.back() == ']') {
        section = LowerAscii(line);
        if (section == "[data]")
          break;
        continue;
      }
      if (section == "[header]" && headerNames.size() < kMaxLogFields)
        headerNames.push_back(line);
      else if (section == "[column names]" && columns.empty())
        for (std::string_view name : splitBlanks(line))
          if (columns.size() < kMaxLogFields)
            columns.push_back(describe(name));
    }
    if (lineNo >= lines.size())
      return LogRefuse(kErrHeader, "no [data] section");
    if (columns.empty())
      for (std::string_view name : headerNames)
        columns.push_back(describe(name));
    if (columns.empty())
      return LogRefuse(kErrHeader, "no column names", static_cast<int>(lineNo) + 1);
    for (size_t c = 0; c < columns.size(); ++c) {
      record.addField(columns[c].name);
      if (columns[c].kind == Kind::kTime && record.timeField < 0)
        record.timeField = static_cast<int>(c);
      if (columns[c].kind == Kind::kLat)
        record.readerGeographic = true;
    }
    readRows(lines, lineNo + 1, columns, record);
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two data rows");
    return {};
  }

private:
  static void readRows(const std::vector<std::string_view>& lines, size_t first,
                       const std::vector<VboColumn>& columns, DataloggerRecord& record) {
    std::vector<double> row(columns.size());
    double dayCarry = 0, lastTod = -1;
    for (size_t i = first; i < lines.size() && LogHasRoomForRow(record); ++i) {
      std::vector<std::string_view> cells = splitBlanks(lines[i]);
      if (cells.size() < columns.size())
        continue;
      bool usable = true;
      for (size_t c = 0; c < columns.size(); ++c) {
        double v = 0;
        if (!ParseNumber(cells[c], v)) {
          usable = false; // rows of a VBOX log hold numbers only
          break;
        }
        switch (columns[c].kind) {
        case Kind::kTime:
          if (std::isnan(v) || v < 0 || v >= 240000) {
            usable = false;
            break;
          }
          v = hhmmssToSeconds(v);
          if (lastTod >= 0 && v + 43200 < lastTod)
            dayCarry += 86400;
          lastTod = v;
          v += dayCarry;
          break;
        case Kind::kLat:
          v = std::fabs(v) <= 90 * 60 ? v / 60.0 : std::numeric_limits<double>::quiet_NaN();
          break;
        case Kind::kLon:
          v = std::fabs(v) <= 180 * 60 ? -v / 60.0 : std::numeric_limits<double>::quiet_NaN();
          break;
        case Kind::kPlain:
          break;
        }
        row[c] = v;
      }
      if (usable)
        record.appendRow(row);
    }
  }
};

} // namespace

const LogReader& VboLogReader() {
  static const VboReader reader;
  return reader;
}
