#include "render/objects_data/circuit_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/temp_folder.h"

namespace {

constexpr double kRadius = 220.0; // metres
constexpr double kLat0 = 52.07, kLon0 = -1.02;
constexpr double kMetresPerDegree = 111320.0;

// Course point at course angle a (radians): a three-lobed loop.
void course(double a, double* x, double* y) {
  const double r = kRadius * (1 + 0.28 * std::cos(3 * a));
  *x = r * std::sin(a);
  *y = r * std::cos(a);
}

} // namespace

double CircuitLog::duration() const { return lapStart(static_cast<int>(lapTimes.size()) + 1) + tail; }

double CircuitLog::lapStart(int n) const {
  double t = outLap;
  for (int k = 1; k < n && k <= static_cast<int>(lapTimes.size()); ++k) t += lapTimes[k - 1];
  return t;
}

int CircuitLog::bestLap() const {
  return static_cast<int>(std::min_element(lapTimes.begin(), lapTimes.end()) - lapTimes.begin()) + 1;
}

std::string CircuitLog::write(const std::string& name) const {
  const std::string path = TempBase() + "/" + name;
  std::ofstream out(path);
  out << "Session,Render circuit\n\nTime (s),Latitude,Longitude,Speed (km/h),RPM,Gear,Lap\n";
  const int count = static_cast<int>(std::lround(duration() * rate)) + 1;
  const int laps = static_cast<int>(lapTimes.size());
  for (int i = 0; i < count; ++i) {
    const double t = i / rate;
    // Course angle: each lap a full turn in its lap time; the out lap and
    // the tail run at the first and last lap's pace.
    int lap = 0; // crossings of the line so far
    while (lap < laps + 1 && t >= lapStart(lap + 1)) ++lap;
    const double period = lapTimes[std::clamp(lap, 1, laps) - 1];
    const double since = t - lapStart(std::max(lap, 1));
    const double angle = 2 * M_PI * (since / period + std::max(0, lap - 1));
    double x, y, x2, y2;
    course(angle, &x, &y);
    course(angle + 2 * M_PI * 0.01 / period, &x2, &y2);
    const double speed = std::hypot(x2 - x, y2 - y) / 0.01; // m/s
    const int gear = std::clamp(static_cast<int>(speed / 12) + 1, 1, 6);
    const double rpm = std::min(8500.0, speed * 3.6 * 160 / gear + 1500);
    char line[200];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.3f,%.1f,%d,%d\n", t,
                  kLat0 + y / kMetresPerDegree,
                  kLon0 + x / (kMetresPerDegree * std::cos(kLat0 * M_PI / 180)), speed * 3.6, rpm, gear,
                  lap);
    out << line;
  }
  return path;
}
