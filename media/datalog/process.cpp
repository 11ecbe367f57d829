#include "media/datalog/process.h"

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/text.h"
#include "model/project.h"
#include "model/project_settings.h"
#include "media/datalog/derived.h"
#include "media/datalog/geo.h"
#include "media/datalog/laps.h"
#include "media/datalog/recognition.h"

namespace {

// Per project speed unit (SpeedUnit codes 1 mph, 2 km/h, 3 knots, 4 m/s):
// speed in that unit, distance in miles, km, nautical miles or metres.
double speedPerMph() {
  switch (ProjectSettingsRaw().SpeedUnit) {
  case kSpeedKmh:
    return 1.609344;
  case kSpeedKnots:
    return 0.868976242;
  case kSpeedMs:
    return 0.44704;
  default:
    return 1.0;
  }
}

double distancePerMetre() {
  switch (ProjectSettingsRaw().SpeedUnit) {
  case kSpeedKmh:
    return 0.001;
  case kSpeedKnots:
    return 1.0 / 1852.0;
  case kSpeedMs:
    return 1.0;
  default:
    return 1.0 / 1609.344;
  }
}

constexpr double kDayOfSeconds = 86400.0;

// Times of the kept samples: finite and strictly increasing; a time-of-day
// clock that passes midnight (last hour to first hour) gains a day.
void keepSamples(const DataloggerRecord& record, const RoleChoice& choice, LogChannels& ch) {
  size_t rows = record.rowCount();
  int timeColumn = choice.column[kRoleTime];
  double scale = choice.factor[kRoleTime];
  double carry = 0, last = -INFINITY, lastRaw = NAN;
  ch.time.clear();
  ch.keptRows.clear();
  for (size_t r = 0; r < rows; ++r) {
    double t = timeColumn >= 0 ? record.columns[timeColumn][r] * scale : static_cast<double>(r);
    if (!std::isfinite(t))
      continue;
    if (t >= 0 && t < 3600 && lastRaw >= kDayOfSeconds - 3600 && lastRaw < kDayOfSeconds + 1)
      carry += kDayOfSeconds;
    lastRaw = t;
    t += carry;
    if (!(t > last))
      continue;
    last = t;
    ch.time.push_back(t);
    ch.keptRows.push_back(static_cast<uint32_t>(r));
  }
}

// One column over the kept samples, scaled; gaps hold the nearest earlier
// value (the first valid value before it).
std::vector<double> extract(const DataloggerRecord& record, const LogChannels& ch, int column,
                            double factor) {
  std::vector<double> values(ch.keptRows.size());
  const std::vector<double>& source = record.columns[column];
  double held = NAN;
  for (size_t i = 0; i < values.size(); ++i) {
    double v = source[ch.keptRows[i]];
    if (std::isfinite(v))
      held = v * factor;
    values[i] = held;
  }
  double first = 0;
  for (double v : values)
    if (std::isfinite(v)) {
      first = v;
      break;
    }
  for (double& v : values)
    if (!std::isfinite(v))
      v = first;
  return values;
}

// A column with gaps among the kept samples (a sentence or a sensor that
// reports less often than the others) is kept held, so that the column
// itself and every channel made of it read one value at any time.
void holdColumns(const DataloggerRecord& record, LogChannels& ch) {
  ch.heldColumns.assign(record.columns.size(), {});
  for (size_t c = 0; c < record.columns.size(); ++c) {
    const std::vector<double>& cells = record.columns[c];
    if (std::any_of(ch.keptRows.begin(), ch.keptRows.end(), [&](uint32_t r) { return !std::isfinite(cells[r]); }))
      ch.heldColumns[c] = extract(record, ch, static_cast<int>(c), 1.0);
  }
}

// Positions: (0, 0) of a GPS log is a receiver without a fix.
void dropMissingFixes(LogChannels& ch) {
  std::vector<double>& x = ch.role[kRolePosX];
  std::vector<double>& y = ch.role[kRolePosY];
  if (!ch.geographic)
    return;
  for (size_t i = 0; i < x.size(); ++i) {
    if (x[i] == 0 && y[i] == 0) {
      x[i] = i > 0 ? x[i - 1] : NAN;
      y[i] = i > 0 ? y[i - 1] : NAN;
    }
  }
  size_t firstFix = 0;
  while (firstFix < x.size() && std::isnan(x[firstFix]))
    ++firstFix;
  for (size_t i = 0; i < firstFix && firstFix < x.size(); ++i) {
    x[i] = x[firstFix];
    y[i] = y[firstFix];
  }
}

double span(const std::vector<double>& values) {
  if (values.empty())
    return 0;
  auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  return std::isfinite(*hi - *lo) ? *hi - *lo : 0;
}

void fillColumns(const DataloggerRecord& record, const RoleChoice& choice, LogChannels& ch) {
  for (int role = 0; role < kRoleCount; ++role) {
    ch.sourceField[role] = role == kRoleTime ? choice.column[role] : -1;
    ch.role[role].clear();
    if (role == kRoleTime || choice.column[role] < 0)
      continue;
    ch.role[role] = extract(record, ch, choice.column[role], choice.factor[role]);
    ch.sourceField[role] = choice.column[role];
  }
  ch.geographic = choice.geographic;
  if (ch.geographic) {
    for (int role : {kRolePosX, kRolePosY})
      for (double v : ch.role[role])
        if (std::fabs(v) > (role == kRolePosX ? 180 : 90))
          ch.geographic = false;
  }
  if (ch.role[kRolePosX].empty() != ch.role[kRolePosY].empty()) {
    ch.role[kRolePosX].clear();
    ch.role[kRolePosY].clear();
  }
  dropMissingFixes(ch);
}

void deriveMotion(const RoleChoice& choice, const DataStruct& data, LogChannels& ch) {
  bool positions = !ch.role[kRolePosX].empty();
  double unit = speedPerMph();
  std::vector<double> speedMs;
  if (!ch.role[kRoleSpeed].empty()) {
    for (double v : ch.role[kRoleSpeed])
      speedMs.push_back(v * kMetresPerSecondPerMph);
  } else if (positions) {
    speedMs = DeriveSpeed(ch.time, ch.role[kRolePosX], ch.role[kRolePosY], ch.geographic);
    ch.role[kRoleSpeed].resize(speedMs.size());
    for (size_t i = 0; i < speedMs.size(); ++i)
      ch.role[kRoleSpeed][i] = speedMs[i] / kMetresPerSecondPerMph * choice.factor[kRoleSpeed];
  }
  for (double& v : ch.role[kRoleSpeed])
    v *= unit;
  if (!ch.role[kRoleHeading].empty()) {
    for (double& h : ch.role[kRoleHeading])
      h = WrapDegrees(h + data.HeadingAdjust + (data.HeadingFlip ? 180.0 : 0.0));
  } else if (positions) {
    ch.role[kRoleHeading] = DeriveHeading(ch.role[kRolePosX], ch.role[kRolePosY], ch.geographic);
  }
  if (ch.role[kRoleGForceX].empty() && !speedMs.empty() && !ch.role[kRoleHeading].empty())
    ch.role[kRoleGForceX] = Smooth(DeriveLateralG(ch.time, speedMs, ch.role[kRoleHeading]), 5);
  if (ch.role[kRoleGForceY].empty() && !speedMs.empty())
    ch.role[kRoleGForceY] = Smooth(DeriveLongitudinalG(ch.time, speedMs), 5);
  std::vector<double> metres;
  if (positions)
    metres = DeriveDistance(ch.role[kRolePosX], ch.role[kRolePosY], ch.geographic);
  else if (!speedMs.empty())
    metres = IntegrateSpeed(ch.time, speedMs);
  ch.distance.clear();
  for (double m : metres)
    ch.distance.push_back(m * distancePerMetre());
}

void deriveGear(const DataStruct& data, LogChannels& ch) {
  if (ch.role[kRoleGear].empty() && !ch.role[kRoleSpeed].empty() && !ch.role[kRoleRpm].empty())
    ch.role[kRoleGear] = DeriveGear(ch.role[kRoleSpeed], ch.role[kRoleRpm]);
  if (data.GearAdjust != 0)
    for (double& g : ch.role[kRoleGear])
      if (g != 0)
        g += data.GearAdjust;
}

void deriveCustom(const DataloggerRecord& record, const DataStruct& data, LogChannels& ch) {
  const char16_t* names[kCustomChannels] = {data.CustomName, data.CustomName2, data.CustomName3,
                                            data.CustomName4};
  const char16_t* inputs[kCustomChannels] = {data.CustomInput, data.CustomInput2,
                                             data.CustomInput3, data.CustomInput4};
  const uint8_t ops[kCustomChannels] = {data.CustomOp, data.CustomOp2, data.CustomOp3,
                                        data.CustomOp4};
  const float nums[kCustomChannels] = {data.CustomNum, data.CustomNum2, data.CustomNum3,
                                       data.CustomNum4};
  for (int k = 0; k < kCustomChannels; ++k) {
    ch.custom[k].clear();
    ch.customSource[k] = -1;
    ch.customName[k].clear();
    char16_t name[kNameLength];
    Str16CopyN(name, names[k], kNameLength);
    name[kNameLength - 1] = 0;
    if (name[0] == 0 || inputs[k][0] == 0)
      continue;
    int source = FindFieldByName(record, inputs[k]);
    if (source < 0)
      continue;
    std::vector<double> values = extract(record, ch, source, 1.0);
    for (double& v : values)
      v = CustomOperation(ops[k], v, nums[k]);
    ch.custom[k] = std::move(values);
    ch.customSource[k] = source;
    ch.customName[k] = WideToUtf8(Utf16ToWide(std::u16string(name, Str16Len(name))));
  }
}

double medianInterval(const std::vector<double>& t) {
  if (t.size() < 2)
    return 0;
  std::vector<double> gaps;
  for (size_t i = 1; i < t.size() && gaps.size() < 10000; ++i)
    gaps.push_back(t[i] - t[i - 1]);
  std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
  return gaps[gaps.size() / 2];
}

} // namespace

int DataloggerProcess(DataloggerRecord& record, const DataStruct& data) {
  LogChannels& ch = record.channels;
  ch = LogChannels();
  ch.boostFlags = data.BoostSampleRate;
  RoleChoice choice = ChooseColumns(record, data);
  keepSamples(record, choice, ch);
  if (ch.time.empty()) {
    record.laps = LogLaps();
    return kErrNoData;
  }
  record.timeOrigin = ch.time.front();
  for (double& t : ch.time)
    t -= record.timeOrigin;
  holdColumns(record, ch);
  fillColumns(record, choice, ch);
  deriveMotion(choice, data, ch);
  deriveGear(data, ch);
  deriveCustom(record, data, ch);
  ch.spanX = span(ch.role[kRolePosX]);
  ch.spanY = span(ch.role[kRolePosY]);
  double interval = medianInterval(ch.time);
  record.sampleRate = interval > 0 ? 1.0 / interval : 0;
  DetectLaps(record, data);
  return kOk;
}
