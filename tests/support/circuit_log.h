#pragma once
// A generated data log with known laps, for the tests that render or list
// laps from a real log file.
#include <string>
#include <vector>

// A small circuit driven lap after lap: an oval course with a varying
// speed, one turn per lap, each lap in its own known time. Written as CSV
// with time, position, speed and lap columns.
struct E2eCircuit {
  double outLap = 0.4;                 // seconds before the line is first crossed
  std::vector<double> lapTimes{1.0, 0.9};
  double tail = 0.5;                   // seconds after the last full lap
  double rate = 20.0;                  // samples per second
  double duration() const;
  double lapStart(int n) const;        // n from 1
  // Course angle (radians, a turn per lap) at time t, and the seconds a
  // turn takes there: the out lap and the tail run at the first and last
  // lap's pace.
  double angleAt(double t, double* period) const;
  std::string write(const std::string& path) const;
};
