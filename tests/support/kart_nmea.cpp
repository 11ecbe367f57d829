#include "support/kart_nmea.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr double kLat0 = 52.07, kLon0 = -1.02;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kHalfLength = 60.0, kHalfWidth = 25.0; // metres, an oval

double metresPerLonDegree() { return kMetresPerDegree * std::cos(kLat0 * M_PI / 180); }

// East and north of the oval's centre at course angle a (radians), driven
// clockwise from the start/finish line at its top.
void course(double a, double* east, double* north) {
  *east = kHalfLength * std::sin(a);
  *north = kHalfWidth * std::cos(a);
}

std::string checksummed(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + body + tail + "\r\n";
}

// "ddmm.mmmmmm,H" of an angle in degrees.
std::string angleText(double degrees, int degreeDigits, char positive, char negative) {
  const double whole = std::floor(std::fabs(degrees));
  const double minutes = (std::fabs(degrees) - whole) * 60;
  char text[64];
  std::snprintf(text, sizeof text, "%0*d%09.6f,%c", degreeDigits, static_cast<int>(whole), minutes,
                degrees < 0 ? negative : positive);
  return text;
}

std::string utcText(double seconds) {
  const int centis = static_cast<int>(std::lround(seconds * 100));
  char text[40];
  std::snprintf(text, sizeof text, "12%02d%02d.%02d", centis / 6000, centis / 100 % 60, centis % 100);
  return text;
}

} // namespace

double KartNmea::lineLongitude() const { return kLon0; }
double KartNmea::lineLatitude() const { return kLat0 + kHalfWidth / kMetresPerDegree; }

std::string KartNmea::write(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  const int count = static_cast<int>(std::floor(duration() * laps.rate + 1e-9)) + 1;
  const int ggaFix = static_cast<int>(std::lround(ggaTime * laps.rate));
  for (int i = 0; i < count; ++i) {
    const double t = i / laps.rate;
    double period = 0;
    const double angle = laps.angleAt(t, &period);
    double east, north, east2, north2;
    course(angle, &east, &north);
    course(angle + 2 * M_PI * 0.001 / period, &east2, &north2);
    const double knots = std::hypot(east2 - east, north2 - north) / 0.001 * 3600 / 1852;
    const double bearing = std::fmod(std::atan2(east2 - east, north2 - north) * 180 / M_PI + 360, 360);
    const std::string place = angleText(kLat0 + north / kMetresPerDegree, 2, 'N', 'S') + "," +
                              angleText(kLon0 + east / metresPerLonDegree(), 3, 'E', 'W');
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%.2f,%.1f", knots, bearing);
    out << checksummed("GPRMC," + utcText(t) + ",A," + place + "," + numbers + ",071226,,,A");
    if (i == ggaFix) {
      char height[32];
      std::snprintf(height, sizeof height, "%.1f", altitude);
      out << checksummed("GPGGA," + utcText(t) + "," + place + ",1,09,0.8," + height + ",M,47.0,M,,");
    }
  }
  return out ? path : std::string();
}
