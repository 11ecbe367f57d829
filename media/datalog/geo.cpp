#include "media/datalog/geo.h"

#include <cmath>

namespace {
constexpr double kDegToRad = M_PI / 180.0;
}

double GeoDistance(bool geographic, double x1, double y1, double x2, double y2) {
  if (!geographic)
    return std::hypot(x2 - x1, y2 - y1);
  double lat1 = y1 * kDegToRad, lat2 = y2 * kDegToRad;
  double dLat = lat2 - lat1, dLon = (x2 - x1) * kDegToRad;
  double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
             std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(a)));
}

double GeoBearing(bool geographic, double x1, double y1, double x2, double y2) {
  if (!geographic)
    return WrapDegrees(std::atan2(x2 - x1, y2 - y1) / kDegToRad);
  double lat1 = y1 * kDegToRad, lat2 = y2 * kDegToRad, dLon = (x2 - x1) * kDegToRad;
  double y = std::sin(dLon) * std::cos(lat2);
  double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
  return WrapDegrees(std::atan2(y, x) / kDegToRad);
}

void GeoOffset(bool geographic, double x1, double y1, double x2, double y2, double& east,
               double& north) {
  if (!geographic) {
    east = x2 - x1;
    north = y2 - y1;
    return;
  }
  double midLat = (y1 + y2) * 0.5 * kDegToRad;
  east = (x2 - x1) * kDegToRad * kEarthRadiusM * std::cos(midLat);
  north = (y2 - y1) * kDegToRad * kEarthRadiusM;
}

double WrapDegrees(double degrees) {
  double w = std::fmod(degrees, 360.0);
  if (w < 0)
    w += 360.0;
  return w >= 360.0 ? 0.0 : w;
}

double AngleDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180.0)
    d -= 360.0;
  else if (d < -180.0)
    d += 360.0;
  return d;
}
