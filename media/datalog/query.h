#pragma once
// Values of a processed record at an input time, interpolated between
// samples: binary search, O(log n) per query.
#include <string>

#include "media/datalog/datalog_record.h"

enum DataQueryType : int {
  kQueryTime = 0,
  kQueryPosX = 1,
  kQueryPosY = 2,
  kQueryAltitude = 3,
  kQueryDistance = 4,
  kQueryGpsAccuracy = 5,
  kQueryLapNumber = 6,
  kQueryLapCount = 7,
  kQueryLapStart = 8,
  kQueryCurrentLapTime = 9,
  kQueryPreviousLapTime = 10,
  kQueryBestLapNumber = 11,
  kQueryBestLapTime = 12,
  kQueryBestSoFarNumber = 13,
  kQueryBestSoFarTime = 14,
  kQuerySpeed = 15,
  kQueryHeading = 16,
  kQueryRpm = 17,
  kQueryGear = 18,
  kQueryThrottle = 19,
  kQueryAccelX = 20,
  kQueryAccelY = 21,
  kQuerySpanX = 22,
  kQuerySpanY = 23,
  kQueryTypeCount = 24
};

// How a channel is read between two samples.
enum class Blend { kStep, kLinear, kAngle, kCubic };

// Sample interpolation of one channel at time t (clamped to the ends).
double SampleAt(const std::vector<double>& time, const std::vector<double>& values, double t,
                Blend blend);
// The answer of a data query type at input time t (type 8: t is the lap
// number). 0 for a channel the log lacks.
double DataloggerValueAt(const DataloggerRecord& record, int type, double t);

// Fields with extras: after the file's columns come the custom channels
// and then the computed fields. Total count and the name of extra k.
int DataloggerFieldCount(const DataloggerRecord& record, bool withExtras);
std::string DataloggerFieldName(const DataloggerRecord& record, int field);
// Value of field n (as numbered with extras) at input time t.
double DataloggerFieldValueAt(const DataloggerRecord& record, int field, double t);
