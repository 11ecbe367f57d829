#pragma once
// Cells of delimited text logs: splitting a line (quotes may hold the
// delimiter), reading a cell as a number or a written time, and telling
// rows of values from rows of names.
#include <string>
#include <string_view>
#include <vector>

enum class CellKind { kEmpty, kText, kNumber, kClock, kDateTime };

// Splits one line at the delimiter into `cells` (cleared first); quoted
// cells may hold the delimiter and doubled quotes. At most `limit` cells.
void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells,
                size_t limit = 1u << 20);
std::vector<std::string_view> SplitCells(std::string_view line, char delimiter, size_t limit = 1u << 20);
// The cell's text without blanks and one pair of quotes (doubled quotes
// inside become one).
std::string Unquote(std::string_view cell);
// A cell as a value: numbers (with a decimal comma when asked), times of
// day and date-times in seconds. Empty cells and the marks loggers write
// for a missing value ("-", "n/a", "NaN") are kEmpty.
CellKind ParseCell(std::string_view cell, bool decimalComma, double& value);
// Most non-empty cells hold values and at least one does.
bool IsDataRow(const std::vector<std::string_view>& cells, bool decimalComma);
// A row of nothing but empty cells (",,,," or "","","").
bool IsBlankRow(const std::vector<std::string_view>& cells);
// "1","2","3"... numbering the columns, as some loggers write under the
// names (at least three numbers; the first columns may be left empty).
bool IsColumnNumberRow(const std::vector<std::string_view>& cells);
// The delimiter (tab, semicolon, comma, bar) that splits most sampled
// lines into the same number of cells; 0 when none does.
char ChooseDelimiter(const std::vector<std::string_view>& lines);
// Whether values use the comma as decimal point (only possible when the
// comma is not the delimiter): decided by the cells of the sampled lines.
bool UsesDecimalComma(const std::vector<std::string_view>& lines, char delimiter);
