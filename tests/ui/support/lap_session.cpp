#include "ui/support/lap_session.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

namespace {

constexpr double kLat0 = 52.07, kLon0 = -1.02;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kRadiusEast = 320.0, kRadiusNorth = 180.0;

double angleAt(double t, double round) { return 2 * M_PI * t / round; }

} // namespace

double LapSession::duration() const { return lapStart(static_cast<int>(lapTimes.size()) + 1) + tail; }

double LapSession::lapStart(int n) const {
  double t = outLap;
  for (int k = 1; k < n && k <= static_cast<int>(lapTimes.size()); ++k) t += lapTimes[static_cast<size_t>(k - 1)];
  return t;
}

double LapSession::longitudeAt(double t) const {
  const double east = kRadiusEast * std::sin(angleAt(t, roundSeconds));
  return kLon0 + east / (kMetresPerDegree * std::cos(kLat0 * M_PI / 180));
}

double LapSession::latitudeAt(double t) const {
  return kLat0 + kRadiusNorth * std::cos(angleAt(t, roundSeconds)) / kMetresPerDegree;
}

double LapSession::KnotsAt(double t) { return 40.0 + 12.0 * std::sin(t / 7.0); }

double LapSession::CelsiusAt(double t) { return 85.0 + 6.0 * std::sin(t / 23.0); }

std::string LapSession::write(const std::string& path) const {
  std::set<double> times;
  for (double t = 0; t <= duration() + 1e-9; t += 1.0 / rate) times.insert(std::round(t * 1000) / 1000);
  const int laps = static_cast<int>(lapTimes.size());
  for (int n = 1; n <= laps + 1; ++n) times.insert(std::round(lapStart(n) * 1000) / 1000);
  std::ofstream out(path);
  out << "Time (s),Latitude,Longitude,Speed (kn),Lap,Water Temp\n";
  for (double t : times) {
    int lap = 0; // crossings of the line so far
    while (lap < laps + 1 && t >= std::round(lapStart(lap + 1) * 1000) / 1000) ++lap;
    char line[200];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.4f,%d,%.4f\n", t, latitudeAt(t), longitudeAt(t), KnotsAt(t),
                  lap, CelsiusAt(t));
    out << line;
  }
  return out ? path : std::string();
}
