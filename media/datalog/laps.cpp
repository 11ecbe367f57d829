#include "media/datalog/laps.h"

#include <algorithm>
#include <cmath>

#include "media/datalog/geo.h"

namespace {

constexpr double kMinLapSeconds = 3.0;   // passes closer than this are one pass
constexpr float kDefaultHeadTolerance = 30.0f;
constexpr double kSpanTolerance = 1.0 / 40.0; // default tolerance: span / 40

struct Pass {
  size_t first, last; // samples inside the box
  size_t nearest;     // the sample closest to the point
};

std::vector<Pass> findPasses(const LogChannels& ch, const DataStruct& data) {
  const std::vector<double>& x = ch.role[kRolePosX];
  const std::vector<double>& y = ch.role[kRolePosY];
  double tolX = data.LapTolX > 0 ? data.LapTolX : ch.spanX * kSpanTolerance;
  double tolY = data.LapTolY > 0 ? data.LapTolY : ch.spanY * kSpanTolerance;
  tolX = std::max(tolX, 1e-12);
  tolY = std::max(tolY, 1e-12);
  std::vector<Pass> passes;
  bool inside = false;
  double bestDistance = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    double dx = (x[i] - data.LapX) / tolX, dy = (y[i] - data.LapY) / tolY;
    bool in = std::fabs(dx) <= 1 && std::fabs(dy) <= 1;
    double d = dx * dx + dy * dy;
    if (in && !inside) {
      passes.push_back({i, i, i});
      bestDistance = d;
    } else if (in) {
      passes.back().last = i;
      if (d < bestDistance) {
        bestDistance = d;
        passes.back().nearest = i;
      }
    }
    inside = in;
  }
  return passes;
}

// Direction of travel at sample i from the heading channel or positions.
double travelHeading(const LogChannels& ch, size_t i) {
  if (!ch.role[kRoleHeading].empty())
    return ch.role[kRoleHeading][i];
  const std::vector<double>& x = ch.role[kRolePosX];
  const std::vector<double>& y = ch.role[kRolePosY];
  size_t a = i > 0 ? i - 1 : 0, b = std::min(i + 1, x.size() - 1);
  return GeoBearing(ch.geographic, x[a], y[a], x[b], y[b]);
}

// Time at which the track crosses the line through the lap point at right
// angles to `heading`, searched one sample around the pass; the nearest
// sample's time when it never crosses forwards.
double crossingTime(const LogChannels& ch, const DataStruct& data, const Pass& pass,
                    double heading) {
  const std::vector<double>& x = ch.role[kRolePosX];
  const std::vector<double>& y = ch.role[kRolePosY];
  double dirEast = std::sin(heading * M_PI / 180), dirNorth = std::cos(heading * M_PI / 180);
  auto along = [&](size_t i) {
    double east, north;
    GeoOffset(ch.geographic, data.LapX, data.LapY, x[i], y[i], east, north);
    return east * dirEast + north * dirNorth;
  };
  size_t from = pass.first > 0 ? pass.first - 1 : 0;
  size_t to = std::min(pass.last + 1, x.size() - 1);
  for (size_t i = from; i < to; ++i) {
    double s0 = along(i), s1 = along(i + 1);
    if (s0 < 0 && s1 >= 0) {
      double f = s0 / (s0 - s1);
      return ch.time[i] + f * (ch.time[i + 1] - ch.time[i]);
    }
  }
  return ch.time[pass.nearest];
}

} // namespace

std::vector<double> LapTriggersFromColumn(const std::vector<double>& time,
                                          const std::vector<double>& lap) {
  std::vector<double> triggers;
  for (size_t i = 1; i < lap.size() && i < time.size(); ++i)
    if (std::isfinite(lap[i]) && std::isfinite(lap[i - 1]) && lap[i] != lap[i - 1] && lap[i] != 0)
      triggers.push_back(time[i]);
  return triggers;
}

std::vector<double> LapTriggersFromPoint(const LogChannels& ch, const DataStruct& data,
                                         bool enhanced) {
  std::vector<double> triggers;
  if (ch.role[kRolePosX].empty() || ch.role[kRolePosY].empty() || ch.time.size() < 2)
    return triggers;
  float tolerance = data.LapHeadTol >= 0.1f ? data.LapHeadTol : kDefaultHeadTolerance;
  bool automatic = data.LapHeading < 0;
  double reference = data.LapHeading;
  bool haveReference = !automatic;
  for (const Pass& pass : findPasses(ch, data)) {
    double heading = travelHeading(ch, pass.nearest);
    if (!haveReference) {
      reference = heading;
      haveReference = true;
    }
    if (std::fabs(AngleDifference(heading, reference)) > tolerance)
      continue;
    double t = enhanced ? crossingTime(ch, data, pass, reference) : ch.time[pass.nearest];
    if (!triggers.empty() && t - triggers.back() < kMinLapSeconds)
      continue;
    triggers.push_back(t);
  }
  return triggers;
}

void DetectLaps(DataloggerRecord& record, const DataStruct& data) {
  LogLaps& laps = record.laps;
  laps = LogLaps();
  laps.ignoreFirst = data.IgnoreFirstLaps;
  const LogChannels& ch = record.channels;
  bool byPoint = (data.LapManual & 1) != 0;
  bool enhanced = byPoint && (data.LapManual & 2) != 0 && std::fabs(data.LapX) <= 180 &&
                  std::fabs(data.LapY) <= 90;
  if (byPoint)
    laps.triggers = LapTriggersFromPoint(ch, data, enhanced);
  else if (!ch.role[kRoleLap].empty())
    laps.triggers = LapTriggersFromColumn(ch.time, ch.role[kRoleLap]);
  int count = LapNumberAt(laps, ch.time.empty() ? 0 : ch.time.back());
  laps.bestUpTo.assign(static_cast<size_t>(std::max(count, 0)) + 1, -1);
  for (int n = 1; n <= count; ++n) {
    int best = laps.bestUpTo[n - 1];
    if (LapIsComplete(laps, n) && (best < 0 || LapDuration(laps, n) < LapDuration(laps, best)))
      best = n;
    laps.bestUpTo[n] = best;
  }
}

int LapNumberAt(const LogLaps& laps, double t) {
  auto passed = std::upper_bound(laps.triggers.begin(), laps.triggers.end(), t);
  long n = static_cast<long>(passed - laps.triggers.begin()) - laps.ignoreFirst;
  return static_cast<int>(std::max(0L, n));
}

double LapStartTime(const LogLaps& laps, int n) {
  if (n < 0)
    return 0.0;
  long k = static_cast<long>(n) + laps.ignoreFirst;
  if (k == 0 || k > static_cast<long>(laps.triggers.size()))
    return 0.0;
  return laps.triggers[static_cast<size_t>(k - 1)];
}

bool LapIsComplete(const LogLaps& laps, int n) {
  return n >= 0 && static_cast<long>(n) + laps.ignoreFirst < static_cast<long>(laps.triggers.size());
}

double LapDuration(const LogLaps& laps, int n) {
  if (!LapIsComplete(laps, n))
    return 0.0;
  return LapStartTime(laps, n + 1) - LapStartTime(laps, n);
}

double CurrentLapTime(const LogLaps& laps, double t) {
  auto passed = std::upper_bound(laps.triggers.begin(), laps.triggers.end(), t);
  double start = passed == laps.triggers.begin() ? 0.0 : *(passed - 1);
  return std::max(0.0, t - start);
}

double PreviousLapTime(const LogLaps& laps, double t) {
  int n = LapNumberAt(laps, t);
  return n >= 1 ? LapDuration(laps, n - 1) : 0.0;
}

int BestLap(const LogLaps& laps) { return laps.bestUpTo.empty() ? -1 : laps.bestUpTo.back(); }

int BestLapSoFar(const LogLaps& laps, double t) {
  int n = LapNumberAt(laps, t);
  if (n < 2 || laps.bestUpTo.empty())
    return -1;
  size_t k = std::min<size_t>(static_cast<size_t>(n - 1), laps.bestUpTo.size() - 1);
  return laps.bestUpTo[k];
}
