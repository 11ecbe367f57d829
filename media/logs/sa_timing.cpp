#include "media/logs/sa_timing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Rates GPS lap timers record at.
constexpr double kRates[] = {1, 2, 4, 5, 8, 10, 12.5, 15, 16, 18, 20, 25, 40, 50, 100};
constexpr double kDefaultRate = 10;
// How far, in samples, a timer crossing may fall from a pass of the trace.
constexpr double kMaxMiss = 1.0;
// Crossings and passes weighed: plenty for a rate, bounded for any file.
constexpr size_t kMaxCrossings = 1000, kMaxAnchors = 32;

// Trace positions (sample index and fraction) where the path crosses the
// line between its two ends.
std::vector<double> tracePasses(const std::vector<double>& lat, const std::vector<double>& lon,
                                const SaLine& line) {
  std::vector<double> passes;
  double ex = line.lon2 - line.lon1, ey = line.lat2 - line.lat1;
  for (size_t i = 0; i + 1 < lat.size(); ++i) {
    double dx = lon[i + 1] - lon[i], dy = lat[i + 1] - lat[i];
    double denom = dx * ey - dy * ex;
    if (!std::isfinite(denom) || denom == 0)
      continue;
    double wx = line.lon1 - lon[i], wy = line.lat1 - lat[i];
    double along = (wx * ey - wy * ex) / denom; // on the path step
    double across = (wx * dy - wy * dx) / denom; // on the line
    if (along >= 0 && along < 1 && across >= 0 && across <= 1)
      passes.push_back(static_cast<double>(i) + along);
  }
  return passes;
}

// Mean distance, in samples, from each crossing to the nearest pass
// (passes in trace order, so sorted).
double miss(const std::vector<double>& passes, const std::vector<double>& times, double rate,
            double offset) {
  double sum = 0;
  size_t n = std::min(times.size(), kMaxCrossings);
  for (size_t k = 0; k < n; ++k) {
    double at = offset + rate * times[k];
    auto next = std::lower_bound(passes.begin(), passes.end(), at);
    double best = next == passes.end() ? INFINITY : *next - at;
    if (next != passes.begin())
      best = std::min(best, at - *(next - 1));
    sum += best;
  }
  return sum / static_cast<double>(n);
}

} // namespace

SaTiming SaEstablishTiming(const std::vector<double>& lat, const std::vector<double>& lon,
                           const std::vector<SaLine>& plan, const std::vector<SaCrossing>& crossings) {
  SaTiming timing;
  timing.rate = kDefaultRate;
  int finish = INT32_MAX;
  for (const SaLine& line : plan)
    finish = std::min(finish, line.number);
  if (plan.empty())
    for (const SaCrossing& c : crossings)
      finish = std::min(finish, c.line);
  for (const SaCrossing& c : crossings)
    if (c.line == finish)
      timing.passes.push_back(c.time);
  std::sort(timing.passes.begin(), timing.passes.end());
  auto line = std::find_if(plan.begin(), plan.end(), [&](const SaLine& l) { return l.number == finish; });
  std::vector<double> passes = line == plan.end() ? std::vector<double>() : tracePasses(lat, lon, *line);
  if (!passes.empty() && !timing.passes.empty()) {
    // Running time from the first sample; failing that, from a pass of
    // the first crossing (a timer started on the line).
    for (bool anchored : {false, true}) {
      double best = kMaxMiss;
      for (double rate : kRates) {
        std::vector<double> offsets;
        if (!anchored)
          offsets.push_back(0);
        else if (timing.passes.size() >= 2)
          for (size_t j = 0; j < passes.size() && j < kMaxAnchors; ++j)
            offsets.push_back(passes[j] - rate * timing.passes.front());
        for (double offset : offsets)
          if (double m = miss(passes, timing.passes, rate, offset); m < best) {
            best = m;
            timing.rate = rate;
            timing.offset = offset;
            timing.fromTimer = true;
          }
      }
      if (timing.fromTimer)
        break;
    }
  }
  if (timing.passes.empty()) // laps from the trace's own passes
    for (double p : passes)
      timing.passes.push_back((p - timing.offset) / timing.rate);
  return timing;
}

void SaAddLaps(const std::vector<double>& passes, DataloggerRecord& record) {
  if (passes.empty() || record.fieldNames.size() >= kMaxLogFields)
    return;
  int lap = record.addField("Lap"); // adding moves the columns: the time is taken after
  const std::vector<double>& t = record.columns[0];
  for (size_t r = 0; r < t.size(); ++r)
    if (std::isfinite(t[r]))
      record.columns[lap][r] = static_cast<double>(
          std::upper_bound(passes.begin(), passes.end(), t[r] + 1e-9) - passes.begin());
}

std::string FormatRate(double rate) {
  char text[32];
  snprintf(text, sizeof text, "%g", rate);
  return text;
}
