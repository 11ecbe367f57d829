// Input routines that open, reopen or reprocess media through the slot
// routines the media layer installs.
#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/input_internal.h"
#include "model/input_media.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/model.h"
#include "model/model_text.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace {

InputMediaSlots gSlots; // set before main by the media layer

std::u16string FileNameOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u'/');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// Undoes a failed add: the new input is the last entry.
void DropLast(uint32_t input) {
  InputMediaClose(input);
  InputStoreErase(input);
}

void Reprocess(uint32_t input) {
  if (InputHasMedia(input)) InputMediaReprocess(input);
}

} // namespace

void InputMediaInstall(const InputMediaSlots& slots) { gSlots = slots; }

int InputMediaOpen(uint32_t input) {
  return gSlots.open != nullptr ? gSlots.open(input) : kErrUnsupported;
}

void InputMediaClose(uint32_t input) {
  if (gSlots.close != nullptr) gSlots.close(input);
}

void InputMediaReprocess(uint32_t input) {
  if (gSlots.reprocess != nullptr) gSlots.reprocess(input);
}

bool InputHasMedia(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  return main != nullptr && main->Type >= kInputVideo && main->Type <= kInputData;
}

void InputMediaCloseFrom(uint32_t first) {
  for (uint32_t i = first; i < InputTableCount(); ++i) InputMediaClose(i);
}

void InputMediaReopenFrom(uint32_t first) {
  for (uint32_t i = first; i < InputTableCount(); ++i)
    if (InputHasMedia(i) && InputTableMain(i)->OpenFailed == 0) InputMediaOpen(i);
}

void InputSwapWithMedia(uint32_t a, uint32_t b) {
  InputMediaClose(a);
  InputMediaClose(b);
  InputSwapEntries(a, b);
  for (uint32_t i : {a, b})
    if (InputHasMedia(i) && InputTableMain(i)->OpenFailed == 0) InputMediaOpen(i);
}

uint32_t InputAdd(const char16_t* path) {
  ChangeAccess access("InputAdd");
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "InputAdd"), kNoInput;
  const std::u16string file = FieldString(path, kPathLength - 1);
  const std::u16string name = InputUniqueName(FileNameOf(file));
  const uint32_t input = InputStoreAppend();
  if (input == kNoInput) return ErrorSet(-40, "InputAdd"), kNoInput;
  MainStruct& main = *InputTableMain(input);
  FieldCopy(main.FilePath, kPathLength, file);
  FieldCopy(main.Name, kNameLength, name);
  const int code = InputMediaOpen(input);
  if (code < 0) {
    DropLast(input);
    return ErrorSet(code, "InputAdd"), kNoInput;
  }
  // A new input plays its whole file.
  if (main.TrimEnd <= main.TrimStart) main.TrimEnd = main.Length;
  ErrorSet(0, "InputAdd");
  return input;
}

uint32_t InputDuplicate(uint32_t input) {
  ChangeAccess access("InputDuplicate");
  const int code = InputCheckIndex(input);
  if (code != 0) return ErrorSet(code, "InputDuplicate"), kNoInput;
  const std::u16string name = FieldString(InputTableMain(input)->Name, kNameLength);
  std::u16string unique;
  for (int n = 1; n < 1000 && (unique.empty() || InputNameTaken(unique, kNoInput)); ++n)
    unique = NumberedName(name, n, kNameLength);
  const uint32_t copy = InputStoreAppend();
  if (copy == kNoInput) return ErrorSet(-40, "InputDuplicate"), kNoInput;
  *InputTableMain(copy) = *InputTableMain(input);
  *InputTableData(copy) = *InputTableData(input);
  *InputTableAdjust(copy) = *InputTableAdjust(input);
  FieldCopy(InputTableMain(copy)->Name, kNameLength, unique);
  if (InputHasMedia(copy) && InputTableMain(copy)->OpenFailed == 0) {
    const int opened = InputMediaOpen(copy);
    if (opened < 0) {
      DropLast(copy);
      return ErrorSet(opened, "InputDuplicate"), kNoInput;
    }
  }
  InputLayJoin(copy);
  ErrorSet(0, "InputDuplicate");
  return copy;
}

int InputChange(uint32_t input, const char16_t* path) {
  ChangeAccess access("InputChange");
  int code = InputCheckIndex(input);
  if (code == 0 && (path == nullptr || path[0] == 0)) code = -21;
  if (code != 0) return ErrorSet(code, "InputChange");
  MainStruct& main = *InputTableMain(input);
  const MainStruct before = main;
  InputMediaClose(input);
  FieldCopy(main.FilePath, kPathLength, path);
  main.OpenFailed = 0;
  code = InputMediaOpen(input);
  if (code < 0) {
    // Back to the old file, opened again as it was.
    InputMediaClose(input);
    main = before;
    if (InputHasMedia(input) && main.OpenFailed == 0) InputMediaOpen(input);
    return ErrorSet(code, "InputChange");
  }
  if (main.TrimEnd <= main.TrimStart) main.TrimEnd = main.Length;
  InputLayJoin(input);
  return ErrorSet(0, "InputChange");
}

int InputSetMain(uint32_t input, const MainStruct* record) {
  ChangeAccess access("InputSetMain");
  int code = InputCheckIndex(input);
  if (code == 0 && (record == nullptr || !InputParentValid(input, record->ParentJoin))) code = -21;
  if (code != 0) return ErrorSet(code, "InputSetMain");
  MainStruct& main = *InputTableMain(input);
  const uint32_t oldParent = main.ParentJoin;
  // The type belongs to the media layer and the joins: a record cannot turn
  // a join with members into a plain input.
  const uint8_t type = main.Type;
  main = *record;
  main.Type = type;
  FieldTerminate(main.Name, kNameLength);
  FieldTerminate(main.FilePath, kPathLength);
  InputLayJoin(input);
  if (oldParent != main.ParentJoin) InputLayJoin(oldParent);
  Reprocess(input);
  return ErrorSet(0, "InputSetMain");
}

int InputSetData(uint32_t input, const DataStruct* record) {
  ChangeAccess access("InputSetData");
  int code = InputCheckIndex(input);
  if (code == 0 && record == nullptr) code = -21;
  if (code != 0) return ErrorSet(code, "InputSetData");
  DataStruct& data = *InputTableData(input);
  data = *record;
  for (char16_t* field : {data.Time, data.PosX, data.PosY, data.PosZ, data.GpsAcc, data.Lap,
                          data.Speed, data.Heading, data.RPM, data.Gear, data.GForceX,
                          data.GForceY, data.CustomName, data.CustomInput, data.CustomName2,
                          data.CustomInput2, data.CustomName3, data.CustomInput3,
                          data.CustomName4, data.CustomInput4, data.Throttle})
    FieldTerminate(field, kNameLength);
  Reprocess(input);
  return ErrorSet(0, "InputSetData");
}

int InputSetAdjust(uint32_t input, const AdjustStruct* record) {
  ChangeAccess access("InputSetAdjust");
  int code = InputCheckIndex(input);
  if (code == 0 && record == nullptr) code = -21;
  if (code != 0) return ErrorSet(code, "InputSetAdjust");
  *InputTableAdjust(input) = *record;
  Reprocess(input);
  return ErrorSet(0, "InputSetAdjust");
}

void ModelCloseInputs() { InputMediaCloseFrom(0); }

int ProjectSetSpeedUnit(uint32_t unit) {
  ChangeAccess access("ProjectSetSpeedUnit");
  if (unit < kSpeedMph || unit > kSpeedMs) return ErrorSet(-21, "ProjectSetSpeedUnit");
  ProjectSettingsRaw().SpeedUnit = unit;
  for (uint32_t i = 0; i < InputTableCount(); ++i) {
    const MainStruct& main = *InputTableMain(i);
    if ((main.HasData != 0 || main.Type == kInputData) && InputHasMedia(i))
      InputMediaReprocess(i);
  }
  return ErrorSet(0, "ProjectSetSpeedUnit");
}
