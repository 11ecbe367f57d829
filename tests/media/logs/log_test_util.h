#pragma once
// Helpers of the reader tests: a record's column by name and random bytes.
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

inline std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(rng() & 0xFF);
  return bytes;
}
