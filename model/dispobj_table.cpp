// Storage of the display-object table and the application of timeline
// segments that turns base records into current records.
#include "model/dispobj_table.h"

#include <array>
#include <cstring>
#include <mutex>

#include "model/timeline_apply.h"

namespace {

struct DispTable {
  std::array<DispObjEntry, kMaxDispObjs + 1> entries;
  float time = 0; // the timeline's current time
};

DispTable& Table() {
  static DispTable table;
  return table;
}

std::recursive_mutex& TempMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

void PointBlocks(DispStruct& record, std::vector<uint8_t>& param, std::vector<uint8_t>& bitmap) {
  record.ParamSize = static_cast<uint32_t>(param.size());
  record.Param = param.empty() ? nullptr : param.data();
  record.BitmapSize = static_cast<uint32_t>(bitmap.size());
  record.Bitmap = bitmap.empty() ? nullptr : bitmap.data();
}

} // namespace

DispObjEntry* DispTableEntry(uint32_t index) {
  return index <= kMaxDispObjs ? &Table().entries[index] : nullptr;
}

uint32_t DispTableCount() {
  uint32_t count = 0;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i)
    if (Table().entries[i].Used) count = i + 1;
  return count;
}

uint32_t DispTableAppend() {
  const uint32_t index = DispTableCount();
  if (index >= kMaxDispObjs) return kNoDispObj;
  DispObjEntry& entry = Table().entries[index];
  entry = DispObjEntry{};
  entry.Used = true;
  return index;
}

void DispEntryApply(DispObjEntry& entry, float time) {
  PointBlocks(entry.Base, entry.Param, entry.Bitmap);
  entry.Current = entry.Base;
  for (DispSegment& segment : entry.Segments) {
    if (segment.Start > time) break;
    SegmentApplyTo(entry.Current, segment);
  }
}

void DispTableSync(uint32_t index) {
  DispObjEntry* entry = DispTableEntry(index);
  if (entry != nullptr) DispEntryApply(*entry, Table().time);
}

void DispTableApplyAll() {
  for (DispObjEntry& entry : Table().entries)
    if (entry.Used) DispEntryApply(entry, Table().time);
}

float DispTableTime() { return Table().time; }
void DispTableSetTime(float time) { Table().time = time; }

void DispTableClear() {
  for (DispObjEntry& entry : Table().entries) entry = DispObjEntry{};
  Table().time = 0;
}

void DispObjTempLock() { TempMutex().lock(); }
void DispObjTempUnlock() { TempMutex().unlock(); }
