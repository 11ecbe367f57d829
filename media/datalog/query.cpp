#include "media/datalog/query.h"

#include <algorithm>
#include <cmath>

#include "media/datalog/geo.h"
#include "media/datalog/laps.h"

namespace {

// Computed fields offered after the custom channels: the query type each
// one answers with.
struct ComputedField {
  const char* name;
  int type;
};
const ComputedField kComputed[] = {
    {"Calc Speed", kQuerySpeed},        {"Calc Heading", kQueryHeading},
    {"Calc Lateral G", kQueryAccelX},   {"Calc Longitudinal G", kQueryAccelY},
    {"Calc Gear", kQueryGear},          {"Distance", kQueryDistance},
    {"Lap Number", kQueryLapNumber},    {"Lap Time", kQueryCurrentLapTime},
};
constexpr int kComputedCount = sizeof(kComputed) / sizeof(kComputed[0]);

bool isGpsRole(int role) {
  return role == kRolePosX || role == kRolePosY || role == kRolePosZ || role == kRoleSpeed ||
         role == kRoleHeading || role == kRoleGpsAcc;
}

Blend blendOf(const LogChannels& ch, int role) {
  bool boost = (ch.boostFlags & 1) != 0;
  bool gps = boost && (ch.boostFlags & 2) != 0;
  bool smooth = gps && (ch.boostFlags & 4) != 0;
  if (role == kRoleGear || role == kRoleLap)
    return Blend::kStep;
  if (isGpsRole(role)) {
    if (!gps)
      return Blend::kStep;
    if (role == kRoleHeading)
      return Blend::kAngle;
    return smooth && (role == kRolePosX || role == kRolePosY) ? Blend::kCubic : Blend::kLinear;
  }
  return boost ? Blend::kLinear : Blend::kStep;
}

// A column is read between samples as the role it plays is; any other
// column (and so a custom channel made of it) by the boost switch alone.
Blend columnBlend(const LogChannels& ch, int column) {
  for (int role = 0; role < kRoleCount; ++role)
    if (role != kRoleTime && column >= 0 && ch.sourceField[role] == column)
      return blendOf(ch, role);
  return (ch.boostFlags & 1) ? Blend::kLinear : Blend::kStep;
}

// v(k) is the value of sample k, of n.
template <class Value>
double hermite(const std::vector<double>& time, size_t n, const Value& v, size_t i, double f) {
  auto slope = [&](size_t k) {
    size_t a = k > 0 ? k - 1 : 0, b = std::min(k + 1, n - 1);
    double dt = time[b] - time[a];
    return dt > 0 ? (v(b) - v(a)) / dt : 0.0;
  };
  double h = time[i + 1] - time[i];
  double f2 = f * f, f3 = f2 * f;
  return (2 * f3 - 3 * f2 + 1) * v(i) + (f3 - 2 * f2 + f) * h * slope(i) +
         (-2 * f3 + 3 * f2) * v(i + 1) + (f3 - f2) * h * slope(i + 1);
}

template <class Value>
double sampleBy(const std::vector<double>& time, size_t n, const Value& v, double t, Blend blend) {
  n = std::min(time.size(), n);
  if (n == 0)
    return 0.0;
  if (!(t > time[0]))
    return v(0);
  if (t >= time[n - 1])
    return v(n - 1);
  size_t i = static_cast<size_t>(std::upper_bound(time.begin(), time.begin() + n, t) - time.begin()) - 1;
  double f = (t - time[i]) / (time[i + 1] - time[i]);
  switch (blend) {
  case Blend::kStep:
    return v(i);
  case Blend::kAngle:
    return WrapDegrees(v(i) + f * AngleDifference(v(i + 1), v(i)));
  case Blend::kCubic:
    return hermite(time, n, v, i, f);
  case Blend::kLinear:
  default:
    return v(i) + f * (v(i + 1) - v(i));
  }
}

double roleAt(const DataloggerRecord& record, int role, double t) {
  const LogChannels& ch = record.channels;
  return SampleAt(ch.time, ch.role[role], t, blendOf(ch, role));
}

double customAt(const DataloggerRecord& record, int k, double t) {
  const LogChannels& ch = record.channels;
  return SampleAt(ch.time, ch.custom[k], t, columnBlend(ch, ch.customSource[k]));
}

// The file's own column at t, read as the channels made of it are.
double columnAt(const DataloggerRecord& record, int column, double t) {
  const LogChannels& ch = record.channels;
  const Blend blend = columnBlend(ch, column);
  if (static_cast<size_t>(column) < ch.heldColumns.size() && !ch.heldColumns[column].empty())
    return SampleAt(ch.time, ch.heldColumns[column], t, blend);
  const std::vector<double>& cells = record.columns[column];
  return sampleBy(ch.time, ch.keptRows.size(), [&](size_t k) { return cells[ch.keptRows[k]]; }, t, blend);
}

double lapQuery(const DataloggerRecord& record, int type, double t) {
  const LogLaps& laps = record.laps;
  const LogChannels& ch = record.channels;
  switch (type) {
  case kQueryLapNumber:
    return LapNumberAt(laps, t);
  case kQueryLapCount:
    return ch.time.empty() ? 0 : LapNumberAt(laps, ch.time.back());
  case kQueryLapStart:
    return std::isfinite(t) && std::fabs(t) < 1e9 ? LapStartTime(laps, static_cast<int>(std::lround(t)))
                                                  : 0.0;
  case kQueryCurrentLapTime:
    return CurrentLapTime(laps, t);
  case kQueryPreviousLapTime:
    return PreviousLapTime(laps, t);
  case kQueryBestLapNumber:
    return BestLap(laps);
  case kQueryBestLapTime:
    return BestLap(laps) >= 0 ? LapDuration(laps, BestLap(laps)) : 0.0;
  case kQueryBestSoFarNumber:
    return BestLapSoFar(laps, t);
  case kQueryBestSoFarTime: {
    int best = BestLapSoFar(laps, t);
    return best >= 0 ? LapDuration(laps, best) : 0.0;
  }
  default:
    return 0.0;
  }
}

} // namespace

double SampleAt(const std::vector<double>& time, const std::vector<double>& values, double t,
                Blend blend) {
  return sampleBy(time, values.size(), [&](size_t k) { return values[k]; }, t, blend);
}

double DataloggerValueAt(const DataloggerRecord& record, int type, double t) {
  const LogChannels& ch = record.channels;
  if (std::isnan(t))
    t = 0;
  switch (type) {
  case kQueryTime:
    return t;
  case kQueryPosX:
    return roleAt(record, kRolePosX, t);
  case kQueryPosY:
    return roleAt(record, kRolePosY, t);
  case kQueryAltitude:
    return roleAt(record, kRolePosZ, t);
  case kQueryDistance:
    return SampleAt(ch.time, ch.distance, t, Blend::kLinear);
  case kQueryGpsAccuracy:
    return roleAt(record, kRoleGpsAcc, t);
  case kQuerySpeed:
    return roleAt(record, kRoleSpeed, t);
  case kQueryHeading:
    return roleAt(record, kRoleHeading, t);
  case kQueryRpm:
    return roleAt(record, kRoleRpm, t);
  case kQueryGear:
    return roleAt(record, kRoleGear, t);
  case kQueryThrottle:
    return roleAt(record, kRoleThrottle, t);
  case kQueryAccelX:
    return roleAt(record, kRoleGForceX, t);
  case kQueryAccelY:
    return roleAt(record, kRoleGForceY, t);
  case kQuerySpanX:
    return ch.spanX;
  case kQuerySpanY:
    return ch.spanY;
  default:
    return lapQuery(record, type, t);
  }
}

int DataloggerFieldCount(const DataloggerRecord& record, bool withExtras) {
  int own = static_cast<int>(std::min<size_t>(record.fieldNames.size(), kMaxLogFields));
  if (!withExtras)
    return own;
  int custom = 0;
  for (const auto& values : record.channels.custom)
    custom += values.empty() ? 0 : 1;
  return own + custom + kComputedCount;
}

namespace {

// Resolves an extra field number into a custom channel (k >= 0) or a
// computed field (index into kComputed); false past the end.
bool resolveExtra(const DataloggerRecord& record, int extra, int& custom, int& computed) {
  custom = computed = -1;
  for (int k = 0; k < kCustomChannels; ++k) {
    if (record.channels.custom[k].empty())
      continue;
    if (extra == 0) {
      custom = k;
      return true;
    }
    --extra;
  }
  if (extra < kComputedCount) {
    computed = extra;
    return true;
  }
  return false;
}

} // namespace

std::string DataloggerFieldName(const DataloggerRecord& record, int field) {
  int own = DataloggerFieldCount(record, false);
  if (field < 0)
    return {};
  if (field < own)
    return record.fieldNames[field];
  int custom, computed;
  if (!resolveExtra(record, field - own, custom, computed))
    return {};
  return custom >= 0 ? record.channels.customName[custom] : kComputed[computed].name;
}

double DataloggerFieldValueAt(const DataloggerRecord& record, int field, double t) {
  int own = DataloggerFieldCount(record, false);
  if (field < 0)
    return 0.0;
  if (field < own)
    return columnAt(record, field, t);
  int custom, computed;
  if (!resolveExtra(record, field - own, custom, computed))
    return 0.0;
  return custom >= 0 ? customAt(record, custom, t)
                     : DataloggerValueAt(record, kComputed[computed].type, t);
}
