#pragma once
// Channel recognition: which of a log's columns plays which role, from
// the column names (with unit suffixes), then the stored DataStruct's
// choices over it.
#include <array>
#include <string>
#include <string_view>

#include "model/input_records.h"
#include "media/datalog/datalog_record.h"

struct RoleChoice {
  std::array<int, kRoleCount> column; // -1 = no column
  std::array<double, kRoleCount> factor; // value scale into the engine's unit
  bool geographic = false;
  bool speedCalculate = false; // a stored name asks for derived speed
};

// A column name split into its lower-case base ("gps speed") and unit
// ("km/h"), from "Speed (km/h)", "Speed [kph]" or "speed_kmh".
struct ColumnName {
  std::string base;
  std::string unit;
};
ColumnName SplitColumnName(std::string_view name);

// The role a column name suggests and how surely: 3 the name itself
// ("Engine RPM", "engine/rpm"), 2 its unit ("(rpm)", "(km/h)"), 1 words
// inside a longer name ("ECU Engine Speed", "Lateral Acceleration X").
struct NameMatch {
  int role = kRoleCount;
  int strength = 0;
  bool gps = false; // the name says the value comes from the GPS
};
NameMatch MatchColumnName(std::string_view name);
// The role a type the file gives a column suggests ("EngineSpeed",
// "ThrottlePosition"), as strong as a unit.
NameMatch MatchColumnType(std::string_view type);
// The role a column name suggests, kRoleCount when none.
int RoleOfColumnName(std::string_view name);
// Scale of a column's values into the engine unit of the role: seconds
// for time, miles per hour for speed, metres for altitude; 1 when the unit
// is unknown. `fallbackSpeed` is the factor for a speed without a unit.
double UnitFactor(int role, std::string_view unit, double fallbackSpeed);

// Automatic recognition over the record's own columns: per role the
// strongest match, the reader's time column, else a running clock column
// when no column is named as time.
RoleChoice RecognizeColumns(const DataloggerRecord& record);
// Field by a stored UTF-16 name: exact match first, then ignoring case;
// -1 when none (or the name is empty).
int FindFieldByName(const DataloggerRecord& record, const char16_t* name);
// Automatic recognition, then every non-empty stored name replaces the
// role's column, with the stored unit factors where they apply.
RoleChoice ChooseColumns(const DataloggerRecord& record, const DataStruct& data);
