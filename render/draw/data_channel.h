#pragma once
// Where a data display object reads its values: a named channel of its
// input, or one of the data-log query types when the name is empty. Also
// the whole-log facts the renderers need (value range, the course), kept
// in a small cache because a log does not change between frames.
#include <cstdint>
#include <vector>

struct DataChannel {
  uint32_t input = 255;
  int32_t field = -1; // named channel, numbered with the extras
  int query = -1;     // else a query type
  double scale = 1;   // the value is multiplied by it (a unit of a named query)
  bool valid() const { return input != 255 && (field >= 0 || query >= 0); }
};

// The channel a record names; an empty name takes automaticQuery (-1 =
// none), a name in parentheses that no column has ("(Speed)", "(RPM)",
// "(Best Lap Time)"...) the query it names, and "(None)" or an unknown name
// gives no channel.
DataChannel DataChannelFor(uint32_t input, const char16_t* name, int automaticQuery);
// Value at a project time; NaN without a channel or a finite value.
double DataChannelValue(const DataChannel& channel, double time);
// Value at the input's own time (the log's clock).
double DataChannelValueAt(const DataChannel& channel, double inputTime);
// The input time of a project time; NaN without a data input.
double DataInputTime(uint32_t input, double time);
// Time of the log's last sample (0 without a log).
double DataLogEnd(uint32_t input);
// A query type's value at a project time (NaN without a data input).
double DataQueryValue(uint32_t input, int query, double time);
// Smallest and largest finite value over the whole log; false when none.
bool DataChannelRange(const DataChannel& channel, double* lo, double* hi);

// One sample of the course: log position, lap number and input time.
struct CoursePoint {
  double x, y;
  int lap;
  double t;
  double speed; // NaN without a speed channel
};
struct Course {
  std::vector<CoursePoint> points;
  bool geographic = false; // x longitude, y latitude
  uint64_t fingerprint = 0; // of the processed log the course comes from
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};
// The positions of the input's log (empty without positions).
const Course& DataCourse(uint32_t input);
// Drops every cached fact (a log was opened, closed or reprocessed).
void DataCacheClear();
