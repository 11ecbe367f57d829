#include "render/loop/input_time.h"

#include "model/input_table.h"
#include "model/input_timing.h"

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
    t = InputLocalTime(*m, t);
    // A free still image shows from its start on, without an end.
    const bool freeStill = m->Type == kInputImage && m->ParentJoin == kNoInput;
    if (!freeStill && t > InputLocalEnd(*m)) plays = false;
  }
  if (inputTime) *inputTime = t;
  return plays;
}
