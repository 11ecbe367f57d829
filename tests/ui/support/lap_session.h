#pragma once
// A generated lap session for the data windows: a car going round an
// oval course some 600 m across, its logger's lap column counting the
// crossings of the line at chosen times. The course takes its own time per
// round, so each lap starts at a slightly different point of it. Written as
// CSV with time, latitude, longitude, speed in knots, lap and a water
// temperature in Celsius; every lap start is a sample of its own.
#include <string>
#include <vector>

struct LapSession {
  double outLap = 0.4;                     // seconds before the line is first crossed
  std::vector<double> lapTimes{83.456, 85.2};
  double tail = 2.0;                       // seconds after the last full lap
  double rate = 10.0;                      // samples per second
  double roundSeconds = 84.0;              // one round of the course
  double duration() const;
  double lapStart(int n) const;            // n from 1
  // Course position (degrees) at a time of the log.
  double longitudeAt(double t) const;
  double latitudeAt(double t) const;
  static double KnotsAt(double t);
  static double CelsiusAt(double t);
  std::string write(const std::string& path) const;
};
