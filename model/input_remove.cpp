// Removing, dissolving and reordering inputs. The media layer keeps one
// slot per input index, so the slots of inputs that change index are closed
// before and reopened after.
#include <algorithm>

#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobjs.h"
#include "model/input_internal.h"
#include "model/input_media.h"
#include "model/input_table.h"
#include "model/inputs.h"

namespace {

// Removes the inputs (highest index first) and lays the remaining joins.
void RemoveEntries(const std::vector<uint32_t>& inputs, bool removeDispObjs) {
  if (inputs.empty()) return;
  const uint32_t lowest = *std::min_element(inputs.begin(), inputs.end());
  InputMediaCloseFrom(lowest);
  for (uint32_t input : inputs) {
    if (removeDispObjs) DispObjRemoveInput(input, 0);
    InputEraseEntry(input);
  }
  InputMediaReopenFrom(lowest);
  for (uint32_t i = 0; i < InputTableCount(); ++i) InputLayJoin(i);
}

uint32_t NearestSibling(uint32_t input, int direction) {
  const uint8_t parent = InputTableMain(input)->ParentJoin;
  if (direction > 0) {
    for (uint32_t j = input; j-- > 0;)
      if (InputTableMain(j)->ParentJoin == parent) return j;
  } else {
    for (uint32_t j = input + 1; j < InputTableCount(); ++j)
      if (InputTableMain(j)->ParentJoin == parent) return j;
  }
  return kNoInput;
}

} // namespace

int InputRemove(uint32_t input, uint32_t removeDispObjs) {
  ChangeAccess access("InputRemove");
  const int code = InputCheckIndex(input);
  if (code != 0) return ErrorSet(code, "InputRemove");
  RemoveEntries(InputWithMembers(input), removeDispObjs != 0);
  return ErrorSet(0, "InputRemove");
}

int InputRemoveJoin(uint32_t join) {
  ChangeAccess access("InputRemoveJoin");
  int code = InputCheckIndex(join);
  if (code == 0 && !InputIsJoin(join)) code = -21;
  if (code != 0) return ErrorSet(code, "InputRemoveJoin");
  // Members keep their place in the project: their start in the join
  // becomes a start in the project.
  const float joinStart = InputTableMain(join)->StartTime;
  for (uint32_t member : InputMembers(join)) {
    MainStruct& main = *InputTableMain(member);
    main.ParentJoin = static_cast<uint8_t>(kNoInput);
    main.StartTime += joinStart;
  }
  RemoveEntries({join}, false);
  return ErrorSet(0, "InputRemoveJoin");
}

int InputChangeOrder(uint32_t input, int direction) {
  ChangeAccess access("InputChangeOrder");
  int code = InputCheckIndex(input);
  if (code == 0 && direction == 0) code = -21;
  if (code != 0) return ErrorSet(code, "InputChangeOrder");
  const uint32_t other = NearestSibling(input, direction);
  if (other == kNoInput) return ErrorSet(kNoticeNoNeighbour, "InputChangeOrder");
  InputSwapWithMedia(input, other);
  InputLayJoin(InputTableMain(input)->ParentJoin);
  InputLayJoin(input);
  InputLayJoin(other);
  return ErrorSet(0, "InputChangeOrder");
}
