// Display-object facade: removing and duplicating objects.
#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_internal.h"
#include "model/dispobjs.h"
#include "model/model_text.h"

namespace {

// Marks the object and, recursively, every object of its group.
void MarkWithMembers(uint32_t object, std::vector<bool>& remove) {
  if (remove[object]) return;
  remove[object] = true;
  for (uint32_t member : DispMembers(object)) MarkWithMembers(member, remove);
}

// True when a segment of the object switches it to another input.
bool SwitchesAway(const DispObjEntry& entry, uint32_t input) {
  for (const DispSegment& segment : entry.Segments)
    if ((segment.Mask & kSegInput) && segment.Values.InputID != input) return true;
  return false;
}

} // namespace

int DispObjRemove(uint32_t object, uint32_t withMembers) {
  ChangeAccess access("DispObjRemove");
  const int code = DispCheckIndex(object, false);
  if (code != 0) return ErrorSet(code, "DispObjRemove");
  std::vector<bool> remove(kMaxDispObjs, false);
  if (withMembers != 0) MarkWithMembers(object, remove);
  else remove[object] = true; // members are freed by the erase
  DispTableErase(remove);
  return ErrorSet(0, "DispObjRemove");
}

int DispObjRemoveInput(uint32_t input, uint32_t wholeGroup) {
  ChangeAccess access("DispObjRemoveInput");
  if (input >= kMaxInputs) return ErrorSet(-21, "DispObjRemoveInput");
  std::vector<bool> remove(kMaxDispObjs, false);
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    const DispObjEntry& entry = *DispTableEntry(i);
    if (!entry.Used || entry.Base.InputID != input || SwitchesAway(entry, input)) continue;
    if (wholeGroup == 0) {
      remove[i] = true;
      continue;
    }
    const uint32_t parent = entry.Base.ParentObject;
    const bool inGroup = parent < kMaxDispObjs && DispTableEntry(parent)->Used;
    MarkWithMembers(inGroup ? parent : i, remove);
  }
  DispTableErase(remove);
  return ErrorSet(0, "DispObjRemoveInput");
}

uint32_t DispObjDuplicate(uint32_t object) {
  ChangeAccess access("DispObjDuplicate");
  const int code = DispCheckIndex(object, false);
  if (code != 0) return ErrorSet(code, "DispObjDuplicate"), kNoDispObj;
  const uint32_t index = DispTableAppend();
  if (index == kNoDispObj) return ErrorSet(-40, "DispObjDuplicate"), kNoDispObj;
  DispObjEntry& copy = *DispTableEntry(index);
  copy = *DispTableEntry(object);
  const std::u16string name = FieldString(copy.Base.Name, kNameLength);
  std::u16string unique = name;
  for (int n = 1; n < 1000 && DispNameTaken(unique, index); ++n)
    unique = NumberedName(name, n, kNameLength);
  if (DispNameTaken(unique, index)) {
    *DispTableEntry(index) = DispObjEntry{};
    return ErrorSet(-10, "DispObjDuplicate"), kNoDispObj;
  }
  FieldCopy(copy.Base.Name, kNameLength, unique);
  DispTableSync(index);
  ErrorSet(0, "DispObjDuplicate");
  return index;
}
