// The project length: explicit, or the latest end over the display
// objects, their segments and the inputs they show.
#include <algorithm>

#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_table.h"
#include "model/input_internal.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace {

// Project time at which the input stops playing; a join member's end is
// carried through its joins' offsets, trims and play rates.
float InputProjectEnd(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  if (main == nullptr) return 0;
  double end = main->StartTime + InputSpan(*main);
  uint32_t parent = main->ParentJoin;
  for (uint32_t depth = 0; depth < kMaxInputs && parent != kNoInput; ++depth) {
    const MainStruct* join = InputTableMain(parent);
    if (join == nullptr) break;
    end = join->StartTime + (end - join->TrimStart) / InputPlayRate(*join);
    parent = join->ParentJoin;
  }
  return static_cast<float>(end);
}

float ObjectEnd(const DispObjEntry& entry) {
  float end = entry.Base.OffsetTime;
  if (entry.Base.InputID != kNoInput) end = std::max(end, InputProjectEnd(entry.Base.InputID));
  for (const DispSegment& segment : entry.Segments) {
    end = std::max(end, segment.Start);
    if ((segment.Mask & kSegInput) && segment.Values.InputID != kNoInput)
      end = std::max(end, InputProjectEnd(segment.Values.InputID));
  }
  return end;
}

float AutomaticLength() {
  float end = 0;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    const DispObjEntry& entry = *DispTableEntry(i);
    if (entry.Used) end = std::max(end, ObjectEnd(entry));
  }
  return end;
}

} // namespace

float ProjectGetLength(int32_t flag) {
  ReadAccess access("ProjectGetLength");
  const float explicitLength = ProjectSettingsRaw().Length;
  // Computed on every call: a few hundred records cost less than keeping a
  // cache in step with every writer of the tables.
  const float length =
      flag != 0 || explicitLength > 0.01f ? explicitLength : AutomaticLength();
  ErrorSet(0, "ProjectGetLength");
  return length;
}
