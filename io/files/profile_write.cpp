// The data-channel profile, a UTF-8 text file:
//
//   QVLC2
//   # Quelvatron data-channel profile
//   # One "key = value" per line; text in double quotes, percent-encoded
//   Time = "Time (s)"
//   TimeUnits = 0.001
//   ...
//
// One line per DataStruct field, keyed by the field's name. Text values are
// UTF-8 in double quotes with "%", the double quote and control characters
// written as %XX; numbers are written in their shortest form that reads
// back to the same value.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/text.h"
#include "io/files/profile.h"
#include "io/files/profile_fields.h"
#include "io/files/written_files.h"
#include "model/input_internal.h"
#include "model/input_table.h"
#include "model/model_text.h"

namespace {

std::string PercentEncode(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '%' || c == '"' || c < 0x20 || c == 0x7F) {
      char hex[4];
      std::snprintf(hex, sizeof(hex), "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

template <typename T> std::string Number(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, result.ptr);
}

template <typename T> T At(const DataStruct& data, size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const uint8_t*>(&data) + offset, sizeof(T));
  return value;
}

std::string ValueText(const DataStruct& data, const ProfileField& field) {
  const uint8_t* base = reinterpret_cast<const uint8_t*>(&data);
  switch (field.kind) {
  case ProfileKind::kText: {
    char16_t text[kNameLength];
    std::memcpy(text, base + field.offset, sizeof(text));
    const std::u16string value = FieldString(text, kNameLength);
    return "\"" + PercentEncode(WideToUtf8(Utf16ToWide(value))) + "\"";
  }
  case ProfileKind::kF32: return Number(At<float>(data, field.offset));
  case ProfileKind::kF64: return Number(At<double>(data, field.offset));
  case ProfileKind::kU8: return Number(static_cast<unsigned>(At<uint8_t>(data, field.offset)));
  case ProfileKind::kI8: return Number(static_cast<int>(At<int8_t>(data, field.offset)));
  case ProfileKind::kU32: return Number(At<uint32_t>(data, field.offset));
  case ProfileKind::kBytes3: {
    const uint8_t* b = base + field.offset;
    return Number(static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16));
  }
  }
  return "";
}

} // namespace

std::string ProfileText(const DataStruct& data) {
  std::string text = "QVLC2\n# Quelvatron data-channel profile\n"
                     "# One \"key = value\" per line; text in double quotes, percent-encoded\n";
  size_t count = 0;
  const ProfileField* fields = ProfileFields(&count);
  for (size_t i = 0; i < count; ++i) text += std::string(fields[i].key) + " = " + ValueText(data, fields[i]) + "\n";
  return text;
}

int InputExportDataProfile(uint32_t input, const wchar_t* path) {
  std::string text;
  {
    ReadAccess access("InputExportDataProfile");
    int code = InputCheckIndex(input);
    if (code == 0 && (path == nullptr || path[0] == 0)) code = -21;
    if (code != 0) return ErrorSet(code, "InputExportDataProfile");
    DataStruct data = *InputTableData(input);
    DataStructClamp(data);
    text = ProfileText(data);
  }
  const int code = ErrorSet(FileWriteAtomic(path, text.data(), text.size()), "InputExportDataProfile");
  if (code == 0) WrittenFileNotify(WrittenFileKind::kProfile, path);
  return code;
}
