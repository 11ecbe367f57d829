#pragma once
// A small FIT activity writer for the tests, after the public protocol
// description: one record definition (with a developer field to skip),
// record messages with normal and compressed time-stamp headers, lap
// messages and the CRC trailer.
#include <cstdint>
#include <string>
#include <vector>

struct FitPoint {
  uint32_t timestamp; // seconds since the FIT epoch
  double lat, lon;    // degrees
  double altitude;    // metres
  double speed;       // m/s
  uint8_t heartRate;
};

std::string WriteFit(const std::vector<FitPoint>& points, const std::vector<uint32_t>& lapStarts,
                     bool bigEndianRecords);
uint16_t FitTestCrc(const std::string& bytes, size_t count);
