#include "render/loop/input_time.h"

#include "model/input_table.h"
#include "model/input_timing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The input and the joins that hold it, outermost first.
std::vector<const MainStruct*> chainOf(uint32_t input) {
  std::vector<const MainStruct*> chain;
  for (uint32_t depth = 0; depth < kMaxInputs && input != kNoInput; ++depth) {
    const MainStruct* m = InputTableMain(input);
    if (!m) break;
    chain.insert(chain.begin(), m);
    input = m->ParentJoin;
  }
  return chain;
}

} // namespace

double InputTimeAt(uint32_t input, double projectTime) { return InputTimeFromProject(input, projectTime); }

bool InputPlaysAt(uint32_t input, double projectTime, double* inputTime) {
  const std::vector<const MainStruct*> chain = chainOf(input);
  if (chain.empty()) return false;
  double t = projectTime;
  bool plays = true;
  for (const MainStruct* m : chain) {
    if (t < m->StartTime) plays = false;
    if (m->ParentJoin != kNoInput && t >= m->StartTime + InputSpan(*m)) plays = false;
    t = InputLocalTime(*m, t);
    // A free still image shows from its start on, without an end.
    const bool freeStill = m->Type == kInputImage && m->ParentJoin == kNoInput;
    if (!freeStill && t > InputLocalEnd(*m)) plays = false;
  }
  if (inputTime) *inputTime = t;
  return plays;
}

bool InputPlaySpan(uint32_t input, double* from, double* to) {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  // From the input up: the stretch so far, in the time of the level's
  // parent, cut to the level's own stretch there.
  double lo = -kNever, hi = kNever;
  for (uint32_t depth = 0; depth < kMaxInputs && input != kNoInput; ++depth) {
    const MainStruct* m = InputTableMain(input);
    if (!m) return false;
    if (std::isfinite(lo)) lo = InputParentTime(*m, lo);
    if (std::isfinite(hi)) hi = InputParentTime(*m, hi);
    double end = kNever;
    if (m->ParentJoin != kNoInput) end = m->StartTime + InputSpan(*m);
    else if (m->Type != kInputImage) end = InputParentTime(*m, InputLocalEnd(*m));
    lo = std::max(lo, static_cast<double>(m->StartTime));
    hi = std::min(hi, end);
    input = m->ParentJoin;
  }
  if (from) *from = lo;
  if (to) *to = hi;
  return lo < hi;
}
