#pragma once
// Track points of the XML logs (GPX, TCX) into the channel table: the
// columns a file has, plus those every such log keeps, become fields, and
// each point a row. Column 0 is the time.
#include <array>
#include <cstddef>
#include <vector>

#include "media/datalog/datalog_record.h"

template <size_t N>
void LogAppendPointColumns(DataloggerRecord& record, const std::vector<std::array<double, N>>& points,
                           const std::array<bool, N>& keep, const char* const (&names)[N]) {
  std::vector<size_t> used;
  for (size_t c = 0; c < N; ++c)
    if (keep[c]) {
      used.push_back(c);
      record.addField(names[c]);
    }
  record.timeField = 0;
  std::vector<double> row(used.size());
  for (const auto& point : points) {
    for (size_t k = 0; k < used.size(); ++k) row[k] = point[used[k]];
    record.appendRow(row);
  }
}
