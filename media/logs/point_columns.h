#pragma once
// Track points of the XML logs (GPX, TCX) into the channel table: the
// columns a file has, plus those every such log keeps, become fields, and
// each point a row. Column 0 is the time.
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "media/datalog/datalog_record.h"
#include "media/logs/log_reader.h"
#include "media/logs/xml_events.h"

// The points of a track file and what was left out of them.
template <size_t N>
struct LogTrackPoints {
  std::vector<std::array<double, N>> points;
  std::array<bool, N> seen{};
  size_t untimed = 0;

  // A point without a time is counted, not kept.
  void add(const std::array<double, N>& point) {
    if (std::isnan(point[0])) {
      ++untimed;
    } else if (points.size() < kMaxLogCells / N) {
      points.push_back(point);
      for (size_t c = 0; c < N; ++c)
        seen[c] = seen[c] || !std::isnan(point[c]);
    }
  }
};

// A point's child element and the column its text goes to.
struct LogElementColumn {
  std::string_view name;
  int column;
};

// The column of the element by its local name; -1 for an element no
// column takes.
template <size_t N>
int LogColumnOfElement(const LogElementColumn (&elements)[N], std::string_view name) {
  for (const LogElementColumn& element : elements)
    if (element.name == name)
      return element.column;
  return -1;
}

// A file in an encoding no converter knows is refused by that name.
inline bool LogRefusedEncoding(const XmlParseResult& xml, LogReadStatus& status) {
  if (xml.unknownEncoding.empty())
    return false;
  status = LogRefuse(kErrHeader, "unknown character encoding \"" + xml.unknownEncoding + "\"", xml.line);
  return true;
}

// A file that breaks off keeps the points before the break; too few
// points refuse it.
inline LogReadStatus LogTrackStatus(const XmlParseResult& xml, size_t points, size_t untimed) {
  LogReadStatus status;
  if (!xml.ok) {
    if (points < 2)
      return LogRefuse(kErrRead, "malformed XML: " + xml.error, xml.line);
    status.warn("XML unreadable from line " + std::to_string(xml.line) + " (" + xml.error +
                "): the track points before it are read");
  }
  if (points < 2)
    return LogRefuse(kErrNoData, "fewer than two timed track points");
  status.skipped(untimed, "track points without a time");
  return status;
}

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
