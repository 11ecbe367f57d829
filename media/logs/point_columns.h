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

// An XML track format: its code and name, the root element that marks its
// files, and how many leading columns (the time first) every record keeps.
struct XmlTrackFormat {
  LogFormat code;
  const char* name;
  const char* root;
  size_t alwaysKept;
};

// An XML track handler's points and what it saw of the root element.
template <size_t N>
class XmlTrackPoints : public XmlTrackHandler {
public:
  explicit XmlTrackPoints(const XmlTrackFormat& format) : root_(format.root) {}

  LogTrackPoints<N> track;
  bool rootSeen = false, foreignRoot = false;

protected:
  // True for the document's first element, noting whether it is another
  // kind of file's root; start() then answers !foreignRoot.
  bool atRoot(std::string_view name) {
    if (rootSeen)
      return false;
    rootSeen = true;
    foreignRoot = name != root_;
    return true;
  }

private:
  std::string_view root_;
};

// Reads an XML track file with a handler of type Points (an XmlTrackPoints
// of the format): the columns the file has and the always-kept ones become
// fields, each timed point a row.
template <class Points, size_t N>
LogReadStatus LogReadXmlTrack(std::string_view data, const XmlTrackFormat& format,
                              const char* const (&names)[N], DataloggerRecord& record) {
  record = DataloggerRecord();
  Points points;
  XmlParseResult xml = XmlParseTrack(data, points);
  if (LogReadStatus refused; LogRefusedEncoding(xml, refused))
    return refused;
  if (!points.rootSeen || points.foreignRoot)
    return LogRefuse(kErrHeader, std::string("the root element is not <") + format.root + ">", xml.line);
  LogReadStatus status = LogTrackStatus(xml, points.track.points.size(), points.track.untimed);
  if (!status.ok())
    return status;
  record.formatCode = format.code;
  record.formatName = format.name;
  record.readerGeographic = true;
  std::array<bool, N> keep{};
  for (size_t c = 0; c < N; ++c)
    keep[c] = points.track.seen[c] || c < format.alwaysKept;
  LogAppendPointColumns(record, points.track.points, keep, names);
  return status;
}
