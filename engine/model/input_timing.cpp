#include "engine/model/input_timing.h"

#include <cmath>
#include <limits>

#include "engine/model/input_internal.h"
#include "engine/model/input_table.h"

double InputPlayRate(const MainStruct& main) {
  return std::isfinite(main.PlayRate) && main.PlayRate > 0.001f ? main.PlayRate : 1.0;
}

double InputLocalTime(const MainStruct& main, double parentTime) {
  return (parentTime - main.StartTime) * InputPlayRate(main) + main.TrimStart;
}

double InputLocalEnd(const MainStruct& main) {
  if (main.Type == kInputImage) return main.TrimStart + InputTrimmedLength(main);
  double end = main.Length;
  if (main.TrimEnd > main.TrimStart && (end <= 0 || main.TrimEnd < end)) end = main.TrimEnd;
  return end;
}

double InputSpan(const MainStruct& main) { return InputTrimmedLength(main) / InputPlayRate(main); }

bool InputJoinMemberAt(uint32_t join, double joinTime, uint32_t* member, double* memberTime, double* spanEnd) {
  double next = std::numeric_limits<double>::infinity();
  if (InputIsJoin(join)) {
    for (uint32_t m : InputMembers(join)) {
      const MainStruct& main = *InputTableMain(m);
      const double start = main.StartTime, end = start + InputSpan(main);
      if (joinTime >= start && joinTime < end) {
        if (member) *member = m;
        if (memberTime) *memberTime = InputLocalTime(main, joinTime);
        if (spanEnd) *spanEnd = end;
        return true;
      }
      if (start > joinTime && start < next) next = start;
    }
  }
  if (spanEnd) *spanEnd = next;
  return false;
}
