#pragma once
// Times of the lap timer's trace, which has none of its own: the rate and
// start at which the timer's crossings of the start/finish line fall on
// the trace's own passes of that line, and the laps from those crossings.
#include <string>
#include <vector>

#include "media/datalog/datalog_record.h"

// A line of the track plan: its number and two ends.
struct SaLine {
  int number;
  double lat1, lon1, lat2, lon2;
};

// A crossing of line `line` at `time` seconds of running time.
struct SaCrossing {
  int line;
  double time;
};

struct SaTiming {
  double rate = 10;       // samples per second
  double offset = 0;      // trace position at running time 0
  bool fromTimer = false; // false: the rate was taken, not borne out
  std::vector<double> passes; // start/finish passes in running time
};

// The start/finish line is the plan's lowest-numbered one; without a plan
// the timer's lowest line number marks the start/finish crossings.
SaTiming SaEstablishTiming(const std::vector<double>& lat, const std::vector<double>& lon,
                           const std::vector<SaLine>& plan, const std::vector<SaCrossing>& crossings);
// A "Lap" column from the passes over the record's time column 0.
void SaAddLaps(const std::vector<double>& passes, DataloggerRecord& record);
// "10" or "12.5".
std::string FormatRate(double rate);
