#pragma once
// A synthetic circuit log for the data-object tests: a three-lobed course
// driven lap after lap with known lap times, written as CSV with time,
// position, speed, engine speed, gear and lap columns. Everything a test
// expects (lap starts, lap times, the best lap) follows from the table of
// lap times.
#include <string>
#include <vector>

struct CircuitLog {
  // Seconds of the out lap's share before the line, then of each lap.
  double outLap = 6.0;
  std::vector<double> lapTimes{30.0, 27.5, 29.0, 31.5};
  double tail = 8.0; // seconds after the last full lap
  double rate = 10.0; // samples per second

  double duration() const;
  // Input time at which lap n (from 1) starts.
  double lapStart(int n) const;
  int bestLap() const; // 1-based
  // Writes the CSV into the temporary folder; its path.
  std::string write(const std::string& name) const;
};
