// The common record, name and blocks of a new display object.
#include <cstring>

#include "model/disp_presets.h"
#include "model/disp_types.h"
#include "model/dispobj_table.h"
#include "model/input_table.h"
#include "model/model_text.h"

namespace {

constexpr uint32_t kEImageSide = 32;

std::vector<uint8_t> NewEImageBitmap() {
  std::vector<uint8_t> block(sizeof(DispBitmapHeader) + kEImageSide * kEImageSide * 4, 0);
  DispBitmapHeader header{};
  header.Width = header.Height = kEImageSide;
  header.Options = 1;
  std::memcpy(block.data(), &header, sizeof(header));
  // Opaque white until the user imports a picture.
  std::memset(block.data() + sizeof(header), 0xFF, block.size() - sizeof(header));
  return block;
}

} // namespace

bool DispTypeKnown(uint32_t type) { return DispTypeFind(type) != nullptr; }

std::u16string DispDefaultName(uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  return info != nullptr ? std::u16string(info->newName) : std::u16string(u"Object");
}

void DispRecordInit(DispStruct* record, uint32_t type, uint32_t input) {
  std::memset(record, 0, sizeof(*record));
  const DispTypeInfo* info = DispTypeFind(type);
  if (info != nullptr) {
    record->X = info->x;
    record->Y = info->y;
    record->Width = info->width;
    record->Height = info->height;
  }
  record->Type = static_cast<uint8_t>(info != nullptr ? info->storedType : type);
  record->ParentObject = kNoDispObj;
  record->Active = 1;
  record->InputID = static_cast<uint8_t>(input < InputTableCount() ? input : kNoInput);
  record->KeepRatio = info != nullptr && info->keepRatio ? 1 : 0;
  record->ColorChans = 1 | 2 | 4;
  record->AudioVolume = 100;
  record->AudioBalance = 100;
  record->BitmapZoom = 1.0f;
  record->BitmapChroma = 0xFF00FF00; // key off
  record->BitmapChromaCRange = 16;
  record->BitmapChromaBRange = 32;
  const MainStruct* main = InputTableMain(record->InputID);
  if (main != nullptr && type == kDispVideo) {
    record->NativeWidth = main->Width;
    record->NativeHeight = main->Height;
  }
}

void DispTableInitObject(uint32_t index, uint32_t type, uint32_t input) {
  DispObjEntry* entry = DispTableEntry(index);
  if (entry == nullptr) return;
  entry->Segments.clear();
  entry->Bitmap.clear();
  DispRecordInit(&entry->Base, type, input);
  // Scripted objects made here get no block: only files carry their record.
  const DispTypeInfo* info = DispTypeFind(type);
  const uint32_t size = info != nullptr && info->paramAtCreation ? info->paramSize : 0;
  entry->Param.assign(size, 0);
  if (size != 0) DispParamInit(entry->Param.data(), type);
  if (type == kDispEImage) entry->Bitmap = NewEImageBitmap();
  DispTableSync(index);
}

uint32_t DispObjTempInit(uint32_t type, uint32_t input) {
  DispObjEntry* entry = DispTableEntry(kTempDispObj);
  entry->Used = true;
  DispTableInitObject(kTempDispObj, type, input);
  FieldCopy(entry->Base.Name, kNameLength, DispDefaultName(type));
  DispTableSync(kTempDispObj);
  return kTempDispObj;
}
