#include "synthetic_track.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"

namespace {

constexpr double kEarthRadius = 6371008.8;
constexpr double kDeg = 180.0 / M_PI;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

std::string nmeaSentence(const std::string& body) {
  unsigned sum = 0;
  for (char c : body)
    sum ^= static_cast<unsigned char>(c);
  return format("$%s*%02X\r\n", body.c_str(), sum);
}

std::string nmeaAngle(double degrees, bool latitude) {
  double a = std::fabs(degrees);
  int whole = static_cast<int>(a);
  double minutes = (a - whole) * 60.0;
  char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  return latitude ? format("%02d%09.6f,%c", whole, minutes, hemisphere)
                  : format("%03d%09.6f,%c", whole, minutes, hemisphere);
}

std::string utcText(double secondsOfDay) {
  double s = std::fmod(secondsOfDay, 86400.0);
  int hh = static_cast<int>(s / 3600);
  int mm = static_cast<int>((s - hh * 3600) / 60);
  double ss = s - hh * 3600 - mm * 60;
  return format("%02d%02d%06.3f", hh, mm, ss + 1e-9);
}

} // namespace

double SyntheticTrack::lapTime() const { return 2 * M_PI * radius / speed; }

double SyntheticTrack::crossing(int k) const {
  return ((k - 1) * 2 * M_PI - startAngle) * radius / speed;
}

int SyntheticTrack::crossingsWithin(double t) const {
  // The closed form, settled against crossing() so rounding cannot differ.
  int k = std::max(0, static_cast<int>(std::floor((t * speed / radius + startAngle) / (2 * M_PI))));
  while (k > 0 && crossing(k) > t)
    --k;
  while (crossing(k + 1) <= t)
    ++k;
  return k;
}

double SyntheticTrack::latAt(double angle) const {
  return lat0 + radius * std::cos(angle) / kEarthRadius * kDeg;
}

double SyntheticTrack::lonAt(double angle) const {
  return lon0 + radius * std::sin(angle) / (kEarthRadius * std::cos(lat0 / kDeg)) * kDeg;
}

std::vector<TrackSample> SyntheticTrack::samples() const {
  std::vector<TrackSample> out;
  int count = static_cast<int>(std::lround(duration * rate)) + 1;
  for (int i = 0; i < count; ++i) {
    double t = i / rate;
    double angle = startAngle + speed * t / radius;
    TrackSample s;
    s.t = t;
    s.lat = latAt(angle);
    s.lon = lonAt(angle);
    s.speedMs = speed;
    s.heading = std::fmod(angle * kDeg + 90.0 + 3600.0, 360.0);
    s.gear = 3;
    s.rpm = speed * 3.6 * 60.0; // a fixed ratio: one gear
    s.lap = crossingsWithin(t);
    out.push_back(s);
  }
  return out;
}

std::string WriteNmea(const SyntheticTrack& track) {
  std::string text;
  std::string date = format("%02d%02d%02d", track.day, track.month, track.year % 100);
  for (const TrackSample& s : track.samples()) {
    std::string utc = utcText(track.startOfDay + s.t);
    std::string lat = nmeaAngle(s.lat, true), lon = nmeaAngle(s.lon, false);
    text += nmeaSentence(format("GPRMC,%s,A,%s,%s,%.3f,%.2f,%s,,,A", utc.c_str(), lat.c_str(),
                                lon.c_str(), s.speedMs / 0.514444, s.heading, date.c_str()));
    text += nmeaSentence(
        format("GPGGA,%s,%s,%s,1,09,0.9,%.1f,M,47.0,M,,", utc.c_str(), lat.c_str(), lon.c_str(), 120.0));
  }
  return text;
}

std::string WriteGpx(const SyntheticTrack& track, bool version10) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  text += version10 ? "<gpx version=\"1.0\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
                    : "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
                      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">\n";
  text += "<metadata><time>2024-05-17T11:00:00Z</time></metadata>\n<trk><name>Circle &amp; test</name><trkseg>\n";
  for (const TrackSample& s : track.samples()) {
    double tod = track.startOfDay + s.t;
    int hh = static_cast<int>(tod / 3600), mm = static_cast<int>((tod - hh * 3600) / 60);
    double ss = tod - hh * 3600 - mm * 60;
    text += format("<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%.1f</ele><time>%04d-%02d-%02dT%02d:%02d:%06.3fZ</time>",
                   s.lat, s.lon, 120.0 + s.t * 0.1, track.year, track.month, track.day, hh, mm, ss + 1e-9);
    if (version10)
      text += format("<speed>%.3f</speed><course>%.2f</course>", s.speedMs, s.heading);
    else
      text += format("<extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>%d</gpxtpx:hr>"
                     "<gpxtpx:speed>%.3f</gpxtpx:speed></gpxtpx:TrackPointExtension></extensions>",
                     120 + static_cast<int>(s.t) % 40, s.speedMs);
    text += "</trkpt>\n";
  }
  text += "</trkseg></trk>\n</gpx>\n";
  return text;
}

std::string WriteCsv(const SyntheticTrack& track, char delimiter, bool decimalComma) {
  auto number = [&](const char* fmt, double v) {
    std::string s = format(fmt, v);
    if (decimalComma)
      for (char& c : s)
        if (c == '.')
          c = ',';
    return s;
  };
  std::string d(1, delimiter);
  std::string text = "Session" + d + "Test circle\nVenue" + d + "Nowhere\n\n";
  text += "Time (s)" + d + "Latitude" + d + "Longitude" + d + "Speed (km/h)" + d + "RPM" + d + "Gear" +
          d + "Lap\n";
  for (const TrackSample& s : track.samples()) {
    text += number("%.3f", s.t) + d + number("%.9f", s.lat) + d + number("%.9f", s.lon) + d +
            number("%.4f", s.speedMs * 3.6) + d + number("%.1f", s.rpm) + d + std::to_string(s.gear) +
            d + std::to_string(s.lap) + "\n";
  }
  return text;
}

std::string WriteVbo(const SyntheticTrack& track) {
  std::string text = "File created on 17/05/2024 at 12:00:00\n\n[header]\nsatellites\ntime\nlatitude\n"
                     "longitude\nvelocity kmh\nheading\nheight\n\n[channel units]\n\n"
                     "[column names]\nsats time lat long velocity heading height\n\n[data]\n";
  for (const TrackSample& s : track.samples()) {
    // Latitude in minutes; longitude in minutes, positive towards the west.
    text += format("009 %s %+.6f %+.6f %.3f %.2f %+.2f\n", utcText(track.startOfDay + s.t).c_str(),
                   s.lat * 60.0, -s.lon * 60.0, s.speedMs * 3.6, s.heading, 120.0);
  }
  return text;
}

std::string DatalogTestDir() { return ProcessScratchFolder("qv-datalog-test"); }

std::string WriteDatalogFile(const std::string& name, const std::string& content) {
  std::string path = DatalogTestDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out << content;
  return path;
}
