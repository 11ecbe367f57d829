#pragma once
// One reader per log format: probe the first bytes for a confidence, parse
// the whole file into a DataloggerRecord's columns. Readers fill rows and
// column names only; recognition and derivation happen in media/datalog.
#include <string>
#include <string_view>
#include <vector>

#include "media/datalog/datalog_record.h"

// Files above this size are refused before anything is allocated.
constexpr size_t kMaxLogFileBytes = size_t(1) << 30;
// Rows kept from one file (a day at 100 Hz is well below this), and cells
// in all (800 MB of values), so a wide file cannot exhaust memory.
constexpr size_t kMaxLogRows = 20'000'000;
constexpr size_t kMaxLogCells = 100'000'000;

// True while the record may take one more row.
inline bool LogHasRoomForRow(const DataloggerRecord& record) {
  size_t width = record.fieldNames.empty() ? 1 : record.fieldNames.size();
  return record.rowCount() < kMaxLogRows && (record.rowCount() + 1) * width <= kMaxLogCells;
}

struct LogReadStatus {
  int code = 0;        // 0 or a negative engine code
  std::string message; // why the file was refused
  int line = 0;        // 1-based line (or record) where it happened, 0 = none
  // What a file that was read still lacked or had left out, one line per
  // kind with its count, for the session log.
  std::vector<std::string> warnings;

  bool ok() const { return code == 0; }
  void warn(std::string text) { warnings.push_back(std::move(text)); }
  // "lines without values skipped: 12"; nothing for a count of 0.
  void skipped(size_t count, const char* what) {
    if (count > 0)
      warn(std::string(what) + " skipped: " + std::to_string(count));
  }
};

class LogReader {
public:
  virtual ~LogReader() = default;
  virtual const char* name() const = 0;
  // 0 = not this format, 100 = certainly this format. `extension` is the
  // lower-case extension without the dot; only a tie-breaker.
  virtual int probe(std::string_view head, std::string_view extension) const = 0;
  // Parses a whole file held in memory (text formats take UTF-8).
  virtual LogReadStatus parse(std::string_view data, DataloggerRecord& record) const = 0;
  // A file's bytes as they are on disk: text in UTF-16 or with a byte-order
  // mark is decoded first, and the names are made fit for the mapping.
  LogReadStatus parseFile(std::string_view bytes, DataloggerRecord& record) const;
  // Loads the file (size-checked) and parses it.
  LogReadStatus read(const std::string& path, DataloggerRecord& record) const;
};

// Refusal helper used by every reader.
LogReadStatus LogRefuse(int code, std::string message, int line = 0);
