// Text conversion, number and time parsing and the engine formatter's UTF-8
// argument on arbitrary bytes: nothing may read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "base/text.h"
#include "base/util.h"

namespace {

void CheckBounded(const wchar_t* text) {
  if (std::wcslen(text) >= static_cast<size_t>(kTextBufferUnits)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckBounded(StrUtf8ToW(bytes.c_str()));
  StrToReal(bytes.c_str());

  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const wchar_t* wide = StrUtf16ToW(units.c_str());
  CheckBounded(wide);
  if (Str16Len(StrWToUtf16(wide)) >= static_cast<size_t>(kTextBufferUnits)) __builtin_trap();
  Utf16ToWide(units);

  std::wstring wideText = Utf8ToWide(bytes);
  TimeTextToSeconds(wideText.c_str());
  StrWToUtf8(wideText.c_str());
  WideToUtf16(wideText);
  std::wstring formatted = WcsFormat(L"%S|%.5S|%20S", bytes.c_str(), bytes.c_str(), bytes.c_str());
  if (formatted.size() > static_cast<size_t>(kFormatMaxChars)) __builtin_trap();
  return 0;
}
