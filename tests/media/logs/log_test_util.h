#pragma once
// Helpers of the reader tests: a record's column by name, record
// comparison and random bytes.
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "media/datalog/datalog_record.h"

inline int FieldIndex(const DataloggerRecord& record, const std::string& name) {
  for (size_t f = 0; f < record.fieldNames.size(); ++f)
    if (record.fieldNames[f] == name)
      return static_cast<int>(f);
  return -1;
}

inline double Cell(const DataloggerRecord& record, const std::string& name, size_t row) {
  int f = FieldIndex(record, name);
  return f < 0 || row >= record.rowCount() ? -999999.0 : record.columns[f][row];
}

// Same names and the same values (NaN equal to NaN) in every cell.
inline bool SameColumns(const DataloggerRecord& a, const DataloggerRecord& b) {
  if (a.fieldNames != b.fieldNames || a.rowCount() != b.rowCount())
    return false;
  for (size_t c = 0; c < a.columns.size(); ++c)
    for (size_t r = 0; r < a.rowCount(); ++r)
      if (a.columns[c][r] != b.columns[c][r] && !(std::isnan(a.columns[c][r]) && std::isnan(b.columns[c][r])))
        return false;
  return true;
}

inline std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(rng() & 0xFF);
  return bytes;
}
