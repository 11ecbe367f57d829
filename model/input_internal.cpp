#include "model/input_internal.h"

#include <algorithm>

#include "base/text.h"
#include "model/dispobj_internal.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "model/model_text.h"

int InputCheckIndex(uint32_t input) {
  if (input == kNoInput || input == 0xFFFFFFFF) return -21;
  return input < InputTableCount() ? 0 : -41;
}

bool InputIsJoin(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  return main != nullptr && main->Type >= kInputJoinVideo && main->Type <= kInputJoinData;
}

bool InputNameTaken(const std::u16string& name, uint32_t except) {
  for (uint32_t i = 0; i < InputTableCount(); ++i)
    if (i != except && Str16CaseCmp(InputTableMain(i)->Name, name.c_str()) == 0) return true;
  return false;
}

std::u16string InputUniqueName(const std::u16string& name) {
  const std::u16string base = name.substr(0, kNameLength - 1);
  if (!InputNameTaken(base, kNoInput)) return base;
  for (int n = 1; n < 1000; ++n) {
    std::u16string candidate = NumberedName(base, n, kNameLength);
    if (!InputNameTaken(candidate, kNoInput)) return candidate;
  }
  return base;
}

float InputTrimmedLength(const MainStruct& main) {
  // A still image has no length of its own: in a join it stands for its
  // trim span, as a time filler does, with a few seconds when it has none.
  if (main.Type == kInputImage) {
    if (main.ParentJoin == kNoInput) return 0.0f;
    return main.TrimEnd > main.TrimStart ? main.TrimEnd - main.TrimStart : kStillInJoinSeconds;
  }
  return std::max(0.0f, std::min(main.Length, main.TrimEnd) - main.TrimStart);
}

std::vector<uint32_t> InputMembers(uint32_t join) {
  std::vector<uint32_t> members;
  for (uint32_t i = 0; i < InputTableCount(); ++i)
    if (i != join && InputTableMain(i)->ParentJoin == join) members.push_back(i);
  return members;
}

void InputLayJoin(uint32_t input) {
  // Parents are checked for cycles when they are set; the depth bound only
  // guards against a damaged table.
  for (uint32_t depth = 0; depth < kMaxInputs && input < InputTableCount(); ++depth) {
    if (InputIsJoin(input)) {
      // End to end on the join's timeline: a member played faster takes
      // less of it. The join takes its picture size from its first picture.
      double time = 0;
      MainStruct& join = *InputTableMain(input);
      join.Width = join.Height = 0;
      for (uint32_t member : InputMembers(input)) {
        MainStruct& main = *InputTableMain(member);
        main.StartTime = static_cast<float>(time);
        time += InputSpan(main);
        if (join.Width == 0 && main.Width != 0 && main.Height != 0) {
          join.Width = main.Width;
          join.Height = main.Height;
        }
      }
      join.Length = static_cast<float>(time);
    }
    input = InputTableMain(input)->ParentJoin;
  }
}

std::vector<uint32_t> InputWithMembers(uint32_t input) {
  std::vector<uint32_t> all{input};
  for (size_t k = 0; k < all.size(); ++k)
    if (InputIsJoin(all[k]))
      for (uint32_t member : InputMembers(all[k]))
        if (std::find(all.begin(), all.end(), member) == all.end()) all.push_back(member);
  std::sort(all.rbegin(), all.rend());
  return all;
}

void InputEraseEntry(uint32_t input) {
  InputStoreErase(input);
  for (uint32_t i = 0; i < InputTableCount(); ++i) {
    uint8_t& parent = InputTableMain(i)->ParentJoin;
    if (parent == kNoInput || parent < input) continue;
    parent = parent == input ? static_cast<uint8_t>(kNoInput) : static_cast<uint8_t>(parent - 1);
  }
  DispTableInputRemoved(input);
}

void InputSwapEntries(uint32_t a, uint32_t b) {
  InputStoreSwap(a, b);
  for (uint32_t i = 0; i < InputTableCount(); ++i) {
    uint8_t& parent = InputTableMain(i)->ParentJoin;
    if (parent == a) parent = static_cast<uint8_t>(b);
    else if (parent == b) parent = static_cast<uint8_t>(a);
  }
  DispTableInputsSwapped(a, b);
}

bool InputParentValid(uint32_t input, uint32_t parent) {
  if (parent == kNoInput) return true;
  if (parent == input || !InputIsJoin(parent)) return false;
  for (uint32_t depth = 0; depth < kMaxInputs && parent != kNoInput; ++depth) {
    if (parent == input) return false;
    const MainStruct* main = InputTableMain(parent);
    if (main == nullptr) return false;
    parent = main->ParentJoin;
  }
  return parent == kNoInput;
}
