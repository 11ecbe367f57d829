#include "media/datalog/derived.h"

#include <algorithm>
#include <cmath>

#include "media/datalog/geo.h"

namespace {

constexpr double kStandStillM = 0.05; // positions closer than this give no heading
constexpr double kDegToRad = M_PI / 180.0;

// valueAt(i, a, b) for every sample i in order, a and b its neighbours for
// a centred difference (one-sided at the ends); all zero below two samples.
template <class ValueAt>
std::vector<double> FromNeighbours(size_t n, ValueAt valueAt) {
  std::vector<double> values(n, 0.0);
  for (size_t i = 0; i < n && n > 1; ++i)
    values[i] = valueAt(i, i > 0 ? i - 1 : 0, i + 1 < n ? i + 1 : n - 1);
  return values;
}

} // namespace

std::vector<double> DeriveSpeed(const std::vector<double>& t, const std::vector<double>& x,
                                const std::vector<double>& y, bool geographic) {
  return FromNeighbours(t.size(), [&](size_t, size_t a, size_t b) {
    const double dt = t[b] - t[a];
    return dt > 0 ? GeoDistance(geographic, x[a], y[a], x[b], y[b]) / dt : 0.0;
  });
}

std::vector<double> DeriveHeading(const std::vector<double>& x, const std::vector<double>& y,
                                  bool geographic) {
  double last = -1;
  std::vector<double> heading = FromNeighbours(x.size(), [&](size_t, size_t a, size_t b) {
    if (GeoDistance(geographic, x[a], y[a], x[b], y[b]) >= kStandStillM)
      last = GeoBearing(geographic, x[a], y[a], x[b], y[b]);
    return last;
  });
  // Samples before the first movement take the first heading known.
  double first = 0;
  for (double h : heading)
    if (h >= 0) {
      first = h;
      break;
    }
  for (double& h : heading)
    if (h < 0)
      h = first;
    else
      break;
  return heading;
}

std::vector<double> DeriveLateralG(const std::vector<double>& t, const std::vector<double>& speedMs,
                                   const std::vector<double>& heading) {
  return FromNeighbours(t.size(), [&](size_t i, size_t a, size_t b) {
    const double dt = t[b] - t[a];
    if (dt <= 0)
      return 0.0;
    const double yawRate = AngleDifference(heading[b], heading[a]) * kDegToRad / dt;
    return speedMs[i] * yawRate / kStandardGravity;
  });
}

std::vector<double> DeriveLongitudinalG(const std::vector<double>& t,
                                        const std::vector<double>& speedMs) {
  return FromNeighbours(t.size(), [&](size_t, size_t a, size_t b) {
    const double dt = t[b] - t[a];
    return dt > 0 ? (speedMs[b] - speedMs[a]) / dt / kStandardGravity : 0.0;
  });
}

std::vector<double> DeriveDistance(const std::vector<double>& x, const std::vector<double>& y,
                                   bool geographic) {
  std::vector<double> distance(x.size(), 0.0);
  for (size_t i = 1; i < x.size(); ++i)
    distance[i] = distance[i - 1] + GeoDistance(geographic, x[i - 1], y[i - 1], x[i], y[i]);
  return distance;
}

std::vector<double> IntegrateSpeed(const std::vector<double>& t,
                                   const std::vector<double>& speedMs) {
  std::vector<double> distance(t.size(), 0.0);
  for (size_t i = 1; i < t.size(); ++i)
    distance[i] = distance[i - 1] + 0.5 * (speedMs[i] + speedMs[i - 1]) * (t[i] - t[i - 1]);
  return distance;
}

std::vector<double> DeriveGear(const std::vector<double>& speed, const std::vector<double>& rpm) {
  size_t n = std::min(speed.size(), rpm.size());
  std::vector<double> gear(n, 0.0);
  // Log of the ratio for moving, engaged samples; clusters are runs of
  // sorted ratios separated by gaps wider than a few percent.
  std::vector<double> ratios;
  std::vector<double> ratioOf(n, NAN);
  double maxSpeed = 0;
  for (size_t i = 0; i < n; ++i)
    maxSpeed = std::max(maxSpeed, speed[i]);
  for (size_t i = 0; i < n; ++i) {
    if (speed[i] > maxSpeed * 0.05 && rpm[i] > 300) {
      ratioOf[i] = std::log(rpm[i] / speed[i]);
      ratios.push_back(ratioOf[i]);
    }
  }
  if (ratios.size() < 10)
    return gear;
  std::sort(ratios.begin(), ratios.end());
  std::vector<double> centres;
  size_t start = 0;
  size_t minMembers = std::max<size_t>(3, ratios.size() / 50);
  for (size_t i = 1; i <= ratios.size(); ++i) {
    if (i == ratios.size() || ratios[i] - ratios[i - 1] > 0.04) {
      if (i - start >= minMembers)
        centres.push_back(ratios[start + (i - start) / 2]);
      start = i;
    }
  }
  if (centres.empty() || centres.size() > 12)
    return gear;
  std::sort(centres.rbegin(), centres.rend()); // highest ratio = first gear
  for (size_t i = 0; i < n; ++i) {
    if (std::isnan(ratioOf[i]))
      continue;
    size_t best = 0;
    for (size_t k = 1; k < centres.size(); ++k)
      if (std::fabs(ratioOf[i] - centres[k]) < std::fabs(ratioOf[i] - centres[best]))
        best = k;
    if (std::fabs(ratioOf[i] - centres[best]) < 0.1)
      gear[i] = static_cast<double>(best + 1);
  }
  return gear;
}

std::vector<double> Smooth(const std::vector<double>& values, int width) {
  size_t n = values.size();
  int half = width / 2;
  if (n < 3 || half < 1)
    return values;
  std::vector<double> out(n);
  for (size_t i = 0; i < n; ++i) {
    size_t a = i >= static_cast<size_t>(half) ? i - half : 0;
    size_t b = std::min(n - 1, i + half);
    // Symmetric window so a linear trend is not shifted at the ends.
    size_t reach = std::min(i - a, b - i);
    double sum = 0;
    for (size_t k = i - reach; k <= i + reach; ++k)
      sum += values[k];
    out[i] = sum / static_cast<double>(2 * reach + 1);
  }
  return out;
}

double CustomOperation(int op, double value, double operand) {
  switch (op) {
  case 1:
    return value - operand;
  case 2:
    return value * operand;
  case 3:
    return operand != 0 ? value / operand : 0.0;
  case 4:
    return value * 9.0 / 5.0 + 32.0;
  case 5:
    return (value - 32.0) * 5.0 / 9.0;
  default:
    return value + operand;
  }
}
