#include "model/record_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/text.h"

namespace {

enum class Num { kF32, kF64, kI8 };

struct Range {
  const char* key;
  size_t offset;
  Num kind;
  double min, max;
};

constexpr double kAny = kRecordAnyNumber; // finite is all that is asked
constexpr double kTurn = 360;                              // the angle steppers' limit

#define QV_RANGE(record, field, kind, min, max) Range{#field, offsetof(record, field), Num::kind, min, max}

// Time, GPS-accuracy and speed factors are free text fields: any factor;
// below the smallest usable one the log's own unit stays in force.
constexpr Range kDataRanges[] = {
    QV_RANGE(DataStruct, TimeUnits, kF32, 0, kAny),     QV_RANGE(DataStruct, GpsAccConv, kF32, 0, kAny),
    QV_RANGE(DataStruct, SpeedConv, kF32, 0, kAny),     QV_RANGE(DataStruct, HeadingAdjust, kF32, -kTurn, kTurn),
    QV_RANGE(DataStruct, LapX, kF64, -kAny, kAny),      QV_RANGE(DataStruct, LapY, kF64, -kAny, kAny),
    QV_RANGE(DataStruct, LapTolX, kF64, 0, kAny),       QV_RANGE(DataStruct, LapTolY, kF64, 0, kAny),
    QV_RANGE(DataStruct, LapHeading, kF32, -kAny, kTurn), // negative: automatic
    QV_RANGE(DataStruct, LapHeadTol, kF32, 0, kTurn),   QV_RANGE(DataStruct, CustomNum, kF32, -kAny, kAny),
    QV_RANGE(DataStruct, CustomNum2, kF32, -kAny, kAny), QV_RANGE(DataStruct, CustomNum3, kF32, -kAny, kAny),
    QV_RANGE(DataStruct, CustomNum4, kF32, -kAny, kAny), QV_RANGE(DataStruct, GearAdjust, kI8, -9, 9),
};

constexpr Range kMainRanges[] = {
    QV_RANGE(MainStruct, Length, kF32, 0, kAny),    QV_RANGE(MainStruct, StartTime, kF32, -kAny, kAny),
    QV_RANGE(MainStruct, TrimStart, kF32, 0, kAny), QV_RANGE(MainStruct, TrimEnd, kF32, 0, kAny),
    QV_RANGE(MainStruct, PlayRate, kF32, 0, kAny),
};

constexpr Range kAdjustRanges[] = {
    QV_RANGE(AdjustStruct, Rotation, kF32, -kTurn, kTurn),
};

constexpr Range kDispRanges[] = {
    QV_RANGE(DispStruct, X, kF32, -kAny, kAny),
    QV_RANGE(DispStruct, Y, kF32, -kAny, kAny),
    QV_RANGE(DispStruct, Width, kF32, 0, kAny),
    QV_RANGE(DispStruct, Height, kF32, 0, kAny),
    QV_RANGE(DispStruct, OffsetTime, kF32, 0, kAny),
    QV_RANGE(DispStruct, BitmapRotate, kF32, -kTurn, kTurn),
    QV_RANGE(DispStruct, BitmapZoom, kF32, 0, kAny),
    QV_RANGE(DispStruct, BitmapOffsetX, kF32, -kAny, kAny),
    QV_RANGE(DispStruct, BitmapOffsetY, kF32, -kAny, kAny),
};

constexpr Range kSettingsRanges[] = {
    Range{"Length", offsetof(ProjectSettings, Length), Num::kF32, 0, kAny},
    Range{"WizSpeedMax", offsetof(ProjectSettings, WizSpeedMax), Num::kF32, 0, kAny},
    Range{"WizTachMax", offsetof(ProjectSettings, WizTachMax), Num::kF32, 0, kAny},
    Range{"WizTachRed", offsetof(ProjectSettings, WizTachRed), Num::kF32, 0, kAny},
};

#undef QV_RANGE

template <typename T> double Load(const uint8_t* at) {
  T value;
  std::memcpy(&value, at, sizeof(value));
  return static_cast<double>(value);
}

template <typename T> void Store(uint8_t* at, double value) {
  const T v = static_cast<T>(value);
  std::memcpy(at, &v, sizeof(v));
}

double Read(const uint8_t* at, Num kind) {
  switch (kind) {
  case Num::kF32: return Load<float>(at);
  case Num::kF64: return Load<double>(at);
  case Num::kI8: return Load<int8_t>(at);
  }
  return 0;
}

void Write(uint8_t* at, Num kind, double value) {
  switch (kind) {
  case Num::kF32: return Store<float>(at, value);
  case Num::kF64: return Store<double>(at, value);
  case Num::kI8: return Store<int8_t>(at, value);
  }
}

template <size_t N> void Clamp(void* record, const Range (&ranges)[N]) {
  auto* bytes = static_cast<uint8_t*>(record);
  for (const Range& range : ranges) {
    const double value = Read(bytes + range.offset, range.kind);
    if (std::isfinite(value) && value >= range.min && value <= range.max) continue;
    Write(bytes + range.offset, range.kind, std::clamp(std::isnan(value) ? 0.0 : value, range.min, range.max));
  }
}

template <size_t N> RecordFault Check(const void* record, const Range (&ranges)[N]) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  for (const Range& range : ranges) {
    const double value = Read(bytes + range.offset, range.kind);
    if (!std::isfinite(value) || value < range.min || value > range.max)
      return RecordFault{range.key, value, range.min, range.max};
  }
  return RecordFault{};
}

std::wstring Number(double value) {
  if (std::isnan(value)) return L"nan";
  if (std::isinf(value)) return value < 0 ? L"-inf" : L"inf";
  return WcsFormat(L"%g", value);
}

} // namespace

RecordFault DataStructCheck(const DataStruct& data) { return Check(&data, kDataRanges); }
RecordFault MainStructCheck(const MainStruct& main) { return Check(&main, kMainRanges); }
RecordFault AdjustStructCheck(const AdjustStruct& adjust) { return Check(&adjust, kAdjustRanges); }
RecordFault DispStructCheck(const DispStruct& record) { return Check(&record, kDispRanges); }
RecordFault ProjectSettingsCheck(const ProjectSettings& settings) { return Check(&settings, kSettingsRanges); }

void DataStructClamp(DataStruct& data) { Clamp(&data, kDataRanges); }
void MainStructClamp(MainStruct& main) { Clamp(&main, kMainRanges); }
void AdjustStructClamp(AdjustStruct& adjust) { Clamp(&adjust, kAdjustRanges); }
void DispStructClamp(DispStruct& record) { Clamp(&record, kDispRanges); }
void ProjectSettingsClamp(ProjectSettings& settings) { Clamp(&settings, kSettingsRanges); }

std::wstring RecordFaultText(const RecordFault& fault) {
  if (!fault) return std::wstring();
  std::wstring allowed;
  if (fault.min <= -kAny && fault.max >= kAny) allowed = L"a finite number";
  else if (fault.max >= kAny) allowed = Number(fault.min) + L" or more";
  else if (fault.min <= -kAny) allowed = Number(fault.max) + L" or less";
  else allowed = Number(fault.min) + L" to " + Number(fault.max);
  return Utf8ToWide(fault.key) + L" = " + Number(fault.value) + L" (allowed: " + allowed + L")";
}
