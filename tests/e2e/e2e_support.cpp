#include "e2e/e2e_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/media_fixtures.h"

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

std::string E2eFolder(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp ? tmp : "/tmp") + "/" + name;
  mkdir(path.c_str(), 0700);
  return path;
}

std::string E2eProgramDir() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string exe(buffer, static_cast<size_t>(n));
  return exe.substr(0, exe.find_last_of('/'));
}

std::string E2eFramesDir() {
  const std::string dir = E2eProgramDir() + "/e2e-frames";
  mkdir(dir.c_str(), 0755);
  return dir;
}

std::vector<std::string> E2eListFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string E2eReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double E2eCircuit::duration() const {
  return lapStart(static_cast<int>(lapTimes.size()) + 1) + tail;
}

double E2eCircuit::lapStart(int n) const {
  double t = outLap;
  for (int k = 1; k < n && k <= static_cast<int>(lapTimes.size()); ++k) t += lapTimes[k - 1];
  return t;
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
    // The out lap and the tail run at the first and last lap's pace.
    const double period = lapTimes[static_cast<size_t>(std::clamp(lap, 1, laps) - 1)];
    const double angle = 2 * M_PI * ((t - lapStart(std::max(lap, 1))) / period + std::max(0, lap - 1));
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

bool E2eWritePng(const std::vector<uint8_t>& bgra, int width, int height, const std::string& path) {
  const std::string raw = path + ".bgra";
  if (!WriteBytes(raw, bgra.data(), bgra.size())) return false;
  const bool ok = RunFfmpeg("-f rawvideo -pix_fmt bgra -s " + std::to_string(width) + "x" +
                            std::to_string(height) + " -i '" + raw + "' -frames:v 1 '" + path + "'");
  std::remove(raw.c_str());
  return ok;
}
