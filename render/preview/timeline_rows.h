#pragma once
// What the timeline chart shows: its rows and each object's segments.
// Callers hold the access lock.
#include <cstdint>
#include <string>
#include <vector>

struct TimelineRow {
  uint32_t object = 0;
  std::u16string name;
  float start = 0;              // the object's own start
  std::vector<float> segments;  // further segment starts, in order
  bool active = true;
};

// Objects in use without a group parent, highest index first.
std::vector<TimelineRow> TimelineCollectRows();
// A cheap fingerprint of everything the chart shows.
uint64_t TimelineRowsSignature(const std::vector<TimelineRow>& rows);
