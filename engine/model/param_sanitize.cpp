// Keeps the text fields of stored parameter records terminated, so that
// renderers and editors reading them as C strings stay inside the record.
#include <cstddef>
#include <cstring>

#include "engine/model/dispobj_internal.h"

namespace {

struct TextField {
  size_t offset;
  size_t units;
};

void Terminate(uint8_t* block, uint32_t size, TextField field) {
  const size_t end = field.offset + field.units * sizeof(char16_t);
  if (end > size) return;
  const char16_t zero = 0;
  std::memcpy(block + end - sizeof(char16_t), &zero, sizeof(zero));
}

template <size_t N> void TerminateAll(uint8_t* block, uint32_t size, const TextField (&fields)[N]) {
  for (const TextField& field : fields) Terminate(block, size, field);
}

#define QV_TEXT(T, F) TextField{offsetof(T, F), sizeof(T::F) / sizeof(char16_t)}

void ClearAfterScript(char* script) {
  script[kScriptBytes - 1] = 0;
  const size_t length = std::strlen(script);
  std::memset(script + length, 0, kScriptBytes - length);
}

void SanitizeScripts(uint8_t* block, uint32_t size) {
  if (size < sizeof(EnhParam)) return;
  ClearAfterScript(reinterpret_cast<char*>(block + offsetof(EnhParam, ForeScript)));
  ClearAfterScript(reinterpret_cast<char*>(block + offsetof(EnhParam, BackScript)));
  TerminateAll(block, size,
               {QV_TEXT(EnhParam, Field), QV_TEXT(EnhParam, Label), QV_TEXT(EnhParam, LabelFont),
                QV_TEXT(EnhParam, NumberFont)});
  for (size_t i = 0; i < 8; ++i) {
    Terminate(block, size, {offsetof(EnhParam, ColorName) + i * 48, 24});
    Terminate(block, size, {offsetof(EnhParam, ParamName) + i * 48, 24});
  }
}

} // namespace

void ParamSanitize(uint32_t type, uint8_t* block, uint32_t size) {
  if (block == nullptr) return;
  switch (type) {
  case kDispText:
  case kDispTextData:
  case kDispGear:
  case kDispLapCount:
  case kDispLapTimer:
    TerminateAll(block, size,
                 {QV_TEXT(TextStruct, Text), QV_TEXT(TextStruct, Font), QV_TEXT(TextStruct, Field)});
    break;
  case kDispBar:
    TerminateAll(block, size,
                 {QV_TEXT(BarParam, Field), QV_TEXT(BarParam, Label), QV_TEXT(BarParam, LabelFont),
                  QV_TEXT(BarParam, NumberFont)});
    break;
  case kDispGauge:
    TerminateAll(block, size,
                 {QV_TEXT(GaugeParam, Field), QV_TEXT(GaugeParam, Label),
                  QV_TEXT(GaugeParam, LabelFont), QV_TEXT(GaugeParam, NumberFont)});
    break;
  case kDispTimeGraph:
    TerminateAll(block, size,
                 {QV_TEXT(TimeGraphParam, Field), QV_TEXT(TimeGraphParam, Label),
                  QV_TEXT(TimeGraphParam, LabelFont)});
    break;
  case kDispGForce:
    TerminateAll(block, size, {QV_TEXT(GForceParam, FieldX), QV_TEXT(GForceParam, FieldY)});
    break;
  case kDispEImage: TerminateAll(block, size, {QV_TEXT(EImageParam, Field)}); break;
  case kDispEnhanced: SanitizeScripts(block, size); break;
  default: break;
  }
}
