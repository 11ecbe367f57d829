#pragma once
// Helpers of the end-to-end tests: folders of the test process, a
// generated circuit log with known laps, frames written as PNG for a look,
// and folder listings.
#include <cstdint>
#include <string>
#include <vector>

// A new folder under the process's TMPDIR.
std::string E2eFolder(const std::string& name);
// The folder beside the test program where frames are written for a look.
std::string E2eFramesDir();
// The folder holding the test program.
std::string E2eProgramDir();
// Names in the folder, sorted.
std::vector<std::string> E2eListFolder(const std::string& folder);
std::string E2eReadFile(const std::string& path);

// A small circuit driven lap after lap: an oval course with a varying
// speed, one turn per lap, each lap in its own known time. Written as CSV
// with time, position, speed and lap columns.
struct E2eCircuit {
  double outLap = 0.4;                 // seconds before the line is first crossed
  std::vector<double> lapTimes{1.0, 0.9};
  double tail = 0.5;                   // seconds after the last full lap
  double rate = 20.0;                  // samples per second
  double duration() const;
  double lapStart(int n) const;        // n from 1
  std::string write(const std::string& path) const;
};

// Writes a top-down B, G, R, A picture as PNG (through the ffmpeg tool).
bool E2eWritePng(const std::vector<uint8_t>& bgra, int width, int height, const std::string& path);
