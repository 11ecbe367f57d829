#include "support/circuit_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr double kRadius = 8.0; // metres; a kart-track hairpin loop, driven fast
constexpr double kLat0 = 51.5, kLon0 = -0.9;
constexpr double kMetresPerDegree = 111320.0;

// Course point at course angle a (radians): an oval, so speed varies
// along a lap driven at a steady turn rate.
void course(double a, double* x, double* y) {
  const double r = kRadius * (1 + 0.35 * std::cos(2 * a));
  *x = r * std::sin(a);
  *y = r * std::cos(a);
}

} // namespace

double E2eCircuit::duration() const {
  return lapStart(static_cast<int>(lapTimes.size()) + 1) + tail;
}

double E2eCircuit::lapStart(int n) const {
  double t = outLap;
  for (int k = 1; k < n && k <= static_cast<int>(lapTimes.size()); ++k) t += lapTimes[k - 1];
  return t;
}

double E2eCircuit::angleAt(double t, double* period) const {
  const int laps = static_cast<int>(lapTimes.size());
  int lap = 0; // crossings of the line so far
  while (lap < laps + 1 && t >= lapStart(lap + 1)) ++lap;
  *period = lapTimes[static_cast<size_t>(std::clamp(lap, 1, laps) - 1)];
  return 2 * M_PI * ((t - lapStart(std::max(lap, 1))) / *period + std::max(0, lap - 1));
}

std::string E2eCircuit::write(const std::string& path) const {
  std::ofstream out(path);
  out << "Session,End-to-end circuit\n\nTime (s),Latitude,Longitude,Speed (km/h),Lap\n";
  const int laps = static_cast<int>(lapTimes.size());
  const int count = static_cast<int>(std::floor(duration() * rate + 1e-9)) + 1;
  for (int i = 0; i < count; ++i) {
    const double t = i / rate;
    int lap = 0; // crossings of the line so far
    while (lap < laps + 1 && t >= lapStart(lap + 1)) ++lap;
    double period = 0;
    const double angle = angleAt(t, &period);
    double x, y, x2, y2;
    course(angle, &x, &y);
    course(angle + 2 * M_PI * 0.001 / period, &x2, &y2);
    const double speed = std::hypot(x2 - x, y2 - y) / 0.001;
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.3f,%d\n", t, kLat0 + y / kMetresPerDegree,
                  kLon0 + x / (kMetresPerDegree * std::cos(kLat0 * M_PI / 180)), speed * 3.6, lap);
    out << line;
  }
  return out ? path : std::string();
}
