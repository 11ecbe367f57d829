// Delimited text logs (comma, semicolon, tab, bar) with a header row that
// may follow several metadata lines and may itself be followed by a row of
// units. Cells are numbers, clock times "h:m:s" or ISO date-times.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "engine/base/error.h"
#include "media/logs/delimited_profiles.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kSampleLines = 200;
constexpr char kDelimiters[] = {'\t', ';', ',', '|'};

// Splits one line at the delimiter; quoted cells may hold the delimiter
// and doubled quotes. At most `limit` cells are kept.
std::vector<std::string_view> splitCells(std::string_view line, char delimiter,
                                         size_t limit = 1u << 20) {
  std::vector<std::string_view> cells;
  size_t i = 0;
  while (i <= line.size() && cells.size() < limit) {
    size_t start = i;
    bool quoted = false;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t') && line[i] != delimiter)
      ++i;
    if (i < line.size() && line[i] == '"') {
      quoted = true;
      start = i;
      for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"')
            ++i;
          else {
            ++i;
            break;
          }
        }
      }
    }
    size_t end = line.find(delimiter, i);
    if (end == std::string_view::npos)
      end = line.size();
    std::string_view cell = line.substr(start, end - start);
    cells.push_back(quoted ? cell : TrimBlanks(cell));
    i = end + 1;
  }
  return cells;
}

std::string unquote(std::string_view cell) {
  cell = TrimBlanks(cell);
  if (cell.size() < 2 || cell.front() != '"' || cell.back() != '"')
    return std::string(cell);
  std::string out;
  for (size_t i = 1; i + 1 < cell.size(); ++i) {
    out += cell[i];
    if (cell[i] == '"' && cell[i + 1] == '"')
      ++i;
  }
  return std::string(TrimBlanks(out));
}

bool parseCell(std::string_view cell, bool decimalComma, double& value) {
  if (ParseNumber(cell, value, decimalComma))
    return true;
  std::string_view bare = TrimBlanks(cell);
  if (bare.size() >= 2 && bare.front() == '"' && bare.back() == '"')
    bare = bare.substr(1, bare.size() - 2);
  return ParseIsoDateTime(bare, value) || ParseClockTime(bare, value);
}

// A data row: most cells hold values and at least one does.
bool isDataRow(const std::vector<std::string_view>& cells, bool decimalComma) {
  size_t numeric = 0, nonEmpty = 0;
  for (std::string_view cell : cells) {
    if (TrimBlanks(cell).empty())
      continue;
    ++nonEmpty;
    double v;
    if (parseCell(cell, decimalComma, v))
      ++numeric;
  }
  return numeric > 0 && numeric * 2 > nonEmpty;
}

char chooseDelimiter(const std::vector<std::string_view>& lines) {
  char best = 0;
  size_t bestScore = 0;
  for (char d : kDelimiters) {
    std::map<size_t, size_t> counts;
    size_t used = 0;
    for (size_t i = 0; i < lines.size() && used < kSampleLines; ++i) {
      if (TrimBlanks(lines[i]).empty())
        continue;
      ++used;
      size_t n = splitCells(lines[i], d, 4096).size();
      if (n >= 2)
        ++counts[n];
    }
    size_t score = 0;
    for (const auto& [n, count] : counts)
      score = std::max(score, count);
    // Earlier delimiters win unless a later one is clearly more regular:
    // semicolon files use the comma as decimal point.
    if (score > bestScore * 5 / 4 || best == 0) {
      if (score > 0) {
        best = d;
        bestScore = score;
      }
    }
  }
  return best;
}

bool usesDecimalComma(const std::vector<std::string_view>& lines, char delimiter) {
  if (delimiter == ',')
    return false;
  size_t comma = 0, dot = 0;
  for (size_t i = 0; i < lines.size() && i < kSampleLines; ++i) {
    for (char c : lines[i]) {
      comma += c == ',';
      dot += c == '.';
    }
  }
  return comma > 0 && dot == 0;
}

struct Layout {
  size_t header = SIZE_MAX; // line of the names, SIZE_MAX = none
  size_t units = SIZE_MAX;  // line of the units, SIZE_MAX = none
  size_t firstData = 0;
  size_t columns = 0;
};

// A row of units: short cells, most of them unit symbols.
bool looksLikeUnits(const std::vector<std::string_view>& cells) {
  static const char* const kUnits[] = {
      "s",   "sec", "ms",  "min", "h",   "m",    "km",  "mi",  "ft",  "km/h", "kph", "kmh", "mph",
      "m/s", "kn",  "kt",  "knots", "rpm", "%",  "deg", "°",   "g",   "m/s2", "m/s^2", "v",  "a",
      "bar", "psi", "kpa", "c",   "°c",  "f",   "°f",  "hz",  "#",   "-",    "lap", "l",   "nm",
      "w",   "bpm", "rad", "rad/s", "deg/s", "mm", "cm", "kg", "lambda", "afr", "gear", "mbar"};
  size_t nonEmpty = 0, units = 0;
  for (std::string_view raw : cells) {
    std::string cell = LowerAscii(unquote(raw));
    if (cell.empty())
      continue;
    ++nonEmpty;
    if (cell.size() > 10)
      return false;
    if (cell.front() == '(' || cell.front() == '[') {
      ++units;
      continue;
    }
    for (const char* unit : kUnits)
      if (cell == unit) {
        ++units;
        break;
      }
  }
  return nonEmpty > 0 && units * 2 >= nonEmpty;
}

// Of the (up to three) text lines stacked above the data, nearest first:
// a units line takes the line above it as the names; a line under the
// units (a row of sources) is skipped; else the nearest line names.
void chooseHeader(const std::vector<std::string_view>& lines, char delimiter,
                  const std::vector<size_t>& above, Layout& layout) {
  auto units = [&](size_t k) { return looksLikeUnits(splitCells(lines[above[k]], delimiter)); };
  if (above.size() >= 2 && units(0)) {
    layout.header = above[1];
    layout.units = above[0];
  } else if (above.size() >= 3 && units(1)) {
    layout.header = above[2];
    layout.units = above[1];
  } else if (!above.empty()) {
    layout.header = above[0];
  }
}

bool findLayout(const std::vector<std::string_view>& lines, char delimiter, bool comma,
                Layout& layout) {
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string_view> cells = splitCells(lines[i], delimiter);
    if (cells.size() < 2 || !isDataRow(cells, comma))
      continue;
    // One of the next few lines must be a row like it (a lone numeric
    // line in a text file is no table), unless the file ends here.
    size_t next = i + 1, looked = 0;
    bool confirmed = true;
    for (; next < lines.size() && looked < 3; ++next) {
      if (TrimBlanks(lines[next]).empty())
        continue;
      if (looked++ == 0)
        confirmed = false;
      std::vector<std::string_view> after = splitCells(lines[next], delimiter);
      if (after.size() == cells.size() && isDataRow(after, comma)) {
        confirmed = true;
        break;
      }
    }
    if (!confirmed)
      continue;
    layout.firstData = i;
    layout.columns = cells.size();
    std::vector<size_t> above;
    for (size_t k = i; k > 0 && above.size() < 3;) {
      --k;
      if (TrimBlanks(lines[k]).empty())
        continue;
      std::vector<std::string_view> names = splitCells(lines[k], delimiter);
      if (names.size() < cells.size() || isDataRow(names, comma))
        break;
      above.push_back(k);
    }
    chooseHeader(lines, delimiter, above, layout);
    return true;
  }
  return false;
}

std::vector<std::string> columnNames(const std::vector<std::string_view>& lines,
                                     const Layout& layout, char delimiter) {
  size_t count = std::min<size_t>(layout.columns, kMaxLogFields);
  std::vector<std::string> names(count);
  std::vector<std::string_view> header, units;
  if (layout.header != SIZE_MAX)
    header = splitCells(lines[layout.header], delimiter, count);
  if (layout.units != SIZE_MAX)
    units = splitCells(lines[layout.units], delimiter, count);
  for (size_t c = 0; c < count; ++c) {
    std::string name = c < header.size() ? unquote(header[c]) : std::string();
    if (name.empty())
      name = "Column " + std::to_string(c + 1);
    std::string unit = c < units.size() ? unquote(units[c]) : std::string();
    if (!unit.empty() && name.find('(') == std::string::npos && name.find('[') == std::string::npos)
      name += " (" + unit + ")";
    names[c] = name.substr(0, 63);
  }
  return names;
}

// "N/S" and "E/W" columns (GPS logger exports) sign the column before.
bool isHemisphereName(const std::string& name) {
  std::string lower = LowerAscii(name);
  return lower == "n/s" || lower == "e/w" || lower == "ns" || lower == "ew";
}

double hemisphereSign(std::string_view cell) {
  std::string_view bare = TrimBlanks(cell);
  if (!bare.empty() && bare.front() == '"')
    bare.remove_prefix(1);
  if (bare.empty())
    return kNaN;
  char c = bare.front();
  return (c == 'S' || c == 's' || c == 'W' || c == 'w') ? -1.0 : (c == 'N' || c == 'n' || c == 'E' || c == 'e') ? 1.0 : kNaN;
}

void applyHemispheres(DataloggerRecord& record, const std::vector<bool>& hemisphere) {
  for (size_t c = 1; c < hemisphere.size(); ++c) {
    if (!hemisphere[c])
      continue;
    std::vector<double>& values = record.columns[c - 1];
    const std::vector<double>& signs = record.columns[c];
    for (size_t r = 0; r < values.size(); ++r)
      if (signs[r] < 0)
        values[r] = -std::fabs(values[r]);
  }
}

class DelimitedReader final : public LogReader {
public:
  const char* name() const override { return "Delimited text"; }

  int probe(std::string_view head, std::string_view extension) const override {
    std::vector<std::string_view> lines = SplitLines(head);
    if (lines.size() > 1 && head.size() >= 4096)
      lines.pop_back(); // the last line of a cut head may be partial
    char delimiter = chooseDelimiter(lines);
    if (delimiter == 0)
      return 0;
    Layout layout;
    if (!findLayout(lines, delimiter, usesDecimalComma(lines, delimiter), layout))
      return extension == "csv" ? 10 : 0;
    int score = layout.header != SIZE_MAX ? 50 : 30;
    if (extension == "csv" || extension == "txt" || extension == "tsv")
      score += 5;
    return score;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    std::vector<std::string_view> lines = SplitLines(data);
    char delimiter = chooseDelimiter(lines);
    if (delimiter == 0)
      return LogRefuse(kErrHeader, "no delimiter found");
    bool comma = usesDecimalComma(lines, delimiter);
    Layout layout;
    if (!findLayout(lines, delimiter, comma, layout))
      return LogRefuse(kErrHeader, "no rows of values found");
    const DelimitedProfile& profile = DelimitedProfileFind(data.substr(0, 4096));
    record.formatCode = profile.formatCode;
    record.formatName = profile.name;
    for (const std::string& name : columnNames(lines, layout, delimiter))
      record.addField(name);
    size_t count = record.fieldNames.size();
    std::vector<bool> hemisphere(count);
    for (size_t c = 1; c < count; ++c)
      hemisphere[c] = isHemisphereName(record.fieldNames[c]);
    std::vector<double> row(count);
    for (size_t i = layout.firstData; i < lines.size() && LogHasRoomForRow(record); ++i) {
      std::vector<std::string_view> cells = splitCells(lines[i], delimiter, count);
      if (cells.size() * 2 < count || cells.size() < 2)
        continue; // garbage or blank
      size_t values = 0;
      for (size_t c = 0; c < count; ++c) {
        double v = kNaN;
        if (c < cells.size() && hemisphere[c])
          v = hemisphereSign(cells[c]);
        else if (c < cells.size() && parseCell(cells[c], comma, v))
          ++values;
        else
          v = kNaN;
        row[c] = v;
      }
      if (values > 0) // a repeated header has none
        record.appendRow(row);
    }
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two data rows",
                       static_cast<int>(layout.firstData) + 1);
    applyHemispheres(record, hemisphere);
    return {};
  }
};

} // namespace

const LogReader& DelimitedLogReader() {
  static const DelimitedReader reader;
  return reader;
}
