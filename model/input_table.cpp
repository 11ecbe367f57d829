// The input table: 128 slots of the three records, packed from 0.
#include <algorithm>
#include <array>
#include <cstring>

#include "model/input_store.h"
#include "model/input_table.h"

namespace {

struct InputTable {
  std::array<MainStruct, kMaxInputs> main{};
  std::array<DataStruct, kMaxInputs> data{};
  std::array<AdjustStruct, kMaxInputs> adjust{};
  uint32_t count = 0;
};

InputTable& Table() {
  static InputTable table;
  return table;
}

void CopyName(char16_t* dest, const char16_t* text) {
  size_t i = 0;
  for (; text[i] != 0 && i + 1 < kNameLength; ++i) dest[i] = text[i];
  dest[i] = 0;
}

} // namespace

uint32_t InputTableCount() { return Table().count; }

MainStruct* InputTableMain(uint32_t input) {
  return input < Table().count ? &Table().main[input] : nullptr;
}

DataStruct* InputTableData(uint32_t input) {
  return input < Table().count ? &Table().data[input] : nullptr;
}

AdjustStruct* InputTableAdjust(uint32_t input) {
  return input < Table().count ? &Table().adjust[input] : nullptr;
}

void InputDefaultAdjust(AdjustStruct* adjust) {
  std::memset(adjust, 0, sizeof(*adjust));
  adjust->Volume = 100;
  adjust->Balance = 100;
  adjust->Brightness = adjust->Contrast = adjust->Color = adjust->Sharpness = 100;
  adjust->ChromaGreen = 255;
  adjust->ChromaColorRange = 16;
  adjust->ChromaBrightRange = 32;
  adjust->Colorize = 0xFFFFFF00;
}

void InputDefaultData(DataStruct* data) {
  std::memset(data, 0, sizeof(*data));
  data->TimeUnits = 1.0f;
  data->GpsAccConv = 1.0f;
  data->SpeedConv = 1.0f;
  data->LapHeading = -1.0f;
  data->LapHeadTol = 30.0f;
  data->LapManual = 2;
  data->BoostSampleRate = 7;
  CopyName(data->CustomName, u"Custom");
  CopyName(data->CustomName2, u"Custom 2");
  CopyName(data->CustomName3, u"Custom 3");
  CopyName(data->CustomName4, u"Custom 4");
}

uint32_t InputStoreAppend() {
  InputTable& table = Table();
  if (table.count >= kMaxInputs) return kNoInput;
  const uint32_t index = table.count++;
  std::memset(&table.main[index], 0, sizeof(MainStruct));
  table.main[index].ParentJoin = kNoInput;
  table.main[index].PlayRate = 1.0f;
  InputDefaultData(&table.data[index]);
  InputDefaultAdjust(&table.adjust[index]);
  return index;
}

void InputStoreErase(uint32_t input) {
  InputTable& table = Table();
  if (input >= table.count) return;
  const uint32_t last = table.count - 1;
  std::move(table.main.begin() + input + 1, table.main.begin() + table.count,
            table.main.begin() + input);
  std::move(table.data.begin() + input + 1, table.data.begin() + table.count,
            table.data.begin() + input);
  std::move(table.adjust.begin() + input + 1, table.adjust.begin() + table.count,
            table.adjust.begin() + input);
  std::memset(&table.main[last], 0, sizeof(MainStruct));
  std::memset(&table.data[last], 0, sizeof(DataStruct));
  std::memset(&table.adjust[last], 0, sizeof(AdjustStruct));
  table.count = last;
}

void InputStoreSwap(uint32_t a, uint32_t b) {
  InputTable& table = Table();
  if (a >= table.count || b >= table.count || a == b) return;
  std::swap(table.main[a], table.main[b]);
  std::swap(table.data[a], table.data[b]);
  std::swap(table.adjust[a], table.adjust[b]);
}

void InputStoreClear() {
  InputTable& table = Table();
  std::memset(table.main.data(), 0, sizeof(table.main));
  std::memset(table.data.data(), 0, sizeof(table.data));
  std::memset(table.adjust.data(), 0, sizeof(table.adjust));
  table.count = 0;
}
