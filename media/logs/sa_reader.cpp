// The structured lap-timer text export (".sa"): "#KEY=value=" header
// lines, a track plan of "#SECTOR=" lines, timer blocks ("#TIMER=<n>=<start>="
// then "#LAP=<n>=<lap time>=<split>=...=" lines), then the samples as a
// delimited table under a names line. The laps come from the timer blocks:
// every timer start and lap end is a pass of the line, given to the model
// as a lap column.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/base/error.h"
#include "media/logs/date_text.h"
#include "media/logs/delimited_cells.h"
#include "media/logs/log_readers.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// "#KEY=a=b=" into the key and its values; false for other lines.
bool keyLine(std::string_view line, std::string& key, std::vector<std::string_view>& values) {
  line = TrimBlanks(line);
  if (line.size() < 3 || line[0] != '#')
    return false;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq < 2)
    return false;
  key = LowerAscii(line.substr(1, eq - 1));
  values.clear();
  for (size_t pos = eq + 1; pos < line.size();) {
    size_t next = line.find('=', pos);
    if (next == std::string_view::npos)
      next = line.size();
    values.push_back(TrimBlanks(line.substr(pos, next - pos)));
    pos = next + 1;
  }
  return true;
}

// A lap time "91.416" or "1:31.416"; a start as seconds or a clock time.
bool seconds(std::string_view text, double& value) {
  if (ParseNumber(text, value))
    return true;
  TimeText kind = ParseTimeText(text, value);
  return kind == TimeText::kClock || kind == TimeText::kDateTime;
}

struct SaFile {
  std::vector<double> passes; // timer starts and lap ends
  std::vector<std::string_view> table; // the sample lines, names first
  size_t tableLine = 0;
  std::vector<std::string> namesFromHeader;
  size_t ignoredLaps = 0;
};

void readHeader(const std::vector<std::string_view>& lines, SaFile& file) {
  std::string key;
  std::vector<std::string_view> values;
  double clock = kNaN; // end of the last lap of the current timer block
  for (size_t i = 0; i < lines.size(); ++i) {
    if (keyLine(lines[i], key, values)) {
      double v = 0;
      if (key == "timer") {
        clock = values.size() >= 2 && seconds(values[1], v) ? v : kNaN;
        if (std::isfinite(clock))
          file.passes.push_back(clock);
      } else if (key == "lap") {
        if (std::isfinite(clock) && values.size() >= 2 && seconds(values[1], v) && v > 0) {
          clock += v;
          file.passes.push_back(clock);
        } else {
          ++file.ignoredLaps;
        }
      } else if (key == "columns") {
        for (std::string_view name : values)
          if (!name.empty())
            file.namesFromHeader.emplace_back(name);
      }
      continue;
    }
    if (TrimBlanks(lines[i]).empty() || TrimBlanks(lines[i])[0] == '#')
      continue;
    if (file.table.empty())
      file.tableLine = i;
    file.table.push_back(lines[i]);
  }
}

class SaReader final : public LogReader {
public:
  const char* name() const override { return "Lap-timer export"; }

  int probe(std::string_view head, std::string_view extension) const override {
    std::string key;
    std::vector<std::string_view> values;
    int keyed = 0;
    bool timer = false;
    for (std::string_view line : SplitLines(head))
      if (keyLine(line, key, values) && TrimBlanks(line).back() == '=') {
        ++keyed;
        timer = timer || key == "timer" || key == "sector";
      }
    if (keyed >= 3 && (timer || extension == "sa"))
      return 92;
    return extension == "sa" ? 10 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    SaFile file;
    readHeader(SplitLines(data), file);
    char delimiter = ChooseDelimiter(file.table);
    if (file.table.size() < 3 || delimiter == 0)
      return LogRefuse(kErrNoData, "no table of samples", static_cast<int>(file.tableLine) + 1);
    record.formatCode = kFormatSa;
    record.formatName = "Lap-timer export";
    LogReadStatus status;
    std::vector<std::string_view> cells = SplitCells(file.table[0], delimiter, kMaxLogFields);
    bool comma = UsesDecimalComma(file.table, delimiter);
    bool namesLine = !IsDataRow(cells, comma);
    for (size_t c = 0; c < cells.size(); ++c) {
      std::string name = namesLine ? Unquote(cells[c])
                                   : c < file.namesFromHeader.size() ? file.namesFromHeader[c]
                                                                     : std::string();
      record.addField(name.empty() ? "Column " + std::to_string(c + 1) : name);
    }
    readSamples(file, namesLine ? 1 : 0, delimiter, comma, record, status);
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two samples", static_cast<int>(file.tableLine) + 1);
    record.timeField = timeColumn(record);
    addLaps(file.passes, record);
    status.skipped(file.ignoredLaps, "lap lines outside a timer block");
    return status;
  }

private:
  static void readSamples(const SaFile& file, size_t first, char delimiter, bool comma,
                          DataloggerRecord& record, LogReadStatus& status) {
    size_t count = record.fieldNames.size(), skipped = 0;
    std::vector<std::string_view> cells;
    std::vector<double> row(count);
    for (size_t i = first; i < file.table.size() && LogHasRoomForRow(record); ++i) {
      SplitCells(file.table[i], delimiter, cells, count);
      size_t values = 0;
      for (size_t c = 0; c < count; ++c) {
        double v = kNaN;
        CellKind kind = c < cells.size() ? ParseCell(cells[c], comma, v) : CellKind::kEmpty;
        values += kind == CellKind::kNumber || kind == CellKind::kClock || kind == CellKind::kDateTime;
        row[c] = kind == CellKind::kText || kind == CellKind::kEmpty ? kNaN : v;
      }
      if (values * 2 > count)
        record.appendRow(row);
      else
        ++skipped;
    }
    status.skipped(skipped, "sample lines without values");
  }

  static int timeColumn(const DataloggerRecord& record) {
    for (size_t f = 0; f < record.fieldNames.size(); ++f)
      if (StartsWithNoCase(record.fieldNames[f], "time"))
        return static_cast<int>(f);
    return 0;
  }

  static void addLaps(std::vector<double> passes, DataloggerRecord& record) {
    if (passes.empty() || record.fieldNames.size() >= kMaxLogFields)
      return;
    std::sort(passes.begin(), passes.end());
    int lap = record.addField("Lap"); // before the time is taken: adding moves the columns
    const std::vector<double>& t = record.columns[record.timeField];
    for (size_t r = 0; r < t.size(); ++r)
      if (std::isfinite(t[r]))
        record.columns[lap][r] = static_cast<double>(
            std::upper_bound(passes.begin(), passes.end(), t[r] + 1e-9) - passes.begin());
  }
};

} // namespace

const LogReader& SaLogReader() {
  static const SaReader reader;
  return reader;
}
