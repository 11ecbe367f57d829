#include "media/datalog/recognition.h"

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "base/text.h"
#include "media/logs/text_scan.h"

namespace {

constexpr double kKmhToMph = 0.621371192;
constexpr double kMsToMph = 2.236936292;
constexpr double kKnotToMph = 1.150779448;
constexpr float kMinFactor = 0.00001f;

// Lower case with blanks, underscores, hyphens, dots and '#' removed.
std::string squash(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' || c == '_' || c == '-' || c == '.' || c == '#' || c == '"')
      continue;
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

bool oneOf(const std::string& key, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (key == name)
      return true;
  return false;
}

// Unit words recognised after a blank or underscore; single letters are
// left out because "Long G" or "Pos X" are names, not units.
const char* const kUnitTokens[] = {"kmh", "kph", "mph", "ms",  "mps", "knots", "kn",
                                   "kts", "deg", "sec", "ft",  "km/h", "m/s",  "rpm"};

} // namespace

ColumnName SplitColumnName(std::string_view name) {
  ColumnName out;
  std::string_view text = TrimBlanks(name);
  size_t open = text.find_first_of("([");
  if (open != std::string_view::npos && open > 0) {
    size_t close = text.find_first_of(")]", open);
    std::string_view unit = text.substr(open + 1, close == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : close - open - 1);
    out.unit = LowerAscii(TrimBlanks(unit));
    out.base = LowerAscii(TrimBlanks(text.substr(0, open)));
    return out;
  }
  out.base = LowerAscii(text);
  size_t split = out.base.find_last_of(" _");
  if (split != std::string::npos && split > 0) {
    std::string tail = out.base.substr(split + 1);
    for (const char* token : kUnitTokens)
      if (tail == token) {
        out.unit = tail;
        out.base = out.base.substr(0, split);
        break;
      }
  }
  return out;
}

namespace {

// The role of a whole (squashed) name, kRoleCount when none.
int exactRole(const std::string& key) {
  if (oneOf(key, {"time", "utc", "utctime", "timestamp", "elapsedtime", "sessiontime", "t",
                  "seconds", "secs", "sampletime", "gpstime", "timeofday", "datetime",
                  "devicetime", "times", "elapsed"}))
    return kRoleTime;
  if (oneOf(key, {"latitude", "lat", "gpslatitude", "gpslat", "latdeg", "latdegrees"}))
    return kRolePosY;
  if (oneOf(key, {"longitude", "lon", "long", "lng", "gpslongitude", "gpslon", "gpslong",
                  "londeg", "longdegrees", "x", "posx", "positionx", "xpos", "xposition"}))
    return kRolePosX;
  if (oneOf(key, {"y", "posy", "positiony", "ypos", "yposition"}))
    return kRolePosY;
  if (oneOf(key, {"altitude", "alt", "elevation", "ele", "height", "gpsaltitude", "gpsheight",
                  "z", "posz", "altitudemsl"}))
    return kRolePosZ;
  if (oneOf(key, {"accuracy", "gpsaccuracy", "hdop", "horizontalaccuracy", "hacc",
                  "positionaccuracy", "gpshdop", "precision"}))
    return kRoleGpsAcc;
  if (oneOf(key, {"lap", "lapnumber", "lapno", "laps", "lapcount", "beacon", "laptrigger",
                  "lapmarker", "lapindex"}))
    return kRoleLap;
  if (oneOf(key, {"speed", "gpsspeed", "velocity", "vehiclespeed", "groundspeed", "spd",
                  "speedoverground", "sog", "wheelspeed", "obdspeed"}))
    return kRoleSpeed;
  if (oneOf(key, {"heading", "course", "bearing", "direction", "cog", "gpsheading", "track",
                  "courseoverground", "gpscourse", "yaw"}))
    return kRoleHeading;
  if (oneOf(key, {"rpm", "enginespeed", "enginerpm", "revs", "tach", "tacho", "engine",
                  "revolutions", "rpms"}))
    return kRoleRpm;
  if (oneOf(key, {"gear", "gearposition", "currentgear", "gearnumber"}))
    return kRoleGear;
  if (oneOf(key, {"throttle", "tps", "throttleposition", "accelerator", "pedal",
                  "acceleratorpedal", "throttlepos", "throttlepercent"}))
    return kRoleThrottle;
  if (oneOf(key, {"lateralg", "latg", "glat", "lateralacceleration", "lateralacc", "latacc",
                  "accelx", "accelerationx", "gx", "xg", "gforcex", "lateral", "accx"}))
    return kRoleGForceX;
  if (oneOf(key, {"longitudinalg", "longg", "long.g", "glong", "longitudinalacceleration",
                  "longacc", "lonacc", "inlineg", "accely", "accelerationy", "gy", "yg",
                  "gforcey", "longitudinal", "accy", "ging"}))
    return kRoleGForceY;
  return kRoleCount;
}

using Words = std::vector<std::string>;

// Lower-case words of a name, split at everything but letters and digits
// ("ECU Engine Speed", "engine/rpm").
Words wordsOf(std::string_view text) {
  Words words;
  std::string word;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty())
    words.push_back(word);
  return words;
}

bool has(const Words& w, std::initializer_list<const char*> any) {
  for (const std::string& word : w)
    if (oneOf(word, any))
      return true;
  return false;
}

bool pair(const Words& w, const char* first, const char* second) {
  for (size_t i = 0; i + 1 < w.size(); ++i)
    if (w[i] == first && w[i + 1] == second)
      return true;
  return false;
}

// Statistics and settings are not the channel itself ("Max Speed",
// "Target RPM", "Predicted Lap Time").
bool isStatistic(const Words& w) {
  return has(w, {"max", "min", "maximum", "minimum", "avg", "average", "mean", "target", "limit",
                 "predicted", "delta", "best", "diff", "offset", "error", "setpoint", "peak"});
}

// Speeds that are not the vehicle's.
bool isOtherSpeed(const Words& w) {
  return has(w, {"vertical", "vert", "wind", "air", "fan", "pump", "shaft", "turbo", "climb"});
}

// Words inside a longer name, for names with a vendor prefix or suffix.
int roleOfWords(const Words& w) {
  if (w.empty() || isStatistic(w))
    return kRoleCount;
  if (pair(w, "engine", "speed") || pair(w, "motor", "speed") || has(w, {"rpm", "revs", "tach", "tacho", "tachometer"}))
    return kRoleRpm;
  if (has(w, {"lateral"}) || pair(w, "lat", "g") || pair(w, "g", "lat") || pair(w, "lat", "acc") ||
      pair(w, "lat", "accel"))
    return kRoleGForceX;
  if (has(w, {"longitudinal", "inline"}) || pair(w, "long", "g") || pair(w, "lon", "g") ||
      pair(w, "g", "long") || pair(w, "long", "acc") || pair(w, "long", "accel"))
    return kRoleGForceY;
  if (has(w, {"latitude"}))
    return kRolePosY;
  if (has(w, {"longitude"}))
    return kRolePosX;
  if (has(w, {"altitude", "elevation"}))
    return kRolePosZ;
  if (has(w, {"throttle", "tps", "accelerator"}) || pair(w, "pedal", "position"))
    return kRoleThrottle;
  if (has(w, {"gear"}) && !has(w, {"ratio", "oil", "temp", "temperature"}))
    return kRoleGear;
  if (has(w, {"heading", "course", "bearing"}))
    return kRoleHeading;
  if (has(w, {"speed", "velocity", "spd"}) && !isOtherSpeed(w))
    return kRoleSpeed;
  if (has(w, {"accuracy", "hdop"}))
    return kRoleGpsAcc;
  if (has(w, {"timestamp", "datetime"}) ||
      (w.back() == "time" && w.size() >= 2 &&
       oneOf(w[w.size() - 2], {"session", "elapsed", "gps", "device", "log", "logger", "sample", "record",
                               "system", "utc", "local", "clock", "real", "date", "run"})))
    return kRoleTime;
  if (has(w, {"lap"}) && has(w, {"number", "no", "nr", "index", "count"}))
    return kRoleLap;
  return kRoleCount;
}

bool isSpeedUnit(const std::string& unit) {
  return oneOf(unit, {"kmh", "km/h", "kph", "kmph", "mph", "m/s", "mps", "kn", "knots", "kts", "kt", "knot"});
}

// A column counted in seconds (or ms, min) that runs strictly forward:
// the time of a log whose time column has a name of another language.
int countedTimeColumn(const DataloggerRecord& record) {
  for (size_t f = 0; f < record.fieldNames.size(); ++f) {
    std::string unit = squash(SplitColumnName(record.fieldNames[f]).unit);
    if (!oneOf(unit, {"s", "sec", "secs", "seconds", "ms", "msec", "min"}))
      continue;
    double last = -INFINITY;
    size_t finite = 0;
    bool forward = true;
    for (double v : record.columns[f]) {
      if (!std::isfinite(v))
        continue;
      forward = v > last;
      if (!forward)
        break;
      last = v;
      ++finite;
    }
    if (forward && finite >= 2)
      return static_cast<int>(f);
  }
  return -1;
}

bool positionDerived(int role) {
  return role == kRolePosX || role == kRolePosY || role == kRolePosZ || role == kRoleSpeed ||
         role == kRoleHeading;
}

} // namespace

NameMatch MatchColumnName(std::string_view name) {
  ColumnName split = SplitColumnName(name);
  std::string unit = squash(split.unit);
  int exact = exactRole(squash(split.base));
  size_t slash = split.base.find_last_of('/');
  if (exact == kRoleCount && slash != std::string::npos) // "engine/rpm", "sensors/gear"
    exact = exactRole(squash(split.base.substr(slash + 1)));
  Words words = wordsOf(split.base);
  NameMatch match;
  match.gps = has(words, {"gps"});
  if (unit == "rpm" || unit == "1/min") { // a speed in rpm turns, it does not travel
    match.role = kRoleRpm;
    match.strength = exact == kRoleRpm ? 3 : 2;
  } else if (exact != kRoleCount) {
    match.role = exact;
    match.strength = 3;
  } else if (isSpeedUnit(unit) && !isOtherSpeed(words) && !isStatistic(words)) {
    match.role = kRoleSpeed;
    match.strength = 2;
  } else {
    match.role = roleOfWords(words);
    match.strength = match.role == kRoleCount ? 0 : 1;
  }
  return match;
}

int RoleOfColumnName(std::string_view name) { return MatchColumnName(name).role; }

NameMatch MatchColumnType(std::string_view type) {
  // "EngineSpeed", "ThrottlePosition": words at the capitals too.
  std::string spaced;
  for (size_t i = 0; i < type.size(); ++i) {
    bool upper = std::isupper(static_cast<unsigned char>(type[i]));
    if (upper && i > 0 && std::islower(static_cast<unsigned char>(type[i - 1])))
      spaced += ' ';
    spaced += type[i];
  }
  NameMatch match;
  match.role = roleOfWords(wordsOf(spaced));
  match.strength = match.role == kRoleCount ? 0 : 2;
  return match;
}

double UnitFactor(int role, std::string_view unitText, double fallbackSpeed) {
  std::string unit = squash(unitText);
  switch (role) {
  case kRoleTime:
    if (unit == "ms" || unit == "msec" || unit == "milliseconds")
      return 0.001;
    if (unit == "us" || unit == "microseconds")
      return 0.000001;
    if (unit == "min" || unit == "minutes")
      return 60;
    if (unit == "h" || unit == "hours")
      return 3600;
    return 1;
  case kRoleSpeed:
    if (unit == "kmh" || unit == "km/h" || unit == "kph" || unit == "kmph")
      return kKmhToMph;
    if (unit == "mph")
      return 1;
    if (unit == "m/s" || unit == "ms" || unit == "mps" || unit == "meters/second" ||
        unit == "metres/second")
      return kMsToMph;
    if (unit == "kn" || unit == "knots" || unit == "kts" || unit == "kt" || unit == "knot")
      return kKnotToMph;
    return fallbackSpeed;
  case kRolePosZ:
    if (unit == "ft" || unit == "feet")
      return 0.3048;
    return 1;
  case kRoleGForceX:
  case kRoleGForceY:
    if (unit == "m/s2" || unit == "m/s^2" || unit == "ms2" || unit == "m/s²")
      return 1.0 / 9.80665;
    return 1;
  default:
    return 1;
  }
}

RoleChoice RecognizeColumns(const DataloggerRecord& record) {
  RoleChoice choice;
  choice.column.fill(-1);
  choice.factor.fill(1.0);
  std::array<NameMatch, kRoleCount> best{};
  for (size_t f = 0; f < record.fieldNames.size(); ++f) {
    NameMatch m = MatchColumnName(record.fieldNames[f]);
    if (m.strength < 2 && f < record.fieldTypes.size() && !record.fieldTypes[f].empty())
      if (NameMatch byType = MatchColumnType(record.fieldTypes[f]); byType.role != kRoleCount)
        m = byType;
    if (m.role == kRoleCount)
      continue;
    // A stronger match wins; among names found by unit or by words the
    // GPS one wins for what positions give; else the first in the file.
    const NameMatch& held = best[m.role];
    bool better = choice.column[m.role] < 0 || m.strength > held.strength ||
                  (m.strength == held.strength && m.strength < 3 && positionDerived(m.role) && m.gps &&
                   !held.gps);
    if (!better)
      continue;
    best[m.role] = m;
    choice.column[m.role] = static_cast<int>(f);
    choice.factor[m.role] = UnitFactor(m.role, SplitColumnName(record.fieldNames[f]).unit, kKmhToMph);
  }
  int fields = static_cast<int>(record.fieldNames.size());
  if (choice.column[kRoleTime] < 0 && record.clockField < 0) {
    int counted = countedTimeColumn(record);
    if (counted >= 0) {
      choice.column[kRoleTime] = counted;
      choice.factor[kRoleTime] = UnitFactor(kRoleTime, SplitColumnName(record.fieldNames[counted]).unit, 1);
    }
  }
  if (record.timeField >= 0 && record.timeField < fields) {
    choice.column[kRoleTime] = record.timeField;
    choice.factor[kRoleTime] = record.timeScale;
  } else if (record.clockField >= 0 && record.clockField < fields &&
             (choice.column[kRoleTime] < 0 || best[kRoleTime].strength < 3)) {
    choice.column[kRoleTime] = record.clockField;
    choice.factor[kRoleTime] = 1.0;
  }
  std::string xName = choice.column[kRolePosX] >= 0
                          ? squash(SplitColumnName(record.fieldNames[choice.column[kRolePosX]]).base)
                          : std::string();
  bool xIsPlain = xName == "x" || xName.find("pos") != std::string::npos;
  choice.geographic = record.readerGeographic || (!xIsPlain && choice.column[kRolePosX] >= 0);
  return choice;
}

int FindFieldByName(const DataloggerRecord& record, const char16_t* name) {
  if (!name || name[0] == 0)
    return -1;
  std::u16string wanted(name, Str16Len(name));
  std::string utf8 = WideToUtf8(Utf16ToWide(wanted));
  for (size_t f = 0; f < record.fieldNames.size(); ++f)
    if (record.fieldNames[f] == utf8)
      return static_cast<int>(f);
  std::string lower = LowerAscii(utf8);
  for (size_t f = 0; f < record.fieldNames.size(); ++f)
    if (LowerAscii(record.fieldNames[f]) == lower)
      return static_cast<int>(f);
  return -1;
}

namespace {

void override(const DataloggerRecord& record, RoleChoice& choice, int role,
              const char16_t* stored) {
  if (!stored || stored[0] == 0)
    return;
  int field = FindFieldByName(record, stored);
  choice.column[role] = field;
  choice.factor[role] =
      field < 0 ? 1.0 : UnitFactor(role, SplitColumnName(record.fieldNames[field]).unit, kKmhToMph);
}

// The column the user chose for each role, in role order.
using ChosenName = char16_t (DataStruct::*)[kNameLength];
constexpr ChosenName kChosenName[] = {
    &DataStruct::Time,    &DataStruct::PosX,    &DataStruct::PosY,    &DataStruct::PosZ,    &DataStruct::GpsAcc,
    &DataStruct::Lap,     &DataStruct::Speed,   &DataStruct::Heading, &DataStruct::RPM,     &DataStruct::Gear,
    &DataStruct::GForceX, &DataStruct::GForceY, &DataStruct::Throttle,
};
static_assert(std::size(kChosenName) == kRoleCount);

} // namespace

RoleChoice ChooseColumns(const DataloggerRecord& record, const DataStruct& data) {
  RoleChoice choice = RecognizeColumns(record);
  for (int role = 0; role < kRoleCount; ++role)
    override(record, choice, role, data.*kChosenName[role]);
  if (data.Time[0] != 0 && data.TimeUnits >= kMinFactor)
    choice.factor[kRoleTime] = data.TimeUnits;
  if (data.GpsAcc[0] != 0 && data.GpsAccConv >= kMinFactor)
    choice.factor[kRoleGpsAcc] = data.GpsAccConv;
  if (data.Speed[0] != 0 && data.SpeedConv >= kMinFactor)
    choice.factor[kRoleSpeed] = data.SpeedConv;
  choice.speedCalculate = data.Speed[0] != 0 && choice.column[kRoleSpeed] < 0;
  // Unix time stamps in milliseconds, as phone apps write them, under a
  // name without a unit.
  int time = choice.column[kRoleTime];
  if (data.Time[0] == 0 && time >= 0 && time != record.timeField && choice.factor[kRoleTime] == 1.0) {
    for (double v : record.columns[time])
      if (std::isfinite(v)) {
        if (v > 1e11 && v < 1e14)
          choice.factor[kRoleTime] = 0.001;
        break;
      }
  }
  return choice;
}
