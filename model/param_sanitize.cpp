// Keeps the text fields of stored parameter records terminated, so that
// renderers and editors reading them as C strings stay inside the record.
#include <cstddef>
#include <cstring>

#include "model/disp_types.h"
#include "model/dispobj_internal.h"

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

void ClearAfterScript(char* script) {
  script[kScriptBytes - 1] = 0;
  const size_t length = std::strlen(script);
  std::memset(script + length, 0, kScriptBytes - length);
}

} // namespace

void ParamSanitizeScripts(uint8_t* block, uint32_t size) {
  if (size < sizeof(EnhParam)) return;
  ClearAfterScript(reinterpret_cast<char*>(block + offsetof(EnhParam, ForeScript)));
  ClearAfterScript(reinterpret_cast<char*>(block + offsetof(EnhParam, BackScript)));
  for (size_t i = 0; i < 8; ++i) {
    Terminate(block, size, {offsetof(EnhParam, ColorName) + i * 48, 24});
    Terminate(block, size, {offsetof(EnhParam, ParamName) + i * 48, 24});
  }
}

void ParamSanitize(uint32_t type, uint8_t* block, uint32_t size) {
  const DispTypeInfo* info = DispTypeFind(type);
  if (block == nullptr || info == nullptr) return;
  for (const DispTextField& field : info->textFields) {
    if (field.units == 0) break;
    Terminate(block, size, {field.offset, field.units});
  }
  if (info->sanitizeExtra != nullptr) info->sanitizeExtra(block, size);
}
