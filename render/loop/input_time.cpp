#include "render/loop/input_time.h"

#include "engine/model/input_table.h"

#include <cmath>

namespace {

double playRate(const MainStruct& m) {
  return std::isfinite(m.PlayRate) && m.PlayRate > 0.001f ? m.PlayRate : 1.0;
}

// A join member's start counts inside its join; its project start is the
// join's start plus its own.
double projectStart(const MainStruct& m) {
  double start = m.StartTime;
  const MainStruct* parent = m.ParentJoin != kNoInput ? InputTableMain(m.ParentJoin) : nullptr;
  if (parent) start += parent->StartTime;
  return start;
}

} // namespace

double InputTimeAt(uint32_t input, double projectTime) {
  const MainStruct* m = InputTableMain(input);
  if (!m) return 0;
  return (projectTime - projectStart(*m)) * playRate(*m) + m->TrimStart;
}

bool InputPlaysAt(uint32_t input, double projectTime, double* inputTime) {
  const MainStruct* m = InputTableMain(input);
  if (!m) return false;
  const double local = InputTimeAt(input, projectTime);
  if (inputTime) *inputTime = local;
  if (projectTime < projectStart(*m)) return false;
  if (m->Type == kInputImage) return true;
  double end = m->Length;
  if (m->TrimEnd > m->TrimStart && (end <= 0 || m->TrimEnd < end)) end = m->TrimEnd;
  return local <= end;
}
