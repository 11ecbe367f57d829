// Delimited text logs (comma, semicolon, tab, bar) as loggers, phone apps
// and engine loggers export them: the table and its names are found by
// delimited_header, cells are numbers or written times, a column of clock
// times that runs forward is offered as the time channel, and time that
// restarts at beacons is joined (delimited_segments).
#include <algorithm>
#include <cmath>
#include <string>

#include "base/error.h"
#include "media/logs/delimited_cells.h"
#include "media/logs/delimited_header.h"
#include "media/logs/delimited_profiles.h"
#include "media/logs/delimited_segments.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDay = 86400.0;

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

// Per column: how many cells were written times, how many plain numbers.
struct CellCounts {
  size_t times = 0, numbers = 0;
  bool clockOnly = true; // times of day without a date
};

// A column of written times that runs forward (a time of day may pass
// midnight once a day) can be the log's time: the first such column.
int forwardClockColumn(const DataloggerRecord& record, const std::vector<CellCounts>& counts) {
  for (size_t c = 0; c < counts.size(); ++c) {
    if (counts[c].times == 0 || counts[c].times <= counts[c].numbers)
      continue;
    double last = kNaN;
    bool forward = true;
    for (double v : record.columns[c]) {
      if (!std::isfinite(v))
        continue;
      bool midnight = counts[c].clockOnly && last >= kDay - 3600 && v < 3600;
      if (std::isfinite(last) && v < last && !midnight) {
        forward = false;
        break;
      }
      last = v;
    }
    if (forward)
      return static_cast<int>(c);
  }
  return -1;
}

class DelimitedReader final : public LogReader {
public:
  const char* name() const override { return "Delimited text"; }

  int probe(std::string_view head, std::string_view extension) const override {
    std::vector<std::string_view> lines = SplitLines(head);
    if (lines.size() > 1 && head.size() >= 4096)
      lines.pop_back(); // the last line of a cut head may be partial
    DelimitedLayout layout;
    if (!FindDelimitedLayout(lines, layout))
      return extension == "csv" && ChooseDelimiter(lines) != 0 ? 10 : 0;
    int score = layout.named ? 50 : 30;
    if (extension == "csv" || extension == "txt" || extension == "tsv" || extension == "msl" ||
        extension == "log" || extension == "dat")
      score += 5;
    return score;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    std::vector<std::string_view> lines = SplitLines(data);
    DelimitedLayout layout;
    if (!FindDelimitedLayout(lines, layout))
      return LogRefuse(kErrHeader, ChooseDelimiter(lines) == 0 ? "no delimiter found"
                                                                : "no rows of values found");
    const DelimitedProfile& profile = DelimitedProfileFind(data.substr(0, 4096));
    record.formatCode = profile.formatCode;
    record.formatName = profile.name;
    for (const std::string& name : layout.names)
      record.addField(name);
    LogReadStatus status;
    std::vector<CellCounts> counts = readRows(lines, layout, record, status);
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two data rows", static_cast<int>(layout.firstData) + 1);
    ApplyChannelBlocks(layout.blocks, record, status);
    record.clockField = forwardClockColumn(record, counts);
    JoinBeaconSegments(record, layout.metadata, status);
    return status;
  }

private:
  static std::vector<CellCounts> readRows(const std::vector<std::string_view>& lines,
                                          const DelimitedLayout& layout, DataloggerRecord& record,
                                          LogReadStatus& status) {
    size_t count = record.fieldNames.size();
    std::vector<bool> hemisphere(count);
    for (size_t c = 1; c < count; ++c)
      hemisphere[c] = isHemisphereName(record.fieldNames[c]);
    std::vector<CellCounts> counts(count);
    std::vector<std::string_view> cells;
    std::vector<double> row(count);
    size_t skipped = 0, cut = 0;
    for (auto& column : record.columns)
      column.reserve(lines.size() - layout.firstData);
    for (size_t i = layout.firstData; i < lines.size(); ++i) {
      if (!LogHasRoomForRow(record)) {
        cut = lines.size() - i;
        break;
      }
      SplitCells(lines[i], layout.delimiter, cells, count);
      if (IsBlankRow(cells))
        continue;
      if (cells.size() * 2 < count || cells.size() < 2) {
        skipped += !TrimBlanks(lines[i]).empty();
        continue;
      }
      size_t values = 0;
      for (size_t c = 0; c < count; ++c) {
        double v = kNaN;
        if (c < cells.size() && hemisphere[c]) {
          v = hemisphereSign(cells[c]);
        } else if (c < cells.size()) {
          CellKind kind = ParseCell(cells[c], layout.decimalComma, v);
          if (kind == CellKind::kNumber) {
            ++values;
            ++counts[c].numbers;
          } else if (kind == CellKind::kClock || kind == CellKind::kDateTime) {
            ++values;
            ++counts[c].times;
            counts[c].clockOnly = counts[c].clockOnly && kind == CellKind::kClock;
          } else {
            v = kNaN;
          }
        }
        row[c] = v;
      }
      if (values > 0)
        record.appendRow(row);
      else
        ++skipped; // a repeated header, a marker line
    }
    status.skipped(skipped, "lines without values");
    status.skipped(cut, "lines beyond the row limit");
    applyHemispheres(record, hemisphere);
    return counts;
  }
};

} // namespace

const LogReader& DelimitedLogReader() {
  static const DelimitedReader reader;
  return reader;
}
