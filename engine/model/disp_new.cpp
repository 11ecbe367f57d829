// The common record, name and blocks of a new display object.
#include <cstring>

#include "engine/model/disp_presets.h"
#include "engine/model/dispobj_table.h"
#include "engine/model/input_table.h"
#include "engine/model/model_text.h"

namespace {

struct TypeDefaults {
  uint32_t type;
  const char16_t* name;
  float x, y, width, height;
};

// A new object is named after its type as the interface names types (the
// scripted object has its own name). Positions in percent of the output
// frame; gauges are about square on a 16:9 frame.
constexpr TypeDefaults kDefaults[] = {
    {kDispGroup, u"Group", 0, 0, 0, 0},
    {kDispVideo, u"Picture / Video", 0, 0, 100, 100},
    {kDispAudio, u"Audio", 0, 0, 0, 0},
    {kDispShape, u"Shape", 10, 10, 20, 20},
    {kDispText, u"Text", 10, 10, 30, 10},
    {kDispEImage, u"Embedded Image", 10, 10, 10, 17.8f},
    {kDispGauge, u"Gauge", 5, 50, 25, 44.4f},
    {kDispBar, u"Bar Graph", 5, 50, 8, 40},
    {kDispTextData, u"Text Data", 10, 10, 20, 10},
    {kDispTimeGraph, u"Time Graph", 5, 70, 40, 25},
    {kDispEnhanced, u"Enhanced Obj", 5, 50, 25, 44.4f},
    {kDispTrackMap, u"Track Map", 70, 5, 25, 44.4f},
    {kDispSpeedo, u"Speedometer", 5, 50, 25, 44.4f},
    {kDispTacho, u"Tachometer", 70, 50, 25, 44.4f},
    {kDispGForce, u"G-Force", 40, 60, 20, 35.5f},
    {kDispGear, u"Gear Number", 45, 80, 10, 15},
    {kDispLapCount, u"Lap Counter", 5, 5, 25, 10},
    {kDispLapTimer, u"Timer", 60, 5, 35, 10},
};

const TypeDefaults* DefaultsFor(uint32_t type) {
  for (const TypeDefaults& d : kDefaults)
    if (d.type == type) return &d;
  return nullptr;
}

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

bool DispTypeKnown(uint32_t type) { return DefaultsFor(type) != nullptr; }

std::u16string DispDefaultName(uint32_t type) {
  const TypeDefaults* d = DefaultsFor(type);
  return d != nullptr ? std::u16string(d->name) : std::u16string(u"Object");
}

void DispRecordInit(DispStruct* record, uint32_t type, uint32_t input) {
  std::memset(record, 0, sizeof(*record));
  const TypeDefaults* d = DefaultsFor(type);
  if (d != nullptr) {
    record->X = d->x;
    record->Y = d->y;
    record->Width = d->width;
    record->Height = d->height;
  }
  const bool gauge = type == kDispSpeedo || type == kDispTacho;
  record->Type = static_cast<uint8_t>(gauge ? uint32_t{kDispGauge} : type);
  record->ParentObject = kNoDispObj;
  record->Active = 1;
  record->InputID = static_cast<uint8_t>(input < InputTableCount() ? input : kNoInput);
  record->KeepRatio = (type == kDispVideo || record->Type == kDispGauge) ? 1 : 0;
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
  const uint32_t size = type == kDispEnhanced ? 0 : DispParamSizeForType(type);
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
