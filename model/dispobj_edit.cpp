// Display-object facade: adding, reading and writing records.
#include <cstring>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/disp_presets.h"
#include "model/disp_types.h"
#include "model/dispobj_internal.h"
#include "model/dispobjs.h"
#include "model/input_table.h"
#include "model/model_text.h"
#include "model/reply_copy.h"

namespace {

// The answer buffer of DispObjGetParam: one per thread, reused by that
// thread's next call, as callers expect of it. It never shrinks below the
// largest record, so an editor that copies a whole record from an object
// with a shorter block reads zeros, not past the buffer.
std::vector<uint8_t>& ParamBuffer() {
  thread_local std::vector<uint8_t> buffer(sizeof(EnhParam), 0);
  return buffer;
}

struct NameReply {
  char16_t text[kNameLength];
};

// Offset of the data-channel field in a type's parameter record.
int DataFieldOffset(uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  return info != nullptr ? info->fieldOffset : -1;
}

} // namespace

uint32_t DispObjAdd(uint32_t type, uint32_t input) {
  ChangeAccess access("DispObjAdd");
  if (!DispTypeKnown(type)) return ErrorSet(-21, "DispObjAdd"), kNoDispObj;
  if (input != kNoInput && input >= InputTableCount()) return ErrorSet(-41, "DispObjAdd"), kNoDispObj;
  const uint32_t index = DispTableAppend();
  if (index == kNoDispObj) return ErrorSet(-40, "DispObjAdd"), kNoDispObj;
  DispTableInitObject(index, type, input);
  DispObjEntry* entry = DispTableEntry(index);
  const std::u16string name = DispUniqueName(DispDefaultName(type));
  FieldCopy(entry->Base.Name, kNameLength, name);
  DispTableSync(index);
  ErrorSet(0, "DispObjAdd");
  return index;
}

uint32_t DispObjCount() {
  ReadAccess access("DispObjCount");
  const uint32_t count = DispTableCount();
  ErrorSet(0, "DispObjCount");
  return count;
}

const DispStruct* DispObjGet(uint32_t object) {
  ReadAccess access("DispObjGet");
  if (object < kTempDispObj && !DispTableEntry(object)->Used)
    return ErrorSet(0, "DispObjGet"), nullptr;
  const int code = DispCheckIndex(object, true);
  ErrorSet(code, "DispObjGet");
  return code == 0 ? ReplyCopy(DispTableEntry(object)->Current) : nullptr;
}

int DispObjSet(uint32_t object, const DispStruct* record) {
  ChangeAccess access("DispObjSet");
  int code = DispCheckIndex(object, true);
  if (code == 0 && record == nullptr) code = -21;
  if (code == 0) code = DispRecordEdit(object, *record);
  return ErrorSet(code, "DispObjSet");
}

void* DispObjGetParam(uint32_t object) {
  ReadAccess access("DispObjGetParam");
  if (object < kTempDispObj && !DispTableEntry(object)->Used)
    return ErrorSet(0, "DispObjGetParam"), nullptr;
  const int code = DispCheckIndex(object, true);
  if (code != 0) return ErrorSet(code, "DispObjGetParam"), nullptr;
  const DispStruct& current = DispTableEntry(object)->Current;
  std::vector<uint8_t>& buffer = ParamBuffer();
  if (buffer.size() < current.ParamSize) buffer.resize(current.ParamSize);
  std::fill(buffer.begin(), buffer.end(), 0);
  if (current.ParamSize != 0 && current.Param != nullptr)
    std::memcpy(buffer.data(), current.Param, current.ParamSize);
  ErrorSet(0, "DispObjGetParam");
  return buffer.data();
}

int DispObjSetParam(uint32_t object, const void* record) {
  ChangeAccess access("DispObjSetParam");
  int code = DispCheckIndex(object, true);
  if (code == 0) code = DispParamEdit(object, record);
  return ErrorSet(code, "DispObjSetParam");
}

const char16_t* DispObjGetName(uint32_t object) {
  ReadAccess access("DispObjGetName");
  const int code = DispCheckIndex(object, true);
  ErrorSet(code, "DispObjGetName");
  if (code != 0) return nullptr;
  NameReply* reply = ReplySlot<NameReply>();
  std::memcpy(reply->text, DispTableEntry(object)->Base.Name, sizeof(reply->text));
  reply->text[kNameLength - 1] = 0;
  return reply->text;
}

uint8_t DispObjGetType(uint32_t object) {
  ReadAccess access("DispObjGetType");
  const int code = DispCheckIndex(object, true);
  ErrorSet(code, "DispObjGetType");
  return code == 0 ? DispTableEntry(object)->Base.Type : 0xFF;
}

uint32_t DispObjFind(const char16_t* name) {
  ReadAccess access("DispObjFind");
  uint32_t found = kNoDispObj;
  if (name != nullptr && name[0] != 0) {
    const std::u16string wanted = FieldString(name, kNameLength - 1);
    for (uint32_t i = 0; i < kMaxDispObjs && found == kNoDispObj; ++i) {
      const DispObjEntry* entry = DispTableEntry(i);
      if (entry->Used && Str16CaseCmp(entry->Base.Name, wanted.c_str()) == 0) found = i;
    }
  }
  ErrorSet(0, "DispObjFind");
  return found;
}

int DispObjRename(uint32_t object, const char16_t* name) {
  ChangeAccess access("DispObjRename");
  int code = DispCheckIndex(object, true);
  const std::u16string wanted = name != nullptr ? FieldString(name, kNameLength - 1) : u"";
  if (code == 0 && (wanted.empty() || Str16CaseCmp(wanted.c_str(), u"(None)") == 0 ||
                    DispNameTaken(wanted, object)))
    code = -10;
  if (code == 0) {
    FieldCopy(DispTableEntry(object)->Base.Name, kNameLength, wanted);
    DispTableSync(object);
  }
  return ErrorSet(code, "DispObjRename");
}

int DispObjSetInput(uint32_t object, uint32_t input) {
  ChangeAccess access("DispObjSetInput");
  int code = DispCheckIndex(object, true);
  if (code == 0 && input != kNoInput && input >= InputTableCount()) code = -41;
  if (code == 0) {
    DispStruct record = DispTableEntry(object)->Current;
    record.InputID = static_cast<uint8_t>(input);
    code = DispRecordEdit(object, record);
  }
  return ErrorSet(code, "DispObjSetInput");
}

int DispObjSetDataField(uint32_t object, const char16_t* field) {
  ChangeAccess access("DispObjSetDataField");
  int code = DispCheckIndex(object, true);
  if (code == 0 && field == nullptr) code = -21;
  if (code == 0) {
    const DispStruct& current = DispTableEntry(object)->Current;
    const int offset = DataFieldOffset(current.Type);
    if (offset < 0 || current.Param == nullptr ||
        current.ParamSize < offset + kNameLength * sizeof(char16_t)) {
      code = -21;
    } else {
      std::vector<uint8_t> block(current.Param, current.Param + current.ParamSize);
      char16_t text[kNameLength];
      FieldCopy(text, kNameLength, field);
      std::memcpy(block.data() + offset, text, sizeof(text));
      code = DispParamEdit(object, block.data());
    }
  }
  return ErrorSet(code, "DispObjSetDataField");
}

// No script engine runs scripted objects here, so no script leaves a log.
const wchar_t* DispObjEnhancedGetLog(uint32_t, uint32_t) {
  ErrorSet(kErrFailed, "DispObjEnhancedGetLog");
  return nullptr;
}
