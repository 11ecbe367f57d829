// VBOX-style sectioned text logs (".vbo"): "[header]" lists the channels,
// "[column names]" names the columns, "[data]" holds blank-separated rows.
// Time is UTC "hhmmss.ss", latitude and longitude are in minutes with
// longitude positive towards the west, velocity in km/h. A cell that is
// not a number is a gap; a row without its time is skipped.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>

#include "base/error.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

VboColumn describe(const std::string& raw) {
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
  return {raw, Kind::kPlain};
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
    std::vector<std::string_view> headerNames, tokens;
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
      else if (section == "[column names]" && tokens.empty())
        tokens = splitBlanks(line);
    }
    if (lineNo >= lines.size())
      return LogRefuse(kErrHeader, "no [data] section");
    if (tokens.empty() && headerNames.empty())
      return LogRefuse(kErrHeader, "no column names", static_cast<int>(lineNo) + 1);
    size_t width = dataWidth(lines, lineNo + 1);
    if (width == 0)
      width = tokens.empty() ? headerNames.size() : tokens.size();
    LogReadStatus status;
    std::vector<VboColumn> columns = matchNames(tokens, headerNames, std::min<size_t>(width, kMaxLogFields), status);
    for (size_t c = 0; c < columns.size(); ++c) {
      record.addField(columns[c].name);
      if (columns[c].kind == Kind::kTime && record.timeField < 0)
        record.timeField = static_cast<int>(c);
      if (columns[c].kind == Kind::kLat)
        record.readerGeographic = true;
    }
    readRows(lines, lineNo + 1, columns, record, status);
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two data rows");
    return status;
  }

private:
  // Values per row: the most common count over the first rows.
  static size_t dataWidth(const std::vector<std::string_view>& lines, size_t first) {
    std::map<size_t, size_t> counts;
    for (size_t i = first, seen = 0; i < lines.size() && seen < 50; ++i) {
      size_t n = splitBlanks(lines[i]).size();
      if (n > 0) {
        ++counts[n];
        ++seen;
      }
    }
    size_t best = 0, bestCount = 0;
    for (const auto& [n, count] : counts)
      if (count > bestCount) {
        best = n;
        bestCount = count;
      }
    return best;
  }

  static std::string key(std::string_view name) {
    std::string out;
    for (char c : name)
      if (c != ' ' && c != '_' && c != '\t')
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  }

  // The [column names] row splits at blanks, so a channel whose name holds
  // a blank ("engine speed") gives one name too many: the names are matched
  // to the values by the data's width and the [header] channel list.
  static std::vector<VboColumn> matchNames(const std::vector<std::string_view>& tokens,
                                           const std::vector<std::string_view>& header, size_t width,
                                           LogReadStatus& status) {
    std::vector<std::string> names;
    if (tokens.size() == width || (!tokens.empty() && header.size() != width)) {
      for (std::string_view t : tokens)
        names.emplace_back(t);
    } else {
      for (std::string_view h : header)
        names.emplace_back(h);
    }
    if (names.size() > width && !header.empty()) {
      // Join neighbouring names that together spell a channel of the list.
      std::vector<std::string> joined;
      for (size_t i = 0; i < names.size();) {
        size_t take = 1;
        for (size_t n = std::min<size_t>(4, names.size() - i); n >= 2 && take == 1; --n) {
          std::string together;
          for (size_t k = 0; k < n; ++k)
            together += names[i + k];
          for (std::string_view h : header)
            if (key(h) == key(together)) {
              take = n;
              break;
            }
        }
        std::string name = names[i];
        for (size_t k = 1; k < take; ++k)
          name += " " + names[i + k];
        joined.push_back(name);
        i += take;
      }
      names = joined;
    }
    if (names.size() != width)
      status.warn(std::to_string(names.size()) + " column names for " + std::to_string(width) +
                  " values per row: names matched by position");
    std::vector<VboColumn> columns;
    for (size_t c = 0; c < width; ++c)
      columns.push_back(c < names.size() ? describe(names[c]) : VboColumn{"Column " + std::to_string(c + 1)});
    return columns;
  }

  static void readRows(const std::vector<std::string_view>& lines, size_t first,
                       const std::vector<VboColumn>& columns, DataloggerRecord& record,
                       LogReadStatus& status) {
    std::vector<double> row(columns.size());
    double dayCarry = 0, lastTod = -1;
    size_t skipped = 0;
    for (size_t i = first; i < lines.size() && LogHasRoomForRow(record); ++i) {
      std::vector<std::string_view> cells = splitBlanks(lines[i]);
      if (cells.empty())
        continue;
      bool usable = cells.size() >= columns.size();
      size_t numbers = 0;
      for (size_t c = 0; c < columns.size() && usable; ++c) {
        double v = kNaN;
        bool number = ParseNumber(cells[c], v);
        numbers += number;
        switch (columns[c].kind) {
        case Kind::kTime:
          usable = number && v >= 0 && v < 240000;
          if (!usable)
            break;
          v = hhmmssToSeconds(v);
          if (lastTod >= 0 && v + 43200 < lastTod)
            dayCarry += 86400;
          lastTod = v;
          v += dayCarry;
          break;
        case Kind::kLat:
          v = std::fabs(v) <= 90 * 60 ? v / 60.0 : kNaN;
          break;
        case Kind::kLon:
          v = std::fabs(v) <= 180 * 60 ? -v / 60.0 : kNaN;
          break;
        case Kind::kPlain:
          break;
        }
        row[c] = v;
      }
      if (usable && numbers * 2 > columns.size())
        record.appendRow(row);
      else
        ++skipped;
    }
    status.skipped(skipped, "rows with too few values or no time");
  }
};

} // namespace

const LogReader& VboLogReader() {
  static const VboReader reader;
  return reader;
}
