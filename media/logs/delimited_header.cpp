#include "media/logs/delimited_header.h"

#include <algorithm>
#include <cctype>

#include "media/datalog/datalog_record.h"
#include "media/logs/channel_blocks.h"
#include "media/logs/delimited_cells.h"
#include "media/logs/text_scan.h"

namespace {

constexpr size_t kHeaderBlockLines = 6;
constexpr size_t kNoLine = static_cast<size_t>(-1);

bool oneOf(const std::string& word, std::initializer_list<const char*> list) {
  for (const char* item : list)
    if (word == item)
      return true;
  return false;
}

// A row of units: short cells, most of them unit symbols.
bool looksLikeUnits(const std::vector<std::string_view>& cells) {
  size_t nonEmpty = 0, units = 0;
  for (std::string_view raw : cells) {
    std::string cell = LowerAscii(Unquote(raw));
    if (cell.empty())
      continue;
    ++nonEmpty;
    if (cell.size() > 10)
      return false;
    if (cell.front() == '(' || cell.front() == '[' ||
        oneOf(cell, {"s",     "sec",   "secs",  "ms",   "min",   "h",     "m",      "km",   "mi",   "ft",
                     "km/h",  "kph",   "kmh",   "mph",  "m/s",   "kn",    "kt",     "knots", "rpm", "%",
                     "deg",   "°",     "\xb0",  "g",    "m/s2",  "m/s^2", "m/s²",   "v",    "a",    "bar",
                     "psi",   "kpa",   "c",     "°c",   "f",     "°f",    "hz",     "#",    "-",    "lap",
                     "l",     "nm",    "w",     "bpm",  "rad",   "rad/s", "deg/s",  "mm",   "cm",   "kg",
                     "lambda", "afr",  "gear",  "mbar", "degrees", "1/min", "us",   "ms2",  "mv",   "l/h"}))
      ++units;
  }
  return nonEmpty > 0 && units * 2 >= nonEmpty;
}

// A row naming where same-named columns come from.
bool looksLikeSources(const std::vector<std::string_view>& cells) {
  size_t nonEmpty = 0;
  for (std::string_view raw : cells) {
    std::string cell = LowerAscii(Unquote(raw));
    if (cell.empty())
      continue;
    ++nonEmpty;
    if (!oneOf(cell, {"gps", "obd", "obd2", "obdii", "calc", "calculated", "computed", "ecu", "can",
                      "phone", "device", "internal", "external", "acc", "accelerometer", "imu", "gyro",
                      "logger", "sensor", "vehicle", "app", "derived", "estimated", "measured"}))
      return false;
  }
  return nonEmpty > 0;
}

struct HeaderRows {
  size_t names = kNoLine, units = kNoLine, sources = kNoLine;
  size_t top = kNoLine; // the highest line of the block
};

// The text lines stacked above the first row of values, nearest first.
std::vector<size_t> headerBlock(const std::vector<std::string_view>& lines, size_t firstData,
                                size_t columns, char delimiter, bool comma) {
  std::vector<size_t> above;
  std::vector<std::string_view> cells;
  for (size_t k = firstData; k > 0 && above.size() < kHeaderBlockLines;) {
    --k;
    if (TrimBlanks(lines[k]).empty())
      continue;
    SplitCells(lines[k], delimiter, cells, columns + 1);
    if (IsBlankRow(cells))
      continue;
    // Header rows need not be complete (a units row that stops early), but
    // a key/value line above the block is no part of it.
    bool partial = cells.size() < columns && (cells.size() <= 2 || cells.size() * 4 < columns * 3);
    if (partial || (IsDataRow(cells, comma) && !IsColumnNumberRow(cells)))
      break;
    above.push_back(k);
  }
  return above;
}

// A units row takes the line above it as the names and makes a text line
// below it a row of sources; without units the nearest line names, unless
// it is a row of source words under another line.
HeaderRows classify(const std::vector<std::string_view>& lines, const std::vector<size_t>& above,
                    char delimiter) {
  HeaderRows rows;
  std::vector<size_t> pending;
  for (size_t i = 0; i < above.size(); ++i) {
    std::vector<std::string_view> cells = SplitCells(lines[above[i]], delimiter);
    rows.top = above[i];
    if (IsColumnNumberRow(cells))
      continue;
    size_t namesAbove = i + 1;
    while (namesAbove < above.size() && IsColumnNumberRow(SplitCells(lines[above[namesAbove]], delimiter)))
      ++namesAbove;
    if (namesAbove < above.size() && looksLikeUnits(cells)) {
      rows.units = above[i];
      rows.names = rows.top = above[namesAbove];
      if (!pending.empty())
        rows.sources = pending.front();
      return rows;
    }
    pending.push_back(above[i]);
  }
  if (pending.size() >= 2 && looksLikeSources(SplitCells(lines[pending[0]], delimiter))) {
    rows.sources = pending[0];
    rows.names = pending[1];
  } else if (!pending.empty()) {
    rows.names = pending[0];
  }
  if (rows.names != kNoLine)
    rows.top = rows.names;
  return rows;
}

// A names cell may carry more: "Name"|"unit"|min|max|rate.
void splitNameCell(std::string_view cell, char delimiter, std::string& name, std::string& unit) {
  std::vector<std::string_view> parts;
  if (delimiter != '|' && cell.find('|') != std::string_view::npos)
    SplitCells(cell, '|', parts, 3);
  if (parts.size() >= 2) {
    name = Unquote(parts[0]);
    unit = Unquote(parts[1]);
  } else {
    name = Unquote(cell);
  }
}

std::vector<std::string> namesFromRows(const std::vector<std::string_view>& lines,
                                       const HeaderRows& rows, const DelimitedLayout& layout) {
  size_t count = layout.columns;
  auto row = [&](size_t line) {
    return line == kNoLine ? std::vector<std::string_view>()
                           : SplitCells(lines[line], layout.delimiter, count);
  };
  std::vector<std::string_view> header = row(rows.names), units = row(rows.units),
                                sources = row(rows.sources);
  std::vector<std::string> names(count), source(count);
  for (size_t c = 0; c < count; ++c) {
    std::string name, unit;
    if (c < header.size())
      splitNameCell(header[c], layout.delimiter, name, unit);
    if (c < units.size() && !Unquote(units[c]).empty())
      unit = Unquote(units[c]);
    if (name.empty())
      name = "Column " + std::to_string(c + 1);
    if (!unit.empty() && name.find('(') == std::string::npos && name.find('[') == std::string::npos)
      name += " (" + unit + ")";
    names[c] = name;
    source[c] = c < sources.size() ? Unquote(sources[c]) : std::string();
  }
  // Same-named columns told apart by their source: "Speed GPS (km/h)".
  for (size_t c = 0; c < count; ++c) {
    if (source[c].empty() || std::count(names.begin(), names.end(), names[c]) < 2)
      continue;
    std::string same = names[c];
    for (size_t k = c; k < count; ++k) {
      if (names[k] != same || source[k].empty())
        continue;
      size_t unit = names[k].find(" (");
      names[k].insert(unit == std::string::npos ? names[k].size() : unit, " " + source[k]);
    }
  }
  return names;
}

// Names from the preamble's channel blocks: one block per column, or one
// per column after a first column of clock times that has none.
bool namesFromBlocks(const std::vector<std::string_view>& lines, size_t end, DelimitedLayout& layout) {
  std::vector<ChannelBlock> blocks = FindChannelBlocks(lines, end, layout.columns);
  if (blocks.empty() && layout.columns > 1) {
    double v;
    std::vector<std::string_view> cells = SplitCells(lines[layout.firstData], layout.delimiter, 1);
    CellKind first = ParseCell(cells.front(), layout.decimalComma, v);
    if (first == CellKind::kClock || first == CellKind::kDateTime)
      blocks = FindChannelBlocks(lines, end, layout.columns - 1);
    if (!blocks.empty())
      blocks.insert(blocks.begin(), ChannelBlock{"Time", {}, 0});
  }
  if (blocks.empty())
    return false;
  layout.names.clear();
  for (const ChannelBlock& block : blocks) {
    std::string unit = ChannelBlockScale(block).unit;
    bool hasUnit = block.name.find_first_of("([") != std::string::npos;
    layout.names.push_back(unit.empty() || hasUnit ? block.name : block.name + " (" + unit + ")");
  }
  layout.blocks = std::move(blocks);
  return true;
}

void readMetadata(const std::vector<std::string_view>& lines, size_t end, char delimiter,
                  DelimitedLayout& layout) {
  std::vector<std::string_view> cells;
  for (size_t i = 0; i < end; ++i) {
    SplitCells(lines[i], delimiter, cells, 64);
    std::vector<std::string> values;
    std::string key;
    if (cells.size() >= 2) {
      key = Unquote(cells[0]);
      for (size_t c = 1; c < cells.size(); ++c)
        if (std::string v = Unquote(cells[c]); !v.empty())
          values.push_back(v);
    } else {
      std::string_view line = TrimBlanks(lines[i]);
      size_t sep = line.find_first_of(":=");
      if (sep == std::string_view::npos)
        continue;
      key = Unquote(line.substr(0, sep));
      values.push_back(Unquote(line.substr(sep + 1)));
    }
    while (!key.empty() && (key.back() == ':' || key.back() == ' '))
      key.pop_back();
    double number;
    if (!key.empty() && !values.empty() && !ParseNumber(key, number))
      layout.metadata.emplace(LowerAscii(key), values);
  }
}

// A separator closing every line leaves an empty last cell in every row
// (a gap in the last column leaves it in some).
bool closedBySeparator(const std::vector<std::string_view>& lines, size_t first, char delimiter,
                       size_t width) {
  if (width < 3)
    return false;
  std::vector<std::string_view> cells;
  size_t rows = 0;
  for (size_t i = first; i < lines.size() && rows < 10; ++i) {
    SplitCells(lines[i], delimiter, cells);
    if (cells.size() != width)
      continue;
    if (!TrimBlanks(cells.back()).empty())
      return false;
    ++rows;
  }
  return rows > 0;
}

// The first line of values that one of the next few lines confirms (a
// lone numeric line in a text file is no table), unless the file ends.
bool findFirstData(const std::vector<std::string_view>& lines, DelimitedLayout& layout) {
  std::vector<std::string_view> cells, after;
  bool textAbove = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    SplitCells(lines[i], layout.delimiter, cells);
    if (IsBlankRow(cells))
      continue; // ",,,," above the first values, as some loggers write
    bool values = cells.size() >= 2 && IsDataRow(cells, layout.decimalComma);
    // Column numbers under the names are no values.
    bool numbering = values && textAbove && IsColumnNumberRow(cells);
    textAbove = textAbove || (!values && !TrimBlanks(lines[i]).empty());
    if (!values || numbering)
      continue;
    size_t looked = 0;
    bool confirmed = true;
    for (size_t next = i + 1; next < lines.size() && looked < 3; ++next) {
      SplitCells(lines[next], layout.delimiter, after);
      if (IsBlankRow(after))
        continue;
      if (looked++ == 0)
        confirmed = false;
      if (after.size() == cells.size() && IsDataRow(after, layout.decimalComma)) {
        confirmed = true;
        break;
      }
    }
    if (!confirmed)
      continue;
    layout.firstData = i;
    layout.columns = std::min<size_t>(cells.size(), kMaxLogFields);
    if (layout.columns == cells.size() && closedBySeparator(lines, i, layout.delimiter, cells.size()))
      --layout.columns;
    return true;
  }
  return false;
}

} // namespace

bool FindDelimitedLayout(const std::vector<std::string_view>& lines, DelimitedLayout& layout) {
  layout = DelimitedLayout();
  layout.delimiter = ChooseDelimiter(lines);
  if (layout.delimiter == 0)
    return false;
  layout.decimalComma = UsesDecimalComma(lines, layout.delimiter);
  if (!findFirstData(lines, layout))
    return false;
  std::vector<size_t> above =
      headerBlock(lines, layout.firstData, layout.columns, layout.delimiter, layout.decimalComma);
  HeaderRows rows = classify(lines, above, layout.delimiter);
  layout.names = namesFromRows(lines, rows, layout);
  layout.named = rows.names != kNoLine;
  size_t blockTop = rows.top != kNoLine ? rows.top : layout.firstData;
  if (!layout.named)
    layout.named = namesFromBlocks(lines, blockTop, layout);
  readMetadata(lines, blockTop, layout.delimiter, layout);
  return true;
}
