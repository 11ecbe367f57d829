#pragma once
// A kart's GPS log as a plain receiver writes it: RMC sentences five times
// a second for an out lap, two timed laps and a short tail, with exactly
// one GGA sentence (the only altitude the log holds). The laps are cut at
// the start/finish point, which the log itself does not mark.
#include <string>

#include "support/circuit_log.h"

struct KartNmea {
  // Out lap, lap times, tail (seconds) and fixes per second.
  E2eCircuit laps{3.0, {21.0, 20.4}, 4.0, 5.0};
  double ggaTime = 10.0;  // the fix that also has a GGA sentence
  double altitude = 33.8; // metres, in that GGA sentence

  double duration() const { return laps.duration(); }
  double lapStart(int n) const { return laps.lapStart(n); } // n from 1
  // The start/finish point, where the kart heads east.
  double lineLongitude() const;
  double lineLatitude() const;
  std::string write(const std::string& path) const;
};
