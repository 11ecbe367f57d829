#include "render/preview/simple_preview_object.h"

#include "base/error.h"
#include "model/dispobj_table.h"
#include "model/input_table.h"

#include <algorithm>
#include <cmath>

namespace {

enum DisplayMode : uint32_t { kModeGForce = 1, kModeSpeedo = 2, kModeTacho = 3, kModeBareMap = 4 };

uint32_t typeFor(const MainStruct& main, uint32_t mode) {
  if (main.Type != kInputData && main.Type != kInputJoinData) return kDispVideo;
  switch (mode) {
  case kModeSpeedo: return kDispSpeedo;
  case kModeTacho: return kDispTacho;
  case kModeGForce: return kDispGForce;
  default: return kDispTrackMap;
  }
}

// The preview's frame height the object's sizes are measured against.
constexpr double kUnitsHigh = 480;

// A stored size (at the resolution's factor) that covers the given pixels on
// a preview this many pixels high.
uint8_t sizeForPixels(double pixels, uint32_t previewHeight, int factor) {
  const double units = pixels * kUnitsHigh / std::max<uint32_t>(previewHeight, 1);
  return static_cast<uint8_t>(std::clamp(std::lround(units * factor), 1L, 255L));
}

// The start/finish line and the position dot grow with the map and never
// shrink below a size the eye finds at a glance, however small the preview.
void trackMapPresets(TrackMapParam* p, uint32_t mode, uint32_t width, uint32_t height) {
  p->Options = 152;
  const int factor = TrackMapSizeFactor(p->Options);
  const double side = std::min(width, height);
  p->MapLineSize = 12;
  p->StartSize = sizeForPixels(std::max(8.0, side * 0.025), height, factor);
  p->SelectedLap = 0;
  p->StartLineAngle = 360;
  p->MapColor = 0x00202020;
  p->MapLowColor = 0xFF000000;
  p->MapEdgeColor = 0x00FFFFFF;
  p->StartColor = 0x0000D000;
  p->GhostColor = 0xFF000000;
  if (mode != kModeBareMap) {
    p->PosSize = sizeForPixels(std::max(10.0, side * 0.035), height, factor);
    p->PosIcon = 2;
    p->PosColor = 0x00FF0000;
  } else {
    p->PosSize = 0;
    p->PosIcon = 0;
    p->PosColor = 0xFFFF0000;
    p->MapEdgeColor = 0xFFFFFFFF;
    p->MapLineSize = 10;
  }
}

} // namespace

int SimplePreviewFillTempObject(uint32_t input, uint32_t displayMode, bool keepRatio, uint32_t width,
                                uint32_t height) {
  const MainStruct* main = InputTableMain(input);
  if (!main) return kErrIndex;
  const uint32_t type = typeFor(*main, displayMode);
  DispObjTempInit(type, input);
  DispObjEntry* e = DispTableEntry(kTempDispObj);
  if (!e) return kErrNoMemory;
  e->Base.X = 0;
  e->Base.Y = 0;
  e->Base.Width = 100;
  e->Base.Height = 100;
  e->Base.OffsetTime = 0;
  e->Base.Active = 1;
  e->Base.Transparency = 0;
  e->Base.ColorChans = 7;
  e->Base.KeepRatio = keepRatio ? 1 : 0;
  e->Base.ParentObject = kNoDispObj;
  if (type == kDispTrackMap && e->Param.size() >= sizeof(TrackMapParam))
    trackMapPresets(reinterpret_cast<TrackMapParam*>(e->Param.data()), displayMode, width, height);
  if ((type == kDispSpeedo || type == kDispTacho) && e->Param.size() >= sizeof(GaugeParam))
    reinterpret_cast<GaugeParam*>(e->Param.data())->Options |= 0x80; // high resolution
  DispTableSync(kTempDispObj);
  return kOk;
}
