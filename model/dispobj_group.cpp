// Display-object facade: drawing order and groups.
#include <algorithm>

#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_internal.h"
#include "model/dispobjs.h"

namespace {

// The object and, for a group, its members (recursively), in table order.
std::vector<uint32_t> UnitOf(uint32_t object) {
  std::vector<uint32_t> unit{object};
  for (size_t k = 0; k < unit.size(); ++k)
    for (uint32_t member : DispMembers(unit[k])) unit.push_back(member);
  std::sort(unit.begin(), unit.end());
  return unit;
}

// Siblings: other objects with the same parent that are not in the unit.
std::vector<uint32_t> SiblingsOf(uint32_t object, const std::vector<uint32_t>& unit) {
  const uint32_t parent = DispTableEntry(object)->Base.ParentObject;
  std::vector<uint32_t> siblings;
  for (uint32_t i = 0; i < DispTableCount(); ++i) {
    if (std::binary_search(unit.begin(), unit.end(), i)) continue;
    if (DispTableEntry(i)->Used && DispTableEntry(i)->Base.ParentObject == parent)
      siblings.push_back(i);
  }
  return siblings;
}

// The sibling the unit moves past; kNoDispObj when there is none.
uint32_t TargetSibling(uint32_t object, int direction, bool toEnd,
                       const std::vector<uint32_t>& siblings) {
  uint32_t target = kNoDispObj;
  for (uint32_t s : siblings) {
    if (direction > 0 && s > object && (target == kNoDispObj || (toEnd ? s > target : s < target)))
      target = s;
    if (direction < 0 && s < object && (target == kNoDispObj || (toEnd ? s < target : s > target)))
      target = s;
  }
  return target;
}

struct Box {
  float x0, y0, x1, y1;
};

bool MembersBox(uint32_t group, Box& box) {
  const std::vector<uint32_t> members = DispMembers(group);
  if (members.empty()) return false;
  box = {1e30f, 1e30f, -1e30f, -1e30f};
  for (uint32_t m : members) {
    const DispStruct& r = DispTableEntry(m)->Current;
    box.x0 = std::min(box.x0, r.X);
    box.y0 = std::min(box.y0, r.Y);
    box.x1 = std::max(box.x1, r.X + r.Width);
    box.y1 = std::max(box.y1, r.Y + r.Height);
  }
  return true;
}

} // namespace

int DispObjChangeOrder(uint32_t object, int direction, uint32_t toEnd) {
  ChangeAccess access("DispObjChangeOrder");
  int code = DispCheckIndex(object, false);
  if (code != 0 || direction == 0) return ErrorSet(code, "DispObjChangeOrder");
  const std::vector<uint32_t> unit = UnitOf(object);
  const uint32_t target =
      TargetSibling(object, direction, toEnd != 0, SiblingsOf(object, unit));
  if (target == kNoDispObj) return ErrorSet(0, "DispObjChangeOrder");
  const std::vector<uint32_t> targetUnit = UnitOf(target);
  std::vector<uint32_t> order;
  for (uint32_t i = 0; i < DispTableCount(); ++i)
    if (!std::binary_search(unit.begin(), unit.end(), i)) order.push_back(i);
  // After the target's whole unit when moving up, before it when moving down.
  const uint32_t anchor = direction > 0 ? targetUnit.back() : targetUnit.front();
  auto at = std::find(order.begin(), order.end(), anchor);
  if (direction > 0) ++at;
  order.insert(at, unit.begin(), unit.end());
  DispTableReorder(order);
  return ErrorSet(0, "DispObjChangeOrder");
}

int DispObjGroupCalcPosSize(uint32_t object) {
  ChangeAccess access("DispObjGroupCalcPosSize");
  int code = DispCheckIndex(object, false);
  Box box{};
  if (code == 0 && DispTableEntry(object)->Base.Type == kDispGroup && MembersBox(object, box)) {
    DispStruct record = DispTableEntry(object)->Current;
    record.X = box.x0;
    record.Y = box.y0;
    record.Width = box.x1 - box.x0;
    record.Height = box.y1 - box.y0;
    code = DispRecordEdit(object, record);
  }
  return ErrorSet(code, "DispObjGroupCalcPosSize");
}

int DispObjGroupChangePosSize(uint32_t object) {
  ChangeAccess access("DispObjGroupChangePosSize");
  int code = DispCheckIndex(object, false);
  Box box{};
  if (code != 0 || DispTableEntry(object)->Base.Type != kDispGroup || !MembersBox(object, box))
    return ErrorSet(code, "DispObjGroupChangePosSize");
  // The members' bounding box is where the group was; the group's record
  // is where it is now.
  const DispStruct group = DispTableEntry(object)->Current;
  const float oldW = box.x1 - box.x0, oldH = box.y1 - box.y0;
  const float scaleX = oldW > 0 ? group.Width / oldW : 1.0f;
  const float scaleY = oldH > 0 ? group.Height / oldH : 1.0f;
  for (uint32_t m : DispMembers(object)) {
    DispStruct record = DispTableEntry(m)->Current;
    record.X = group.X + (record.X - box.x0) * scaleX;
    record.Y = group.Y + (record.Y - box.y0) * scaleY;
    record.Width *= scaleX;
    record.Height *= scaleY;
    if (code == 0) code = DispRecordEdit(m, record);
  }
  return ErrorSet(code, "DispObjGroupChangePosSize");
}
