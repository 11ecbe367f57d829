#include "model/dispobj_internal.h"

#include <cstring>
#include <utility>

#include "base/text.h"
#include "model/input_table.h"
#include "model/model_text.h"
#include "model/timeline_apply.h"

int DispCheckIndex(uint32_t object, bool allowTemp) {
  if (object == kNoDispObj) return -21;
  if (object > kTempDispObj || (object == kTempDispObj && !allowTemp)) return -41;
  return DispTableEntry(object)->Used ? 0 : -41;
}

bool DispNameTaken(const std::u16string& name, uint32_t except) {
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    const DispObjEntry* entry = DispTableEntry(i);
    if (i != except && entry->Used && Str16CaseCmp(entry->Base.Name, name.c_str()) == 0)
      return true;
  }
  return false;
}

std::u16string DispUniqueName(const std::u16string& name) {
  std::u16string base = name.substr(0, kNameLength - 1);
  if (!DispNameTaken(base, kNoDispObj)) return base;
  for (int n = 1; n < 1000; ++n) {
    std::u16string candidate = NumberedName(base, n, kNameLength);
    if (!DispNameTaken(candidate, kNoDispObj)) return candidate;
  }
  return base;
}

std::vector<uint32_t> DispMembers(uint32_t group) {
  std::vector<uint32_t> members;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    const DispObjEntry* entry = DispTableEntry(i);
    if (entry->Used && i != group && entry->Base.ParentObject == group) members.push_back(i);
  }
  return members;
}

int DispRecordEdit(uint32_t object, const DispStruct& record) {
  DispObjEntry& entry = *DispTableEntry(object);
  DispStruct& base = entry.Base;
  const uint32_t parent = record.ParentObject;
  if (parent != kNoDispObj && (parent == object || DispCheckIndex(parent, false) != 0))
    return -21;
  if (record.InputID != kNoInput && record.InputID >= InputTableCount()) return -41;
  // Fields without a mask bit always live in the base record. The name is
  // changed only by a rename and the type never: the parameter block is
  // laid out for the type it was made for.
  base.ParentObject = parent;
  base.OffsetTime = record.OffsetTime;
  base.Updated = record.Updated;
  base.NativeWidth = record.NativeWidth;
  base.NativeHeight = record.NativeHeight;
  std::memcpy(base.Reserved1, record.Reserved1, sizeof(base.Reserved1));
  std::memcpy(base.Reserved2, record.Reserved2, sizeof(base.Reserved2));
  base.Reserved3 = record.Reserved3;
  const int s = SegmentInForce(entry, DispTableTime());
  if (s < 0) {
    RecordCopyFields(base, record, kSegAll);
  } else {
    DispSegment& segment = entry.Segments[s];
    const uint32_t diff = RecordDiffMask(entry.Current, record);
    if ((diff & kSegBitmap) && !(segment.Mask & kSegBitmap))
      segment.Bitmap.assign(entry.Current.Bitmap, entry.Current.Bitmap + entry.Current.BitmapSize);
    segment.Mask |= diff;
    SegmentTakeFields(segment, record, diff);
    segment.Values.NativeWidth = record.NativeWidth;
    segment.Values.NativeHeight = record.NativeHeight;
  }
  DispTableSync(object);
  return 0;
}

int DispParamEdit(uint32_t object, const void* record) {
  DispObjEntry& entry = *DispTableEntry(object);
  const uint32_t size = static_cast<uint32_t>(entry.Param.size());
  if (record == nullptr || size == 0) return -21;
  const uint8_t* bytes = static_cast<const uint8_t*>(record);
  const int s = SegmentInForce(entry, DispTableTime());
  std::vector<uint8_t>& block = s < 0 ? entry.Param : entry.Segments[s].Param;
  if (s >= 0) entry.Segments[s].Mask |= kSegParam;
  // The caller's record may be our own current block: copy before assigning.
  std::vector<uint8_t> copy(bytes, bytes + size);
  block = std::move(copy);
  ParamSanitize(entry.Base.Type, block.data(), size);
  DispTableSync(object);
  return 0;
}

void DispTableErase(const std::vector<bool>& remove) {
  std::vector<uint32_t> newIndex(kMaxDispObjs, kNoDispObj);
  uint32_t next = 0;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i)
    if (DispTableEntry(i)->Used && !(i < remove.size() && remove[i])) newIndex[i] = next++;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    if (newIndex[i] == kNoDispObj) *DispTableEntry(i) = DispObjEntry{};
    else if (newIndex[i] != i) *DispTableEntry(newIndex[i]) = std::move(*DispTableEntry(i));
  }
  for (uint32_t i = next; i < kMaxDispObjs; ++i) *DispTableEntry(i) = DispObjEntry{};
  for (uint32_t i = 0; i < next; ++i) {
    uint32_t& parent = DispTableEntry(i)->Base.ParentObject;
    if (parent != kNoDispObj) parent = parent < kMaxDispObjs ? newIndex[parent] : kNoDispObj;
  }
  DispTableApplyAll();
}

void DispTableReorder(const std::vector<uint32_t>& order) {
  std::vector<DispObjEntry> moved;
  std::vector<uint32_t> newIndex(kMaxDispObjs, kNoDispObj);
  for (uint32_t k = 0; k < order.size(); ++k) {
    newIndex[order[k]] = k;
    moved.push_back(std::move(*DispTableEntry(order[k])));
  }
  for (uint32_t k = 0; k < moved.size(); ++k) {
    DispObjEntry& entry = *DispTableEntry(k);
    entry = std::move(moved[k]);
    uint32_t& parent = entry.Base.ParentObject;
    if (parent != kNoDispObj) parent = parent < kMaxDispObjs ? newIndex[parent] : kNoDispObj;
  }
  DispTableApplyAll();
}

namespace {

uint8_t RenumberRemoved(uint8_t id, uint32_t input) {
  if (id == kNoInput || id < input) return id;
  return id == input ? static_cast<uint8_t>(kNoInput) : static_cast<uint8_t>(id - 1);
}

uint8_t RenumberSwapped(uint8_t id, uint32_t a, uint32_t b) {
  if (id == a) return static_cast<uint8_t>(b);
  if (id == b) return static_cast<uint8_t>(a);
  return id;
}

template <typename F> void ForEachInputRef(F&& renumber) {
  for (uint32_t i = 0; i <= kMaxDispObjs; ++i) {
    DispObjEntry& entry = *DispTableEntry(i);
    if (!entry.Used) continue;
    entry.Base.InputID = renumber(entry.Base.InputID);
    for (DispSegment& segment : entry.Segments)
      segment.Values.InputID = renumber(segment.Values.InputID);
  }
  DispTableApplyAll();
}

} // namespace

void DispTableInputRemoved(uint32_t input) {
  ForEachInputRef([input](uint8_t id) { return RenumberRemoved(id, input); });
}

void DispTableInputsSwapped(uint32_t a, uint32_t b) {
  ForEachInputRef([a, b](uint8_t id) { return RenumberSwapped(id, a, b); });
}
