#pragma once
// Distances and bearings between positions: great-circle for longitude and
// latitude in degrees, plane geometry for X/Y in metres.
constexpr double kEarthRadiusM = 6371008.8;
constexpr double kStandardGravity = 9.80665;
constexpr double kMetresPerSecondPerMph = 0.44704;

double GeoDistance(bool geographic, double x1, double y1, double x2, double y2);
// Initial bearing from 1 to 2 in degrees clockwise from north, 0..360.
double GeoBearing(bool geographic, double x1, double y1, double x2, double y2);
// Offset of point 2 from point 1 in metres (east, north).
void GeoOffset(bool geographic, double x1, double y1, double x2, double y2, double& east,
               double& north);
// Wraps an angle into 0..360 and a difference into -180..180.
double WrapDegrees(double degrees);
double AngleDifference(double a, double b);
