// The data template's options: which of its named display objects are on,
// and the gauges' ranges.
#include <cstring>
#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/dispobj_table.h"
#include "model/model_text.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace {

struct NamedSwitch {
  const char16_t* name;
  uint32_t bits; // on when any of these bits is set
};

constexpr NamedSwitch kSwitches[] = {
    {u"Speedometer", 0x001},       {u"Speed Background", 0x001},
    {u"Speed Display", 0x001},     {u"Tachometer", 0x002},
    {u"Tach Background", 0x002},   {u"Tach Display", 0x002},
    {u"Gear", 0x004},              {u"Gear Knob", 0x004},
    {u"Gear Background", 0x004},   {u"Gear Display", 0x004},
    {u"Throttle", 0x008},          {u"G-Force", 0x010},
    {u"Track Map", 0x020},         {u"Lap Number", 0x040},
    {u"Lap Number Display", 0x040}, {u"Lap Background", 0x0C0},
    {u"Lap Display", 0x0C0},       {u"Lap Time", 0x080},
    {u"Lap Time Display", 0x080},  {u"Best Lap Number", 0x300},
    {u"Best Lap Time", 0x300},     {u"Best Lap Background", 0x300},
    {u"Best Lap Display", 0x300},  {u"Shift Light", 0x800},
    {u"Shift Lights", 0x800},
};

bool IsTextType(uint8_t type) {
  return type == kDispText || type == kDispTextData || type == kDispGear ||
         type == kDispLapCount || type == kDispLapTimer;
}

void SetActive(DispObjEntry& entry, bool on) { entry.Base.Active = on ? 1 : 0; }

// Best-lap objects show the overall best lap or the best lap so far.
void SetBestLapField(DispObjEntry& entry, bool soFar) {
  if (!IsTextType(entry.Base.Type) || entry.Param.size() < sizeof(TextStruct)) return;
  TextStruct text;
  std::memcpy(&text, entry.Param.data(), sizeof(text));
  const char16_t* from = soFar ? u"(Best Lap Time)" : u"(Cur Best Lap Time)";
  const char16_t* to = soFar ? u"(Cur Best Lap Time)" : u"(Best Lap Time)";
  if (Str16CaseCmp(text.Field, from) != 0) return;
  FieldCopy(text.Field, kNameLength, to);
  std::memcpy(entry.Param.data(), &text, sizeof(text));
}

void SetGaugeRange(DispObjEntry& entry, float max, float red, bool withRed) {
  if (entry.Base.Type != kDispGauge || entry.Param.size() < sizeof(GaugeParam)) return;
  GaugeParam gauge;
  std::memcpy(&gauge, entry.Param.data(), sizeof(gauge));
  if (max > 0) gauge.Max = max;
  if (withRed && red > 0) gauge.ChangeColorValue = red;
  std::memcpy(entry.Param.data(), &gauge, sizeof(gauge));
}

void ApplyToObject(DispObjEntry& entry, const ProjectSettings& s) {
  for (const NamedSwitch& sw : kSwitches) {
    if (Str16CaseCmp(entry.Base.Name, sw.name) != 0) continue;
    SetActive(entry, (s.WizMask & sw.bits) != 0);
    if (sw.bits == 0x300) SetBestLapField(entry, (s.WizMask & 0x200) != 0);
  }
  if (Str16CaseCmp(entry.Base.Name, u"Speedometer") == 0)
    SetGaugeRange(entry, s.WizSpeedMax, 0, false);
  if (Str16CaseCmp(entry.Base.Name, u"Tachometer") == 0)
    SetGaugeRange(entry, s.WizTachMax, s.WizTachRed, true);
}

} // namespace

int ProjectWizSetOpts(uint32_t mask, float speedMax, float tachMax, float tachRed) {
  ChangeAccess access("ProjectWizSetOpts");
  ProjectSettings& settings = ProjectSettingsRaw();
  settings.WizMask = mask;
  settings.WizSpeedMax = speedMax;
  settings.WizTachMax = tachMax;
  settings.WizTachRed = tachRed;
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) {
    DispObjEntry& entry = *DispTableEntry(i);
    if (!entry.Used) continue;
    ApplyToObject(entry, settings);
    DispTableSync(i);
  }
  return ErrorSet(0, "ProjectWizSetOpts");
}
