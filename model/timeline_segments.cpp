// Timeline segments of display objects: adding, removing, moving and
// shifting, with a group's members following their group.
#include <algorithm>
#include <utility>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "model/dispobj_internal.h"
#include "model/timeline.h"
#include "model/timeline_apply.h"

namespace {

bool StartTaken(const DispObjEntry& entry, float time, int except) {
  if (entry.Base.OffsetTime == time) return true;
  for (size_t i = 0; i < entry.Segments.size(); ++i)
    if (static_cast<int>(i) != except && entry.Segments[i].Start == time) return true;
  return false;
}

void SortSegments(DispObjEntry& entry) {
  std::stable_sort(entry.Segments.begin(), entry.Segments.end(),
                   [](const DispSegment& a, const DispSegment& b) { return a.Start < b.Start; });
}

// Adds a segment without recording a result; its index or a code < 0.
int AddSegment(uint32_t object, float time) {
  DispObjEntry& entry = *DispTableEntry(object);
  if (StartTaken(entry, time, -1)) return -11;
  if (time < 0 || time <= entry.Base.OffsetTime) return -200;
  if (entry.Segments.size() >= kMaxSegments) return -40;
  DispSegment segment;
  segment.Start = time;
  auto at = std::upper_bound(entry.Segments.begin(), entry.Segments.end(), time,
                             [](float t, const DispSegment& s) { return t < s.Start; });
  const int index = static_cast<int>(at - entry.Segments.begin());
  entry.Segments.insert(at, std::move(segment));
  DispTableSync(object);
  return index;
}

// The segment of a member that starts where the group's segment started.
int MatchingSegment(const DispObjEntry& member, float start) {
  for (size_t i = 0; i < member.Segments.size(); ++i)
    if (member.Segments[i].Start == start) return static_cast<int>(i);
  return -1;
}

int MoveSegment(uint32_t object, int segment, float time) {
  DispObjEntry& entry = *DispTableEntry(object);
  if (time < 0 || time <= entry.Base.OffsetTime) return -200;
  if (StartTaken(entry, time, segment)) return -11;
  const float from = entry.Segments[segment].Start;
  entry.Segments[segment].Start = time;
  SortSegments(entry);
  LogPrintf(L"Move DispObj[%d] timeline segment [%d] (from %.03f to %.03f)",
            static_cast<int>(object), segment, static_cast<double>(from),
            static_cast<double>(time));
  DispTableSync(object);
  return 0;
}

// Whether segments first..end of the object can move by delta: each new
// start at or above 0 and after the object's start (as it will be), and,
// moving back, still after the unshifted segment before the first. 0,
// -200 or -11.
int CheckShift(const DispObjEntry& entry, size_t first, float delta, float objectStart) {
  for (size_t i = first; i < entry.Segments.size(); ++i) {
    const float to = entry.Segments[i].Start + delta;
    if (to < 0 || to <= objectStart) return kErrSegmentTime;
  }
  if (delta < 0 && first > 0 && first < entry.Segments.size() &&
      entry.Segments[first].Start + delta <= entry.Segments[first - 1].Start)
    return kErrSegmentExists;
  return kOk;
}

float ShiftedStart(const DispObjEntry& entry, float delta) {
  return std::max(0.0f, entry.Base.OffsetTime + delta);
}

// Shifts segments first..end of the object (checked beforehand).
void ShiftSegments(uint32_t object, size_t first, float delta) {
  DispObjEntry& entry = *DispTableEntry(object);
  for (size_t i = first; i < entry.Segments.size(); ++i) {
    DispSegment& segment = entry.Segments[i];
    const float to = segment.Start + delta;
    LogPrintf(L"Shift DispObj[%d] timeline segment [%d] (from %.03f to %.03f)",
              static_cast<int>(object), static_cast<int>(i), static_cast<double>(segment.Start),
              static_cast<double>(to));
    segment.Start = to;
  }
  SortSegments(entry);
  DispTableSync(object);
}

void ShiftInitial(uint32_t object, float delta) {
  DispObjEntry& entry = *DispTableEntry(object);
  const float from = entry.Base.OffsetTime;
  const float to = ShiftedStart(entry, delta);
  LogPrintf(L"Shift DispObj[%d] timeline segment [%d] (from %.03f to %.03f)",
            static_cast<int>(object), -1, static_cast<double>(from), static_cast<double>(to));
  entry.Base.OffsetTime = to;
  ShiftSegments(object, 0, delta);
}

bool BadSegment(uint32_t object, uint32_t segment) {
  return DispCheckIndex(object, false) != 0 ||
         (segment != kFirstSegment && segment >= DispTableEntry(object)->Segments.size());
}

} // namespace

uint32_t TimelineDispObjGetCount(uint32_t object) {
  ReadAccess access("TimelineDispObjGetCount");
  if (DispCheckIndex(object, false) != 0) return ErrorSet(-41, "TimelineDispObjGetCount"), 0;
  ErrorSet(0, "TimelineDispObjGetCount");
  return static_cast<uint32_t>(DispTableEntry(object)->Segments.size());
}

float TimelineDispObjGetStart(uint32_t object, uint32_t segment) {
  ReadAccess access("TimelineDispObjGetStart");
  if (BadSegment(object, segment)) return ErrorSet(-41, "TimelineDispObjGetStart"), 0.0f;
  const DispObjEntry& entry = *DispTableEntry(object);
  ErrorSet(0, "TimelineDispObjGetStart");
  return segment == kFirstSegment ? entry.Base.OffsetTime : entry.Segments[segment].Start;
}

uint32_t TimelineDispObjAdd(uint32_t object, float time) {
  ChangeAccess access("TimelineDispObjAdd");
  if (DispCheckIndex(object, false) != 0) return ErrorSet(-41, "TimelineDispObjAdd"), kNoDispObj;
  const int index = AddSegment(object, time);
  if (index < 0) return ErrorSet(index, "TimelineDispObjAdd"), kNoDispObj;
  LogPrintf(L"Add DispObj[%d] timeline segment (at %.03f)", static_cast<int>(object),
            static_cast<double>(time));
  for (uint32_t member : DispMembers(object)) AddSegment(member, time);
  ErrorSet(0, "TimelineDispObjAdd");
  return static_cast<uint32_t>(index);
}

int TimelineDispObjRemove(uint32_t object, uint32_t segment) {
  ChangeAccess access("TimelineDispObjRemove");
  if (segment == kFirstSegment || BadSegment(object, segment))
    return ErrorSet(-41, "TimelineDispObjRemove");
  DispObjEntry& entry = *DispTableEntry(object);
  entry.Segments.erase(entry.Segments.begin() + segment);
  DispTableSync(object);
  return ErrorSet(0, "TimelineDispObjRemove");
}

int TimelineDispObjSetStart(uint32_t object, uint32_t segment, float time) {
  ChangeAccess access("TimelineDispObjSetStart");
  if (BadSegment(object, segment)) return ErrorSet(-41, "TimelineDispObjSetStart");
  DispObjEntry& entry = *DispTableEntry(object);
  if (segment == kFirstSegment) {
    if (time < 0) return ErrorSet(-21, "TimelineDispObjSetStart");
    LogPrintf(L"Move DispObj[%d] timeline segment [Initial] (from %.03f to %.03f)",
              static_cast<int>(object), static_cast<double>(entry.Base.OffsetTime),
              static_cast<double>(time));
    entry.Base.OffsetTime = time;
    DispTableSync(object);
    for (uint32_t member : DispMembers(object)) {
      DispTableEntry(member)->Base.OffsetTime = time;
      DispTableSync(member);
    }
    return ErrorSet(0, "TimelineDispObjSetStart");
  }
  const float from = entry.Segments[segment].Start;
  const int code = MoveSegment(object, static_cast<int>(segment), time);
  if (code == 0)
    for (uint32_t member : DispMembers(object)) {
      const int match = MatchingSegment(*DispTableEntry(member), from);
      if (match >= 0) MoveSegment(member, match, time);
    }
  return ErrorSet(code, "TimelineDispObjSetStart");
}

int TimelineDispObjShift(uint32_t object, uint32_t segment, float delta) {
  ChangeAccess access("TimelineDispObjShift");
  if (BadSegment(object, segment)) return ErrorSet(kErrIndex, "TimelineDispObjShift");
  // The object and the members that follow it are all checked before any
  // of them moves, so a refused shift leaves the timeline as it was.
  const std::vector<uint32_t> members = DispMembers(object);
  if (segment == kFirstSegment) {
    for (uint32_t index : members) {
      const DispObjEntry& entry = *DispTableEntry(index);
      if (const int code = CheckShift(entry, 0, delta, ShiftedStart(entry, delta)); code != kOk)
        return ErrorSet(code, "TimelineDispObjShift");
    }
    const DispObjEntry& entry = *DispTableEntry(object);
    if (const int code = CheckShift(entry, 0, delta, ShiftedStart(entry, delta)); code != kOk)
      return ErrorSet(code, "TimelineDispObjShift");
    ShiftInitial(object, delta);
    for (uint32_t member : members) ShiftInitial(member, delta);
    return ErrorSet(kOk, "TimelineDispObjShift");
  }
  const float from = DispTableEntry(object)->Segments[segment].Start;
  std::vector<std::pair<uint32_t, size_t>> moves{{object, segment}};
  for (uint32_t member : members) {
    const int match = MatchingSegment(*DispTableEntry(member), from);
    if (match >= 0) moves.emplace_back(member, static_cast<size_t>(match));
  }
  for (const auto& [index, first] : moves) {
    const DispObjEntry& entry = *DispTableEntry(index);
    if (const int code = CheckShift(entry, first, delta, entry.Base.OffsetTime); code != kOk)
      return ErrorSet(code, "TimelineDispObjShift");
  }
  for (const auto& [index, first] : moves) ShiftSegments(index, first, delta);
  return ErrorSet(kOk, "TimelineDispObjShift");
}

uint32_t TimelineDispObjGetChanged(uint32_t object, uint32_t segment) {
  ReadAccess access("TimelineDispObjGetChanged");
  if (BadSegment(object, segment)) return ErrorSet(-41, "TimelineDispObjGetChanged"), 0;
  ErrorSet(0, "TimelineDispObjGetChanged");
  return segment == kFirstSegment ? 0xFFFFFFFF : DispTableEntry(object)->Segments[segment].Mask;
}

int TimelineDispObjSetChanged(uint32_t object, uint32_t segment, uint32_t mask, uint32_t replace) {
  ChangeAccess access("TimelineDispObjSetChanged");
  if (BadSegment(object, segment)) return ErrorSet(-41, "TimelineDispObjSetChanged");
  if (segment == kFirstSegment) return ErrorSet(0, "TimelineDispObjSetChanged");
  DispObjEntry& entry = *DispTableEntry(object);
  DispSegment& seg = entry.Segments[segment];
  const DispStruct current = entry.Current;
  if (replace != 0) {
    seg.Mask = 0;
    seg.Param.clear();
    seg.Bitmap.clear();
  }
  mask &= kSegAll;
  seg.Mask |= mask;
  seg.Values.NativeWidth = current.NativeWidth;
  seg.Values.NativeHeight = current.NativeHeight;
  SegmentTakeFields(seg, current, mask);
  if (mask & kSegParam) {
    if (current.Param == nullptr || current.ParamSize == 0) seg.Mask &= ~kSegParam;
    else seg.Param.assign(current.Param, current.Param + current.ParamSize);
  }
  if (mask & kSegBitmap) {
    if (current.Bitmap == nullptr) seg.Bitmap.clear();
    else seg.Bitmap.assign(current.Bitmap, current.Bitmap + current.BitmapSize);
  }
  DispTableSync(object);
  return ErrorSet(0, "TimelineDispObjSetChanged");
}

int TimelineDispObjSetMask(uint32_t object, uint32_t segment, uint32_t mask) {
  ChangeAccess access("TimelineDispObjSetMask");
  if (BadSegment(object, segment)) return ErrorSet(kErrIndex, "TimelineDispObjSetMask");
  if (segment == kFirstSegment) return ErrorSet(kOk, "TimelineDispObjSetMask");
  DispObjEntry& entry = *DispTableEntry(object);
  // The object as it stands when the segment starts, before the segment's
  // own changes: what a newly chosen property is to keep until edited.
  DispStruct before = entry.Base;
  before.Param = entry.Param.empty() ? nullptr : entry.Param.data();
  before.ParamSize = static_cast<uint32_t>(entry.Param.size());
  before.Bitmap = entry.Bitmap.empty() ? nullptr : entry.Bitmap.data();
  before.BitmapSize = static_cast<uint32_t>(entry.Bitmap.size());
  for (uint32_t i = 0; i < segment; ++i) SegmentApplyTo(before, entry.Segments[i]);
  DispSegment& seg = entry.Segments[segment];
  mask &= kSegAll;
  const uint32_t added = mask & ~seg.Mask;
  if (seg.Mask == 0) {
    seg.Values.NativeWidth = before.NativeWidth;
    seg.Values.NativeHeight = before.NativeHeight;
  }
  seg.Mask &= mask;
  if (!(seg.Mask & kSegParam)) seg.Param.clear();
  if (!(seg.Mask & kSegBitmap)) seg.Bitmap.clear();
  SegmentTakeFields(seg, before, added);
  seg.Mask |= added;
  if (added & kSegParam) {
    if (before.Param == nullptr || before.ParamSize == 0) seg.Mask &= ~kSegParam;
    else seg.Param.assign(before.Param, before.Param + before.ParamSize);
  }
  if ((added & kSegBitmap) && before.Bitmap != nullptr)
    seg.Bitmap.assign(before.Bitmap, before.Bitmap + before.BitmapSize);
  DispTableSync(object);
  return ErrorSet(kOk, "TimelineDispObjSetMask");
}

int TimelineDispObjZeroCount(uint32_t object) {
  ChangeAccess access("TimelineDispObjZeroCount");
  if (DispCheckIndex(object, false) != 0) return ErrorSet(-41, "TimelineDispObjZeroCount");
  DispTableEntry(object)->Segments.clear();
  DispTableSync(object);
  return ErrorSet(0, "TimelineDispObjZeroCount");
}

int TimelineApply(float time) {
  WriteAccess access("TimelineApply");
  DispTableSetTime(time);
  DispTableApplyAll();
  return ErrorSet(0, "TimelineApply");
}

std::unique_lock<std::mutex> TimelineApplyForDraw(float time) {
  static std::mutex drawing;
  std::unique_lock<std::mutex> hold(drawing);
  TimelineApply(time);
  return hold;
}

float TimelineGetTime() {
  ReadAccess access("TimelineGetTime");
  const float time = DispTableTime();
  ErrorSet(0, "TimelineGetTime");
  return time;
}
