#pragma once
// One data log in memory: the file's own columns as a reader filled them,
// then what recognition, derivation and lap detection made of them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

constexpr int kMaxLogFields = 128;
constexpr int kCustomChannels = 4;

// Roles a column can play; the order is fixed because tables index by it.
enum LogRole : int {
  kRoleTime,
  kRolePosX,
  kRolePosY,
  kRolePosZ,
  kRoleGpsAcc,
  kRoleLap,
  kRoleSpeed,
  kRoleHeading,
  kRoleRpm,
  kRoleGear,
  kRoleGForceX,
  kRoleGForceY,
  kRoleThrottle,
  kRoleCount
};

// Format codes of the readers (stored with the record, shown in the log).
enum LogFormat : int {
  kFormatUnknown = 0,
  kFormatNmea = 1,
  kFormatGpx = 2,
  kFormatTcx = 3,
  kFormatFit = 4,
  kFormatVbo = 5,
  kFormatSa = 6,
  kFormatDelimited = 10, // generic; signature profiles add to it
};

// Laps as trigger times on the input's time scale; the lap number at t is
// the count of triggers at or before t less the triggers to ignore.
struct LogLaps {
  std::vector<double> triggers;
  int ignoreFirst = 0;
  // bestUpTo[k]: number of the fastest lap among laps 1..k (index 0
  // unused, -1 = none yet).
  std::vector<int> bestUpTo;
};

// Working channels over the kept samples (strictly increasing times).
// Every role vector is either empty (no channel) or has one value per
// sample. Speed is in the project's speed unit, distance in the matching
// distance unit, accelerations in g, headings in degrees 0..360.
struct LogChannels {
  std::vector<double> time; // input seconds, first sample at 0
  std::vector<uint32_t> keptRows; // row of the file behind each sample
  std::array<std::vector<double>, kRoleCount> role;
  std::vector<double> distance;
  std::array<std::vector<double>, kCustomChannels> custom;
  std::array<std::string, kCustomChannels> customName;
  std::array<int, kRoleCount> sourceField{}; // -1 = derived or none
  std::array<int, kCustomChannels> customSource{}; // its column, -1 = none
  // The file's columns over the kept samples, each read as the channels
  // made of it read it: a gap holds the value before it (the first value
  // for a gap at the start). Empty for a column without gaps, whose own
  // cells serve.
  std::vector<std::vector<double>> heldColumns;
  bool geographic = false;                   // X/Y are longitude/latitude
  uint8_t boostFlags = 7;                    // DataStruct::BoostSampleRate
  double spanX = 0, spanY = 0;
};

struct DataloggerRecord {
  int formatCode = kFormatUnknown;
  std::string formatName;
  double sampleRate = 0; // samples per second, from the median interval
  // The file's own columns in file order (UTF-8 names), column-major rows.
  std::vector<std::string> fieldNames;
  std::vector<std::vector<double>> columns;
  // What the file says a column measures ("EngineSpeed"), where it says
  // so apart from the name; shorter than fieldNames when not every column
  // has one.
  std::vector<std::string> fieldTypes;
  // Reader hints: a column the reader knows to be time, its seconds per
  // unit; positions that are surely longitude/latitude.
  int timeField = -1;
  double timeScale = 1.0;
  // A column of written clock times or date-times that runs forward: the
  // time channel when no column is named as time.
  int clockField = -1;
  bool readerGeographic = false;
  // Time of the first kept sample on the log's own clock (seconds).
  double timeOrigin = 0;
  LogChannels channels;
  LogLaps laps;

  size_t rowCount() const { return columns.empty() ? 0 : columns[0].size(); }
  size_t sampleCount() const { return channels.time.size(); }
  int addField(const std::string& name) {
    fieldNames.push_back(name);
    columns.emplace_back(rowCount(), std::numeric_limits<double>::quiet_NaN());
    return static_cast<int>(fieldNames.size()) - 1;
  }
  // Removes the columns from `first` on that hold no finite value.
  void dropEmptyColumns(size_t first) {
    for (size_t c = columns.size(); c-- > first;) {
      bool any = false;
      for (double v : columns[c])
        if (v == v && v - v == 0) { // finite
          any = true;
          break;
        }
      if (!any) {
        columns.erase(columns.begin() + static_cast<long>(c));
        fieldNames.erase(fieldNames.begin() + static_cast<long>(c));
        if (c < fieldTypes.size())
          fieldTypes.erase(fieldTypes.begin() + static_cast<long>(c));
        if (timeField > static_cast<int>(c))
          --timeField;
        if (clockField > static_cast<int>(c))
          --clockField;
      }
    }
  }
  // Appends one row; missing cells become NaN, extra cells are dropped.
  void appendRow(const std::vector<double>& row) {
    for (size_t c = 0; c < columns.size(); ++c)
      columns[c].push_back(c < row.size() ? row[c] : std::numeric_limits<double>::quiet_NaN());
  }
};
