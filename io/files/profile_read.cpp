// Reading data-channel profiles (layout in profile_write.cpp). Older
// "QVLC" and "LoggerConf." files carry the same keys with plain values.
// Unknown keys and values that do not parse leave their fields as they were.
#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/text.h"
#include "io/files/profile.h"
#include "io/files/profile_fields.h"
#include "model/input_internal.h"
#include "model/input_table.h"
#include "model/model_text.h"

namespace {

constexpr size_t kMaxProfileBytes = 1 << 20;

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool KeyEquals(const std::string& a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

const ProfileField* FindField(const std::string& key) {
  size_t count = 0;
  const ProfileField* fields = ProfileFields(&count);
  for (size_t i = 0; i < count; ++i)
    if (KeyEquals(key, fields[i].key)) return &fields[i];
  return nullptr;
}

void SetText(uint8_t* at, const std::string& utf8) {
  std::u16string text = WideToUtf16(Utf8ToWide(utf8));
  const size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) text.resize(zero);
  if (text.size() > kNameLength - 1) {
    text.resize(kNameLength - 1);
    if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back(); // no half pair
  }
  char16_t field[kNameLength];
  FieldCopy(field, kNameLength, text);
  std::memcpy(at, field, sizeof(field));
}

template <typename T> bool ParseNumber(const std::string& s, T& value) {
  const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  return result.ec == std::errc() && result.ptr == s.data() + s.size();
}

template <typename T> void SetInteger(uint8_t* at, const std::string& s) {
  long long v;
  if (!ParseNumber(s, v) || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return;
  const T value = static_cast<T>(v);
  std::memcpy(at, &value, sizeof(value));
}

template <typename T> void SetReal(uint8_t* at, const std::string& s) {
  T value;
  if (ParseNumber(s, value)) std::memcpy(at, &value, sizeof(value));
}

void SetField(DataStruct& data, const ProfileField& field, const std::string& value) {
  uint8_t* at = reinterpret_cast<uint8_t*>(&data) + field.offset;
  switch (field.kind) {
  case ProfileKind::kText: SetText(at, value); break;
  case ProfileKind::kF32: SetReal<float>(at, value); break;
  case ProfileKind::kF64: SetReal<double>(at, value); break;
  case ProfileKind::kU8: SetInteger<uint8_t>(at, value); break;
  case ProfileKind::kI8: SetInteger<int8_t>(at, value); break;
  case ProfileKind::kU32: SetInteger<uint32_t>(at, value); break;
  case ProfileKind::kBytes3: {
    uint32_t v = 0;
    if (!ParseNumber(value, v) || v > 0xFFFFFF) break;
    const uint8_t bytes[3] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v >> 16)};
    std::memcpy(at, bytes, 3);
    break;
  }
  }
}

// The value as written: quotes removed, and for current files percent-decoded.
std::string Unquote(const std::string& value, bool encoded) {
  std::string v = value;
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  else if (!v.empty() && v.front() == '"') v = v.substr(1);
  return encoded ? PercentDecode(v) : v;
}

} // namespace

int ProfileParse(const std::string& text, DataStruct& result, RecordFault* fault) {
  DataStruct data = result;
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  std::vector<std::string> lines;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  // An empty file is no profile either: importing one must not look like success.
  const std::string marker = lines.empty() ? std::string() : Trim(lines[0]);
  const bool current = marker == "QVLC2";
  if (!current && marker != "QVLC" && marker.compare(0, 11, "LoggerConf.") != 0) return kErrRead;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string line = Trim(lines[i]);
    const size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    const ProfileField* field = FindField(Trim(line.substr(0, eq)));
    if (field != nullptr) SetField(data, *field, Unquote(Trim(line.substr(eq + 1)), current));
  }
  const RecordFault found = DataStructCheck(data);
  if (fault != nullptr) *fault = found;
  if (found) return kErrValue;
  result = data;
  return 0;
}

int InputImportDataProfile(uint32_t input, const wchar_t* path) {
  if (path == nullptr || path[0] == 0) return ErrorSet(-21, "InputImportDataProfile");
  std::vector<uint8_t> bytes;
  int code = FileReadAll(path, kMaxProfileBytes, bytes);
  if (code != 0) return ErrorSet(code, "InputImportDataProfile");
  ChangeAccess access("InputImportDataProfile");
  code = InputCheckIndex(input);
  if (code != 0) return ErrorSet(code, "InputImportDataProfile");
  RecordFault fault;
  code = ProfileParse(std::string(bytes.begin(), bytes.end()), *InputTableData(input), &fault);
  return ErrorSetDetail(code, "InputImportDataProfile", RecordFaultText(fault));
}
