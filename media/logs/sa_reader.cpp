// The lap timer's ".sa" export: ';' comment lines, "#KEY=value=" header
// lines (#V version, #D start, #MOD device, #S track), then tagged blocks:
// <trackplan #sectors=N> with the start/finish and sector lines as
// "n,lat1,lon1,lat2,lon2"; <timer #unit=...> with "n,m:ss.sss" crossings of
// line n at that running time, each followed by a line of six integers
// (speeds and lean angles at the crossing); <trace #pt=N> with the samples:
// latitude, longitude, speed in the timer's unit, lean angle, then values
// without names. The trace has no times of its own: its rate is the one at
// which the timer's start/finish crossings fall on the trace's own passes
// of the start/finish line (sa_timing).
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "base/error.h"
#include "media/logs/delimited_cells.h"
#include "media/logs/log_readers.h"
#include "media/logs/sa_timing.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum class Block { kNone, kTrackPlan, kTimer, kTrace, kOther };

struct SaFile {
  std::vector<SaLine> plan;
  std::vector<SaCrossing> crossings;
  std::string unit;
  std::vector<std::string_view> trace;
  size_t traceLine = 0;   // 1-based line of the trace's tag
  long declaredPoints = -1;
  size_t oddLines = 0;    // lines of a block that are none of its lines
  double start = 0;       // "#D=": the recording's start, 0 when unknown
};

// "05-17-2024 09:12:33=": month, day and year, as the device writes them.
double startTime(std::string_view text) {
  unsigned month = 0, day = 0, year = 0, hh = 0, mm = 0, ss = 0;
  std::string copy(text.substr(0, 40));
  if (sscanf(copy.c_str(), "%u-%u-%u %u:%u:%u", &month, &day, &year, &hh, &mm, &ss) != 6 || month < 1 ||
      month > 12 || day < 1 || day > 31 || year < 1980 || year > 2200 || hh > 23 || mm > 59 || ss > 60)
    return 0;
  return static_cast<double>(DaysFromCivil(year, month, day)) * 86400.0 + hh * 3600.0 + mm * 60.0 + ss;
}

// The value of "#key=value" inside a tag line; empty when absent.
std::string_view tagValue(std::string_view tag, std::string_view key) {
  size_t at = tag.find(key);
  if (at == std::string_view::npos)
    return {};
  std::string_view rest = tag.substr(at + key.size());
  return TrimBlanks(rest.substr(0, rest.find_first_of(" >")));
}

Block openedBlock(std::string_view tag, SaFile& file) {
  if (tag.rfind("<trackplan", 0) == 0)
    return Block::kTrackPlan;
  if (tag.rfind("<timer", 0) == 0) {
    file.unit = std::string(tagValue(tag, "#unit="));
    return Block::kTimer;
  }
  if (tag.rfind("<trace", 0) == 0) {
    double points = 0;
    if (ParseNumber(tagValue(tag, "#pt="), points) && points >= 0 && points < 1e9)
      file.declaredPoints = static_cast<long>(points);
    return Block::kTrace;
  }
  return Block::kOther;
}

// A line of the plan is numbered from 0 up; anything else in that cell
// (a fraction, a sign, a number beyond any count) names no line.
bool lineNumber(std::string_view cell, int& number) {
  double v;
  if (!ParseNumber(cell, v) || !(v >= 0 && v <= std::numeric_limits<int>::max()) || v != std::floor(v))
    return false;
  number = static_cast<int>(v);
  return true;
}

void readPlanLine(const std::vector<std::string_view>& cells, SaFile& file) {
  int number = 0;
  double v[5];
  bool read = cells.size() == 5 && lineNumber(cells[0], number);
  for (size_t k = 1; read && k < 5; ++k)
    read = ParseNumber(cells[k], v[k]);
  if (!read) {
    ++file.oddLines;
    return;
  }
  file.plan.push_back({number, v[1], v[2], v[3], v[4]});
}

void readTimerLine(const std::vector<std::string_view>& cells, SaFile& file) {
  int line = 0;
  double t = 0;
  if (cells.size() == 2 && lineNumber(cells[0], line) && ParseClockTime(TrimBlanks(cells[1]), t)) {
    file.crossings.push_back({line, t});
    return;
  }
  double v;
  bool values = cells.size() == 6;
  for (size_t k = 0; values && k < cells.size(); ++k)
    values = ParseNumber(cells[k], v);
  file.oddLines += !values; // the speeds and lean angles are not kept
}

void readFile(const std::vector<std::string_view>& lines, SaFile& file) {
  Block block = Block::kNone;
  std::vector<std::string_view> cells;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = TrimBlanks(lines[i]);
    if (block == Block::kTimer && line.size() > 1 && line[0] == '#' && line[1] >= '0' && line[1] <= '9')
      line.remove_prefix(1); // "#2,1:04.250": the crossed line's number
    if (line.empty() || line[0] == ';' || line[0] == '#') {
      if (block == Block::kNone && line.rfind("#D=", 0) == 0)
        file.start = startTime(line.substr(3));
      continue;
    }
    if (line[0] == '<') {
      block = line.size() > 1 && line[1] == '/' ? Block::kNone : openedBlock(line, file);
      if (block == Block::kTrace)
        file.traceLine = i + 1;
      continue;
    }
    if (block == Block::kTrace) {
      file.trace.push_back(line);
      continue;
    }
    SplitCells(line, ',', cells, 8);
    if (block == Block::kTrackPlan)
      readPlanLine(cells, file);
    else if (block == Block::kTimer)
      readTimerLine(cells, file);
  }
}

std::string speedUnit(const std::string& unit) {
  std::string lower = LowerAscii(unit);
  if (lower.find("mile") != std::string::npos || lower == "mph")
    return "mph";
  if (lower.rfind("km", 0) == 0)
    return "km/h";
  if (lower.rfind("kn", 0) == 0)
    return "kn";
  return lower == "m/s" ? "m/s" : std::string();
}

class SaReader final : public LogReader {
public:
  const char* name() const override { return "Lap-timer export"; }

  int probe(std::string_view head, std::string_view extension) const override {
    bool trace = head.find("<trace") != std::string_view::npos;
    bool blocks = head.find("<trackplan") != std::string_view::npos ||
                  head.find("<timer") != std::string_view::npos;
    if ((trace || blocks) && (head.find("\n#V=") != std::string_view::npos || extension == "sa"))
      return 92;
    if (trace && blocks)
      return 80;
    return extension == "sa" ? 10 : 0;
  }

  LogReadStatus parse(std::string_view data, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    SaFile file;
    readFile(SplitLines(data), file);
    if (file.trace.size() < 2)
      return LogRefuse(kErrNoData, "no trace of samples", static_cast<int>(file.traceLine));
    record.formatCode = kFormatSa;
    record.formatName = "Lap-timer export";
    record.readerGeographic = true;
    LogReadStatus status;
    readTrace(file, record, status);
    if (record.rowCount() < 2)
      return LogRefuse(kErrNoData, "fewer than two samples", static_cast<int>(file.traceLine));
    SaTiming timing = SaEstablishTiming(record.columns[1], record.columns[2], file.plan, file.crossings);
    if (!timing.fromTimer)
      status.warn("trace rate not borne out by the timer: " + FormatRate(timing.rate) + " Hz taken");
    std::vector<double>& t = record.columns[0];
    for (size_t r = 0; r < t.size(); ++r)
      t[r] = (static_cast<double>(r) - timing.offset) / timing.rate;
    SaAddLaps(timing.passes, record);
    for (double& v : record.columns[0]) // the running time on the recording's clock
      v += file.start;
    status.skipped(file.oddLines, "lines of the track plan or timer not understood");
    return status;
  }

private:
  static void readTrace(const SaFile& file, DataloggerRecord& record, LogReadStatus& status) {
    std::vector<std::string_view> cells;
    SplitCells(file.trace[0], ',', cells, kMaxLogFields - 2);
    size_t count = std::max<size_t>(cells.size(), 2);
    std::string unit = speedUnit(file.unit);
    record.addField("Time (s)");
    record.timeField = 0;
    record.addField("Latitude");
    record.addField("Longitude");
    if (count > 2)
      record.addField(unit.empty() ? "Speed" : "Speed (" + unit + ")");
    if (count > 3)
      record.addField("Lean Angle (deg)");
    for (size_t c = 4; c < count; ++c)
      record.addField("Trace " + std::to_string(c + 1));
    std::vector<double> row(count + 1, kNaN);
    size_t skipped = 0;
    for (std::string_view line : file.trace) {
      if (!LogHasRoomForRow(record))
        break;
      SplitCells(line, ',', cells, count);
      for (size_t c = 0; c < count; ++c)
        if (c >= cells.size() || !ParseNumber(cells[c], row[c + 1]))
          row[c + 1] = kNaN;
      if (std::fabs(row[1]) <= 90 && std::fabs(row[2]) <= 180) // NaN fails too
        record.appendRow(row);
      else
        ++skipped;
    }
    status.skipped(skipped, "trace lines without a position");
    if (file.declaredPoints >= 0 && static_cast<size_t>(file.declaredPoints) != file.trace.size())
      status.warn("trace holds " + std::to_string(file.trace.size()) + " of " +
                  std::to_string(file.declaredPoints) + " declared points");
  }
};

} // namespace

const LogReader& SaLogReader() {
  static const SaReader reader;
  return reader;
}
