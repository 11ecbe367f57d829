// Input facade: the routines that need no media file.
#include <cstring>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/input_internal.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "model/inputs.h"
#include "model/model_text.h"
#include "model/reply_copy.h"

namespace {

struct NameReply {
  char16_t text[kNameLength];
};

struct SpecialKind {
  uint8_t type;
  const char16_t* marker;
};

bool SpecialFor(uint32_t kind, SpecialKind& special) {
  switch (kind) {
  case 1:
  case 5: special = {kInputJoinVideo, u"*JOINV*"}; return true;
  case 2:
  case 6: special = {kInputJoinAudio, u"*JOINA*"}; return true;
  case 4:
  case 7: special = {kInputJoinData, u"*JOIND*"}; return true;
  case 8: special = {kInputFiller, u"*FILLER*"}; return true;
  default: return false;
  }
}

} // namespace

uint32_t InputCount() {
  ReadAccess access("InputCount");
  const uint32_t count = InputTableCount();
  ErrorSet(0, "InputCount");
  return count;
}

uint32_t InputAddSpecial(uint32_t kind) {
  ChangeAccess access("InputAddSpecial");
  SpecialKind special{};
  if (!SpecialFor(kind, special)) return ErrorSet(-21, "InputAddSpecial"), kNoInput;
  const std::u16string name = InputUniqueName(special.marker);
  const uint32_t input = InputStoreAppend();
  if (input == kNoInput) return ErrorSet(-40, "InputAddSpecial"), kNoInput;
  MainStruct& main = *InputTableMain(input);
  FieldCopy(main.Name, kNameLength, name);
  FieldCopy(main.FilePath, kPathLength, special.marker);
  main.Type = special.type;
  main.PlayRate = 1.0f;
  if (special.type == kInputFiller) {
    main.Length = 600;
    main.TrimEnd = 1;
  } else {
    main.TrimEnd = 356400;
  }
  ErrorSet(0, "InputAddSpecial");
  return input;
}

int InputRename(uint32_t input, const char16_t* name) {
  ChangeAccess access("InputRename");
  int code = InputCheckIndex(input);
  const std::u16string wanted = name != nullptr ? FieldString(name, kNameLength - 1) : u"";
  if (code == 0 && (wanted.empty() || InputNameTaken(wanted, input))) code = -10;
  if (code == 0) FieldCopy(InputTableMain(input)->Name, kNameLength, wanted);
  return ErrorSet(code, "InputRename");
}

uint32_t InputFind(const char16_t* name) {
  ReadAccess access("InputFind");
  uint32_t found = kNoInput;
  if (name != nullptr && name[0] != 0) {
    const std::u16string wanted = FieldString(name, kNameLength - 1);
    for (uint32_t i = 0; i < InputTableCount() && found == kNoInput; ++i)
      if (Str16CaseCmp(InputTableMain(i)->Name, wanted.c_str()) == 0) found = i;
  }
  ErrorSet(0, "InputFind");
  return found;
}

const MainStruct* InputGetMain(uint32_t input) {
  ReadAccess access("InputGetMain");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetMain");
  return code == 0 ? ReplyCopy(*InputTableMain(input)) : nullptr;
}

const DataStruct* InputGetData(uint32_t input) {
  ReadAccess access("InputGetData");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetData");
  return code == 0 ? ReplyCopy(*InputTableData(input)) : nullptr;
}

const AdjustStruct* InputGetAdjust(uint32_t input) {
  ReadAccess access("InputGetAdjust");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetAdjust");
  return code == 0 ? ReplyCopy(*InputTableAdjust(input)) : nullptr;
}

uint32_t InputGetType(uint32_t input) {
  ReadAccess access("InputGetType");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetType");
  return code == 0 ? InputTableMain(input)->Type : 0;
}

const char16_t* InputGetName(uint32_t input) {
  ReadAccess access("InputGetName");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetName");
  if (code != 0) return nullptr;
  NameReply* reply = ReplySlot<NameReply>();
  std::memcpy(reply->text, InputTableMain(input)->Name, sizeof(reply->text));
  reply->text[kNameLength - 1] = 0;
  return reply->text;
}

uint32_t InputGetParent(uint32_t input) {
  ReadAccess access("InputGetParent");
  uint32_t parent = input;
  if (input < InputTableCount()) {
    const uint32_t join = InputTableMain(input)->ParentJoin;
    if (join != kNoInput && InputIsJoin(join)) parent = join;
  }
  ErrorSet(0, "InputGetParent");
  return parent;
}

float InputGetLength(uint32_t input, uint32_t mode) {
  ReadAccess access("InputGetLength");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetLength");
  if (code != 0) return 0;
  const MainStruct& main = *InputTableMain(input);
  return mode == 2 || mode == 3 ? InputTrimmedLength(main) : main.Length;
}

double InputGetProjectTime(uint32_t input, double inputTime) {
  ReadAccess access("InputGetProjectTime");
  const int code = InputCheckIndex(input);
  ErrorSet(code, "InputGetProjectTime");
  return code == 0 ? ProjectTimeFromInput(input, inputTime) : inputTime;
}

int InputUpdateJoin(uint32_t input) {
  ChangeAccess access("InputUpdateJoin");
  if (input == kNoInput) {
    for (uint32_t i = 0; i < InputTableCount(); ++i) InputLayJoin(i);
    return ErrorSet(0, "InputUpdateJoin");
  }
  const int code = InputCheckIndex(input);
  if (code == 0) InputLayJoin(input);
  return ErrorSet(code, "InputUpdateJoin");
}
