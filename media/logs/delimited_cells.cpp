#include "media/logs/delimited_cells.h"

#include <algorithm>
#include <map>

#include "media/logs/date_text.h"
#include "media/logs/text_scan.h"

namespace {

constexpr size_t kSampleLines = 200;
constexpr char kDelimiters[] = {'\t', ';', ',', '|'};

bool isMissingMark(std::string_view bare) {
  if (bare.size() > 4)
    return false;
  if (bare.find_first_not_of('-') == std::string_view::npos)
    return true; // "-", "--", "---"
  std::string lower = LowerAscii(bare);
  return lower == "n/a" || lower == "na" || lower == "nan" || lower == "null" || lower == "none" ||
         lower == "?";
}

// "12,5" or "-0,25": digits, one comma, digits.
bool commaDecimal(std::string_view cell) {
  size_t i = !cell.empty() && cell[0] == '-' ? 1 : 0;
  size_t comma = cell.find(',');
  if (comma == std::string_view::npos || comma == i || comma + 1 >= cell.size())
    return false;
  for (size_t k = i; k < cell.size(); ++k)
    if (k != comma && (cell[k] < '0' || cell[k] > '9'))
      return false;
  return true;
}

} // namespace

void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells,
                size_t limit) {
  cells.clear();
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
}

std::vector<std::string_view> SplitCells(std::string_view line, char delimiter, size_t limit) {
  std::vector<std::string_view> cells;
  SplitCells(line, delimiter, cells, limit);
  return cells;
}

std::string Unquote(std::string_view cell) {
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

CellKind ParseCell(std::string_view cell, bool decimalComma, double& value) {
  if (ParseNumber(cell, value, decimalComma))
    return CellKind::kNumber;
  std::string_view bare = TrimBlanks(cell);
  if (bare.size() >= 2 && bare.front() == '"' && bare.back() == '"')
    bare = TrimBlanks(bare.substr(1, bare.size() - 2));
  if (bare.empty() || isMissingMark(bare))
    return CellKind::kEmpty;
  switch (ParseTimeText(bare, value)) {
  case TimeText::kClock:
    return CellKind::kClock;
  case TimeText::kDateTime:
    return CellKind::kDateTime;
  case TimeText::kDate:
    return CellKind::kNumber;
  case TimeText::kNone:
    break;
  }
  return CellKind::kText;
}

bool IsDataRow(const std::vector<std::string_view>& cells, bool decimalComma) {
  size_t values = 0, text = 0;
  for (std::string_view cell : cells) {
    double v;
    CellKind kind = ParseCell(cell, decimalComma, v);
    if (kind == CellKind::kText)
      ++text;
    else if (kind != CellKind::kEmpty)
      ++values;
  }
  return values > 0 && values > text;
}

bool IsBlankRow(const std::vector<std::string_view>& cells) {
  for (std::string_view cell : cells)
    if (!Unquote(cell).empty())
      return false;
  return true;
}

bool IsColumnNumberRow(const std::vector<std::string_view>& cells) {
  size_t first = 0, n = cells.size();
  while (n > 0 && Unquote(cells[n - 1]).empty())
    --n;
  while (first < n && Unquote(cells[first]).empty())
    ++first;
  if (n - first < 3)
    return false;
  double start = 0;
  if (!ParseNumber(cells[first], start) || (start != 0 && start != 1))
    return false;
  for (size_t c = first + 1; c < n; ++c) {
    double v = 0;
    if (!ParseNumber(cells[c], v) || v != start + static_cast<double>(c - first))
      return false;
  }
  return true;
}

char ChooseDelimiter(const std::vector<std::string_view>& lines) {
  char best = 0;
  size_t bestScore = 0;
  std::vector<std::string_view> cells;
  for (char d : kDelimiters) {
    std::map<size_t, size_t> counts;
    size_t used = 0;
    for (size_t i = 0; i < lines.size() && used < kSampleLines; ++i) {
      if (TrimBlanks(lines[i]).empty())
        continue;
      ++used;
      SplitCells(lines[i], d, cells, 4096);
      if (cells.size() >= 2)
        ++counts[cells.size()];
    }
    size_t score = 0;
    for (const auto& [n, count] : counts)
      score = std::max(score, count);
    // Earlier delimiters win unless a later one is clearly more regular:
    // semicolon files use the comma as decimal point.
    if (score > 0 && (best == 0 || score > bestScore * 5 / 4)) {
      best = d;
      bestScore = score;
    }
  }
  return best;
}

bool UsesDecimalComma(const std::vector<std::string_view>& lines, char delimiter) {
  if (delimiter == ',')
    return false;
  size_t comma = 0, dot = 0;
  std::vector<std::string_view> cells;
  for (size_t i = 0; i < lines.size() && i < kSampleLines; ++i) {
    SplitCells(lines[i], delimiter, cells, 4096);
    for (std::string_view cell : cells) {
      std::string_view bare = TrimBlanks(cell);
      if (bare.size() >= 2 && bare.front() == '"' && bare.back() == '"')
        bare = bare.substr(1, bare.size() - 2);
      double v;
      if (commaDecimal(bare))
        ++comma;
      else if (bare.find('.') != std::string_view::npos && ParseNumber(bare, v))
        ++dot;
    }
  }
  return comma > dot;
}
