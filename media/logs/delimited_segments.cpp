#include "media/logs/delimited_segments.h"

#include <algorithm>
#include <cmath>

#include "media/logs/text_scan.h"

namespace {

const std::vector<std::string>* find(const DelimitedMetadata& metadata, const char* key) {
  auto it = metadata.find(key);
  return it == metadata.end() ? nullptr : &it->second;
}

// Between times in one cell: a blank, a semicolon, or a comma before a
// blank ("61.250, 183.900"; a comma between digits may be a decimal one).
bool separatesTimes(const std::string& value, size_t i) {
  char c = value[i];
  return c == ' ' || c == ';' || (c == ',' && (i + 1 == value.size() || value[i + 1] == ' '));
}

// "92.350 185.100", "61.250, 183.900" or "1:32.350" cells, in seconds.
std::vector<double> times(const std::vector<std::string>* values) {
  std::vector<double> out;
  if (!values)
    return out;
  for (const std::string& value : *values) {
    size_t i = 0;
    while (i < value.size()) {
      while (i < value.size() && separatesTimes(value, i))
        ++i;
      size_t start = i;
      while (i < value.size() && !separatesTimes(value, i))
        ++i;
      std::string_view token(value.data() + start, i - start);
      double v = 0;
      if (!token.empty() && (ParseNumber(token, v) || ParseClockTime(token, v)))
        out.push_back(v);
    }
  }
  return out;
}

int timeColumn(const DataloggerRecord& record) {
  for (size_t f = 0; f < record.fieldNames.size(); ++f) {
    std::string lower = LowerAscii(record.fieldNames[f]);
    if (lower.rfind("time", 0) == 0 && (lower.size() == 4 || lower[4] == ' ' || lower[4] == '('))
      return static_cast<int>(f);
  }
  return -1;
}

double sampleInterval(const DelimitedMetadata& metadata, const std::vector<double>& t) {
  std::vector<double> rate = times(find(metadata, "sample rate"));
  if (!rate.empty() && rate[0] > 0 && rate[0] <= 100000)
    return 1.0 / rate[0];
  std::vector<double> steps;
  for (size_t r = 1; r < t.size() && steps.size() < 1000; ++r)
    if (t[r] > t[r - 1])
      steps.push_back(t[r] - t[r - 1]);
  if (steps.empty())
    return 0.0;
  std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
  return steps[steps.size() / 2];
}

// Makes time run on where it restarts; the restarts' times are returned.
std::vector<double> joinRestarts(std::vector<double>& t, const std::vector<double>& beacons,
                                 double interval, size_t& guessed) {
  std::vector<double> starts;
  double offset = 0, lastLocal = NAN, lastAbsolute = NAN;
  for (double& v : t) {
    if (!std::isfinite(v))
      continue;
    if (std::isfinite(lastLocal) && v < lastLocal) {
      size_t k = starts.size();
      double fromBeacon = k < beacons.size() ? beacons[k] : NAN;
      if (std::isfinite(fromBeacon) && fromBeacon + v > lastAbsolute) {
        offset = fromBeacon;
      } else {
        offset = lastAbsolute + interval - v;
        ++guessed;
      }
      starts.push_back(offset + v);
    }
    lastLocal = v;
    v += offset;
    lastAbsolute = v;
  }
  return starts;
}

} // namespace

void JoinBeaconSegments(DataloggerRecord& record, const DelimitedMetadata& metadata,
                        LogReadStatus& status) {
  const std::vector<std::string>* markers = find(metadata, "beacon markers");
  const std::vector<std::string>* segments = find(metadata, "segment times");
  if (!markers && !segments && !find(metadata, "sample rate"))
    return;
  int column = timeColumn(record);
  if (column < 0)
    return;
  std::vector<double> beacons = times(markers);
  if (beacons.empty() && segments) {
    double sum = 0;
    std::vector<double> durations = times(segments);
    for (size_t k = 0; k + 1 < durations.size(); ++k)
      beacons.push_back(sum += durations[k]);
  }
  std::vector<double>& t = record.columns[column];
  size_t guessed = 0;
  std::vector<double> triggers = joinRestarts(t, beacons, sampleInterval(metadata, t), guessed);
  if (guessed > 0)
    status.warn(std::to_string(guessed) +
                " time restarts without a matching beacon marker: continued at the sample rate");
  if (triggers.empty())
    triggers = beacons;
  record.timeField = column;
  bool hasLap = std::any_of(record.fieldNames.begin(), record.fieldNames.end(),
                            [](const std::string& name) { return LowerAscii(name) == "lap"; });
  if (triggers.empty() || hasLap || record.fieldNames.size() >= kMaxLogFields)
    return;
  std::sort(triggers.begin(), triggers.end());
  int lap = record.addField("Lap"); // moves the columns: the time is taken again
  const std::vector<double>& times = record.columns[column];
  std::vector<double>& laps = record.columns[lap];
  for (size_t r = 0; r < laps.size(); ++r)
    if (std::isfinite(times[r]))
      laps[r] = static_cast<double>(std::upper_bound(triggers.begin(), triggers.end(), times[r] + 1e-9) -
                                    triggers.begin());
}
