#pragma once
// A small FIT writer for the tests, after the public protocol description:
// definitions, data messages with normal and compressed time-stamp headers,
// either byte order, developer fields, and the header and file CRCs.
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

struct FitFieldDef {
  uint8_t number, size, baseType;
};

class FitBuilder {
public:
  void define(int local, uint16_t global, const std::vector<FitFieldDef>& fields, bool bigEndian = false,
              uint8_t developerBytes = 0);
  // A data message with the field values in definition order (developer
  // bytes filled in); `compressedTime` >= 0 uses a compressed time-stamp
  // header with those low five bits.
  void data(int local, const std::vector<uint64_t>& values, int compressedTime = -1);
  // Offset in the finished file just after the last message written.
  size_t end() const { return 14 + body_.size(); }
  std::string finish() const;

private:
  struct Local {
    std::vector<FitFieldDef> fields;
    bool bigEndian = false;
    uint8_t developerBytes = 0;
  };
  Local locals_[16];
  std::string body_;
};

// An activity: records (every other one with a compressed time stamp) and
// laps. `recordEnds`, when given, receives the file offset after each
// record message.
std::string WriteFit(const std::vector<FitPoint>& points, const std::vector<uint32_t>& lapStarts,
                     bool bigEndianRecords, std::vector<size_t>* recordEnds = nullptr);
uint16_t FitTestCrc(const std::string& bytes, size_t count);
int32_t FitSemicircles(double degrees);
