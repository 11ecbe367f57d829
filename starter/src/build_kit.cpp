#include "build_kit.h"

#include <algorithm>

uint32_t Place(uint32_t type, uint32_t input, Box box, std::u16string_view name) {
  const uint32_t object = DispObjAdd(type, input);
  if (object == kNoDispObj) return object;
  DispStruct record = *DispObjGet(object);
  record.X = box.x;
  record.Y = box.y;
  record.Width = box.w;
  record.Height = box.h;
  record.OffsetTime = 0;
  record.Active = 1;
  record.KeepRatio = 0;
  DispObjSet(object, &record);
  const std::u16string wanted(name);
  DispObjRename(object, wanted.c_str());
  return object;
}

void SetTransparency(uint32_t object, uint8_t percent) {
  DispStruct record = *DispObjGet(object);
  record.Transparency = percent;
  DispObjSet(object, &record);
}

void SetText(char16_t* field, size_t units, std::u16string_view text) {
  std::fill(field, field + units, u'\0');
  std::copy_n(text.begin(), std::min(text.size(), units - 1), field);
}
