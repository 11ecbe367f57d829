#include "render/preview/timeline_rows.h"

#include "model/dispobj_table.h"

#include <algorithm>
#include <cstring>

namespace {

bool hasGroupParent(const DispStruct& o, uint32_t index) {
  if (o.ParentObject == kNoDispObj || o.ParentObject == index || o.ParentObject >= kMaxDispObjs)
    return false;
  const DispObjEntry* parent = DispTableEntry(o.ParentObject);
  return parent && parent->Used;
}

} // namespace

std::vector<TimelineRow> TimelineCollectRows() {
  std::vector<TimelineRow> rows;
  const uint32_t count = std::min<uint32_t>(DispTableCount(), kMaxDispObjs);
  for (uint32_t i = count; i-- > 0;) {
    const DispObjEntry* e = DispTableEntry(i);
    if (!e || !e->Used || hasGroupParent(e->Base, i)) continue;
    TimelineRow row;
    row.object = i;
    size_t n = 0;
    while (n < kNameLength && e->Base.Name[n]) ++n;
    row.name.assign(e->Base.Name, n);
    row.start = e->Base.OffsetTime;
    row.active = e->Base.Active != 0;
    for (const DispSegment& s : e->Segments) row.segments.push_back(s.Start);
    rows.push_back(std::move(row));
  }
  return rows;
}

uint64_t TimelineRowsSignature(const std::vector<TimelineRow>& rows) {
  uint64_t h = 1469598103934665603ull; // FNV-1a over the shown values
  auto mix = [&h](const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  };
  for (const TimelineRow& r : rows) {
    mix(&r.object, sizeof r.object);
    mix(r.name.data(), r.name.size() * sizeof(char16_t));
    mix(&r.start, sizeof r.start);
    mix(&r.active, sizeof r.active);
    for (float s : r.segments) mix(&s, sizeof s);
    mix("|", 1);
  }
  return h;
}
