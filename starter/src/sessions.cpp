#include "sessions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr double kG = 9.81;
constexpr double kStep = 1.0; // metres between course points
constexpr double kLat0 = 51.952, kLon0 = -1.104;
constexpr double kMetresPerDegree = 111320.0;

struct Vehicle {
  double grip;      // lateral acceleration in g at pace 1
  double brake;     // g
  double drive;     // m/s^2 at low speed
  double top;       // m/s
  double topRpm;    // engine speed at the top of each gear
  double upRpm;     // changes up above this
  double downRpm;   // changes down once the revs fall below this
  double idleRpm;
  std::vector<double> gearTop; // m/s at topRpm in each gear
};

Vehicle vehicle(SessionKind kind) {
  if (kind == SessionKind::kMotorbike)
    return {1.15, 1.1, 7.5, 74.0, 12900, 12500, 9200, 1400, {22.0, 32.5, 42.0, 51.0, 60.0, 74.0}};
  return {1.35, 1.4, 6.2, 68.0, 7400, 7150, 5600, 1100, {16.5, 26.0, 35.5, 45.5, 56.5, 68.0}};
}

struct Point {
  double x, y;   // metres east and north
  double alt;    // metres
  double kappa;  // signed curvature, 1/m
};

// A club circuit of straights and corners (each waypoint rounded off with
// its radius), or a hilly country loop for the bicycle.
struct Corner {
  double x, y, radius;
};
constexpr Corner kCircuit[] = {{-350, -120, 32}, {350, -150, 85}, {520, 60, 50},   {300, 190, 38}, {400, 340, 65},
                               {60, 390, 140},   {-150, 210, 28}, {-430, 270, 45}, {-530, 40, 75}};

// The circuit as a fine polyline, from the middle of its longest straight.
std::vector<Point> circuitLine() {
  const int n = static_cast<int>(std::size(kCircuit));
  struct Bend {
    double inX, inY, outX, outY, cx, cy, turn;
  };
  std::vector<Bend> bends(n);
  for (int i = 0; i < n; ++i) {
    const Corner& a = kCircuit[(i + n - 1) % n];
    const Corner& p = kCircuit[i];
    const Corner& b = kCircuit[(i + 1) % n];
    const double la = std::hypot(p.x - a.x, p.y - a.y), lb = std::hypot(b.x - p.x, b.y - p.y);
    const double ux = (p.x - a.x) / la, uy = (p.y - a.y) / la, vx = (b.x - p.x) / lb, vy = (b.y - p.y) / lb;
    const double turn = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy); // left positive
    const double d = p.radius * std::tan(std::fabs(turn) / 2);
    Bend& bend = bends[i];
    bend.inX = p.x - ux * d;
    bend.inY = p.y - uy * d;
    bend.outX = p.x + vx * d;
    bend.outY = p.y + vy * d;
    const double side = turn > 0 ? 1 : -1;
    bend.cx = bend.inX - uy * side * p.radius;
    bend.cy = bend.inY + ux * side * p.radius;
    bend.turn = turn;
  }
  std::vector<Point> line;
  auto straight = [&line](const Bend& from, const Bend& to, double begin, double end) {
    const double length = std::hypot(to.inX - from.outX, to.inY - from.outY);
    for (double d = begin * length; d < end * length; d += 0.25)
      line.push_back({from.outX + (to.inX - from.outX) * d / length, from.outY + (to.inY - from.outY) * d / length, 0, 0});
  };
  // From the middle of the straight after the first corner, round the
  // whole circuit and back to it.
  straight(bends[0], bends[1], 0.5, 1);
  for (int k = 1; k <= n; ++k) {
    const int i = k % n;
    const Bend& bend = bends[i];
    const double r = kCircuit[i].radius;
    const double a0 = std::atan2(bend.inY - bend.cy, bend.inX - bend.cx);
    const int steps = std::max(2, static_cast<int>(std::fabs(bend.turn) * r / 0.25));
    for (int s = 0; s < steps; ++s) {
      const double a = a0 + bend.turn * s / steps;
      line.push_back({bend.cx + r * std::cos(a), bend.cy + r * std::sin(a), 0, 0});
    }
    straight(bend, bends[(i + 1) % n], 0, k == n ? 0.5 : 1);
  }
  return line;
}

std::vector<Point> roadLine() {
  const int dense = 40000;
  std::vector<Point> line(dense);
  for (int i = 0; i < dense; ++i) {
    const double a = 2 * M_PI * i / dense;
    line[i].x = 1150 * std::cos(a) + 260 * std::cos(2 * a) + 120 * std::sin(3 * a);
    line[i].y = 760 * std::sin(a) - 180 * std::sin(2 * a) + 90 * std::cos(4 * a);
  }
  return line;
}

// The course resampled every kStep metres, with altitude and curvature.
std::vector<Point> course(SessionKind kind) {
  const bool road = kind == SessionKind::kBicycle;
  const std::vector<Point> fine = road ? roadLine() : circuitLine();
  std::vector<Point> out;
  double carried = 0;
  for (size_t i = 0; i < fine.size(); ++i) {
    const Point& a = fine[i];
    const Point& b = fine[(i + 1) % fine.size()];
    const double seg = std::hypot(b.x - a.x, b.y - a.y);
    for (double d = carried; d < seg; d += kStep) {
      const double f = d / seg;
      out.push_back({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), 0, 0});
    }
    carried = std::fmod(carried - seg, kStep);
    if (carried < 0) carried += kStep;
  }
  const size_t n = out.size();
  for (size_t i = 0; i < n; ++i) {
    const double s = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n);
    out[i].alt = road ? 142 + 48 * std::pow(std::sin(s / 2 + 0.3), 4) + 9 * std::sin(3 * s)
                      : 112 + 8 * std::sin(s) + 3 * std::sin(2 * s + 1);
    const Point& a = out[(i + n - 3) % n];
    const Point& b = out[i];
    const Point& c = out[(i + 3) % n];
    const double h1 = std::atan2(b.y - a.y, b.x - a.x), h2 = std::atan2(c.y - b.y, c.x - b.x);
    double turn = h2 - h1;
    while (turn > M_PI) turn -= 2 * M_PI;
    while (turn < -M_PI) turn += 2 * M_PI;
    out[i].kappa = turn / (3 * kStep);
  }
  // A driver's line eases into and out of each corner.
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<double> eased(n);
    for (size_t i = 0; i < n; ++i) {
      double sum = 0;
      for (int k = -12; k <= 12; ++k) sum += out[(i + n + static_cast<size_t>(k + static_cast<int>(n))) % n].kappa;
      eased[i] = sum / 25;
    }
    for (size_t i = 0; i < n; ++i) out[i].kappa = eased[i];
  }
  return out;
}

// Speed at every course point for a lap at the given pace: corners set the
// limits, braking and acceleration join them, twice round for the ends.
std::vector<double> speeds(const std::vector<Point>& pts, SessionKind kind, double pace) {
  const size_t n = pts.size();
  std::vector<double> v(n);
  if (kind == SessionKind::kBicycle) {
    for (size_t i = 0; i < n; ++i) {
      const double grade = (pts[(i + 5) % n].alt - pts[(i + n - 5) % n].alt) / (10 * kStep);
      const double flat = 9.6 * pace - 95 * grade;
      const double corner = std::sqrt(0.35 * kG / std::max(std::fabs(pts[i].kappa), 1e-4));
      v[i] = std::clamp(std::min(flat, corner), 3.2, 17.5);
    }
    for (int pass = 0; pass < 4; ++pass)
      for (size_t i = 0; i < n; ++i) v[i] = (v[(i + n - 1) % n] + 2 * v[i] + v[(i + 1) % n]) / 4;
    return v;
  }
  const Vehicle car = vehicle(kind);
  for (size_t i = 0; i < n; ++i) {
    const double k = std::max(std::fabs(pts[i].kappa), 1e-5);
    v[i] = std::min(car.top, std::sqrt(car.grip * pace * kG / k));
  }
  for (int round = 0; round < 2; ++round) {
    for (size_t j = 0; j < n; ++j) {
      const size_t i = j, next = (j + 1) % n;
      const double drive = car.drive * pace * (1 - std::pow(v[i] / car.top, 2)) + 0.2;
      v[next] = std::min(v[next], std::sqrt(v[i] * v[i] + 2 * drive * kStep));
    }
    for (size_t j = n; j-- > 0;) {
      const size_t i = j, next = (j + 1) % n;
      v[i] = std::min(v[i], std::sqrt(v[next] * v[next] + 2 * car.brake * pace * kG * kStep));
    }
  }
  return v;
}

// One stretch of driving: course points from `from` for `count` points
// (wrapping), at a pace.
struct Stretch {
  size_t from;
  size_t count;
  double pace;
};

struct Sample {
  double t, x, y, alt, v, kappa;
  int lap;
};

// The session as course samples with their times, stretch after stretch.
std::vector<Sample> drive(const std::vector<Point>& pts, SessionKind kind, const std::vector<Stretch>& plan,
                          const std::vector<int>& laps) {
  std::vector<Sample> out;
  double t = 0;
  const size_t n = pts.size();
  for (size_t s = 0; s < plan.size(); ++s) {
    const std::vector<double> v = speeds(pts, kind, plan[s].pace);
    for (size_t k = 0; k < plan[s].count; ++k) {
      const size_t i = (plan[s].from + k) % n;
      if (!out.empty()) t += kStep / std::max(0.5, (v[i] + out.back().v) / 2);
      out.push_back({t, pts[i].x, pts[i].y, pts[i].alt, v[i], pts[i].kappa, laps[s]});
    }
  }
  return out;
}

double wobble(double t, double seed) {
  return std::sin(t * 7.3 + seed) * 0.6 + std::sin(t * 13.1 + 2 * seed) * 0.4;
}

} // namespace

bool WriteSession(const SessionSpec& spec, const std::string& path, SessionSummary* summary) {
  const std::vector<Point> pts = course(spec.kind);
  const size_t n = pts.size();
  const bool bicycle = spec.kind == SessionKind::kBicycle;
  // The out lap is the end of a lap before the line (point 0); each lap
  // starts and ends there; the tail is the start of one more lap.
  std::vector<Stretch> plan;
  std::vector<int> lapOf;
  const double firstPace = spec.pace.empty() ? 1.0 : spec.pace.front();
  const std::vector<double> firstV = speeds(pts, spec.kind, firstPace * 0.92);
  double covered = 0;
  size_t back = 0;
  while (covered < spec.outLap && back + 1 < n) {
    ++back;
    covered += kStep / std::max(0.5, firstV[n - back]);
  }
  plan.push_back({n - back, back, firstPace * 0.92});
  lapOf.push_back(0);
  for (int lap = 0; lap < spec.laps; ++lap) {
    const double pace = spec.pace.empty() ? 1.0 : spec.pace[static_cast<size_t>(lap) % spec.pace.size()];
    plan.push_back({0, n, pace});
    lapOf.push_back(lap + 1);
  }
  const std::vector<double> lastV = speeds(pts, spec.kind, 0.9);
  size_t ahead = 0;
  for (covered = 0; covered < spec.tail && ahead + 1 < n; ++ahead) covered += kStep / std::max(0.5, lastV[ahead]);
  plan.push_back({0, ahead, 0.9});
  lapOf.push_back(spec.laps + 1);
  const std::vector<Sample> samples = drive(pts, spec.kind, plan, lapOf);

  std::ofstream out(path);
  if (!out) return false;
  out << (bicycle ? "Session,Evening ride\n\n" : "Session,Club track day\n\n");
  out << (bicycle ? "Time (s),Latitude,Longitude,Altitude (m),Speed (km/h),Heart Rate,Cadence\n"
                  : "Time (s),Latitude,Longitude,Altitude (m),Speed (km/h),RPM,Gear,Throttle (%),Lateral G,"
                    "Longitudinal G,Lap\n");
  const Vehicle car = vehicle(spec.kind);
  SessionSummary result;
  int gear = 1;
  double heart = 96;
  double bestScore = 0;
  size_t j = 0;
  const double duration = samples.back().t;
  const int rows = static_cast<int>(std::floor(duration * spec.rate)) + 1;
  for (int r = 0; r < rows; ++r) {
    const double t = r / spec.rate;
    while (j + 2 < samples.size() && samples[j + 1].t <= t) ++j;
    const Sample& a = samples[j];
    const Sample& b = samples[j + 1];
    const double f = std::clamp((t - a.t) / std::max(1e-6, b.t - a.t), 0.0, 1.0);
    const double x = a.x + f * (b.x - a.x), y = a.y + f * (b.y - a.y);
    const double alt = a.alt + f * (b.alt - a.alt), v = a.v + f * (b.v - a.v);
    const double accel = (b.v - a.v) / std::max(1e-6, b.t - a.t);
    const double lat = kLat0 + y / kMetresPerDegree;
    const double lon = kLon0 + x / (kMetresPerDegree * std::cos(kLat0 * M_PI / 180));
    char line[256];
    if (bicycle) {
      const size_t i = (static_cast<size_t>(j) + 5) % samples.size();
      const double grade = (samples[i].alt - a.alt) / std::max(1.0, 5 * kStep);
      const double effort = std::clamp(0.45 + 9 * grade + 0.02 * (v - 8), 0.05, 1.0);
      heart += (100 + 82 * effort - heart) * (0.25 / spec.rate);
      const double cadence = grade < -0.035 ? 0 : 78 + 14 * effort + 3 * wobble(t, 1.0);
      std::snprintf(line, sizeof line, "%.2f,%.8f,%.8f,%.1f,%.2f,%.0f,%.0f\n", t, lat, lon, alt, v * 3.6,
                    heart + 1.5 * wobble(t, 2.0), cadence);
      // The picture moment: the steepest of the climb.
      if (grade > bestScore) {
        bestScore = grade;
        result.showcase = t;
      }
    } else {
      const int topGear = static_cast<int>(car.gearTop.size());
      auto rpmIn = [&](int g) { return car.idleRpm + (car.topRpm - car.idleRpm) * v / car.gearTop[g - 1]; };
      // The lowest gear that keeps the revs under the change-up point: taken
      // at once going up, and going down once the revs have fallen.
      int wanted = 1;
      while (wanted < topGear && rpmIn(wanted) > car.upRpm) ++wanted;
      if (wanted > gear || (wanted < gear && rpmIn(gear) < car.downRpm)) gear = wanted;
      const double rpm = std::min(rpmIn(gear), car.topRpm + 150) + 40 * wobble(t, 3.0);
      double throttle = 0;
      if (accel > 0.4) throttle = 100;
      else if (accel > -1.5) throttle = std::clamp(35 + 60 * accel, 12.0, 100.0);
      const double latG = v * v * a.kappa / kG + 0.025 * wobble(t, 4.0);
      const double lonG = accel / kG + 0.02 * wobble(t, 5.0);
      std::snprintf(line, sizeof line, "%.2f,%.8f,%.8f,%.1f,%.2f,%.0f,%d,%.0f,%.3f,%.3f,%d\n", t, lat, lon, alt,
                    v * 3.6, rpm, gear, throttle, latG, lonG, a.lap);
      result.maxRpm = std::max(result.maxRpm, rpm);
      // The picture moment: powering out of a corner on the second lap.
      const double kmh = v * 3.6;
      const double score = a.lap == 2 && accel > 0.5 && kmh > 90 && kmh < 170 ? std::fabs(latG) : 0;
      if (score > bestScore) {
        bestScore = score;
        result.showcase = t;
      }
    }
    out << line;
    result.topSpeedKmh = std::max(result.topSpeedKmh, v * 3.6);
  }
  result.duration = (rows - 1) / spec.rate;
  for (size_t s = 1; s + 1 < plan.size(); ++s) {
    double start = 0;
    for (const Sample& sample : samples)
      if (sample.lap == lapOf[s]) {
        start = sample.t;
        break;
      }
    result.lapStarts.push_back(start);
  }
  for (size_t k = 0; k + 1 < result.lapStarts.size(); ++k)
    result.lapTimes.push_back(result.lapStarts[k + 1] - result.lapStarts[k]);
  if (!result.lapStarts.empty()) {
    for (const Sample& sample : samples)
      if (sample.lap == spec.laps + 1) {
        result.lapTimes.push_back(sample.t - result.lapStarts.back());
        break;
      }
  }
  out.flush();
  if (summary != nullptr) *summary = result;
  return static_cast<bool>(out);
}
