#pragma once
// A synthetic circuit for the data-log tests: a circle of known radius
// driven clockwise at a known speed, sampled at a fixed rate and written as
// NMEA, GPX, CSV or VBOX text. Everything the tests expect (positions,
// speed, heading, crossing times of the start/finish point) follows from
// the geometry.
#include <string>
#include <vector>

struct TrackSample {
  double t;       // seconds from the first sample
  double lat, lon; // degrees
  double speedMs;
  double heading; // degrees
  double rpm;
  int gear;
  int lap; // crossings of the start/finish point so far
};

struct SyntheticTrack {
  double radius = 100.0;    // metres
  double speed = 20.0;      // metres per second
  double rate = 10.0;       // samples per second
  double duration = 110.0;  // seconds
  double startAngle = -0.5; // radians before the start/finish point
  double lat0 = 52.0, lon0 = -1.0;
  // Seconds of the first sample after midnight UTC and its date.
  double startOfDay = 12 * 3600.0;
  int year = 2024, month = 5, day = 17;

  double lapTime() const;
  // Time of the k-th crossing (k from 1) of the northernmost point.
  double crossing(int k) const;
  int crossingsWithin(double t) const;
  double latAt(double angle) const;
  double lonAt(double angle) const;
  std::vector<TrackSample> samples() const;
  // Start/finish point: the northernmost point of the circle.
  double lapLat() const { return latAt(0); }
  double lapLon() const { return lonAt(0); }
};

std::string WriteNmea(const SyntheticTrack& track);
std::string WriteGpx(const SyntheticTrack& track, bool version10);
// "Time (s),Latitude,Longitude,Speed (km/h),RPM,Gear,Lap" after a couple of
// metadata lines.
std::string WriteCsv(const SyntheticTrack& track, char delimiter, bool decimalComma);
std::string WriteVbo(const SyntheticTrack& track);

// Files of the test process's private folder.
std::string DatalogTestDir();
std::string WriteDatalogFile(const std::string& name, const std::string& content);
