#include "model/input_timing.h"

#include <cmath>
#include <limits>
#include <vector>

#include "model/input_internal.h"
#include "model/input_table.h"

namespace {

// The input and the joins that hold it, innermost first. The depth bound
// only guards against a damaged table (parents are checked for cycles).
std::vector<const MainStruct*> chainOf(uint32_t input) {
  std::vector<const MainStruct*> chain;
  for (uint32_t depth = 0; depth < kMaxInputs && input != kNoInput; ++depth) {
    const MainStruct* main = InputTableMain(input);
    if (main == nullptr) break;
    chain.push_back(main);
    input = main->ParentJoin;
  }
  return chain;
}

} // namespace

bool PlayRateUsable(double rate) { return std::isfinite(rate) && rate >= static_cast<double>(kMinPlayRate); }

double InputPlayRate(const MainStruct& main) { return PlayRateUsable(main.PlayRate) ? main.PlayRate : 1.0; }

double InputLocalTime(double trimStart, double startTime, double rate, double parentTime) {
  if (!PlayRateUsable(rate)) rate = 1.0;
  return (parentTime - startTime) * rate + trimStart;
}

double InputLocalTime(const MainStruct& main, double parentTime) {
  return InputLocalTime(main.TrimStart, main.StartTime, main.PlayRate, parentTime);
}

double InputParentTime(const MainStruct& main, double localTime) {
  return main.StartTime + (localTime - main.TrimStart) / InputPlayRate(main);
}

double InputTimeFromProject(uint32_t input, double projectTime) {
  const std::vector<const MainStruct*> chain = chainOf(input);
  double t = projectTime;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) t = InputLocalTime(**it, t);
  return t;
}

double ProjectTimeFromInput(uint32_t input, double inputTime) {
  double t = inputTime;
  for (const MainStruct* main : chainOf(input)) t = InputParentTime(*main, t);
  return t;
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
