#pragma once
// Generated activity logs that look like real ones: a car and a motorbike
// driving laps of a circuit (speed from the corners' radii with braking and
// acceleration limits, gears, engine speed, throttle, G-forces, altitude,
// lap numbers) and a bicycle ride over hills (speed from the gradient,
// heart rate, cadence). Written as CSV at a chosen sample rate; everything
// follows from the parameters, so a log is the same on every run.
#include <string>
#include <vector>

enum class SessionKind { kCar, kMotorbike, kBicycle };

struct SessionSpec {
  SessionKind kind = SessionKind::kCar;
  double rate = 10.0;        // samples per second
  double outLap = 20.0;      // seconds driven before the line is first crossed
  int laps = 3;              // full laps (a ride has one long lap)
  double tail = 10.0;        // seconds after the last full lap
  std::vector<double> pace{0.965, 1.0, 0.985}; // grip of each lap, 1 = the best
};

struct SessionSummary {
  double duration = 0;               // seconds of log
  std::vector<double> lapStarts;     // log time at which lap n + 1 starts
  std::vector<double> lapTimes;      // seconds of each full lap
  double topSpeedKmh = 0;
  double maxRpm = 0;
  double showcase = 0;               // a telling moment for a picture
};

// Writes the log to path; false when the file cannot be written.
bool WriteSession(const SessionSpec& spec, const std::string& path, SessionSummary* summary = nullptr);
