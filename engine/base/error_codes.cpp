#include "engine/base/error_codes.h"

#include <cstddef>
#include <iterator>

namespace {

struct CodeText {
  int code;
  const wchar_t* text;
};

// Kept sorted by code.
constexpr CodeText kCodeTexts[] = {
    {-200, L"The segment time is out of range."},
    {-141, L"This file type is not supported."},
    {-140, L"The input has no data log, or the data log format is not supported."},
    {-120, L"A network error occurred."},
    {-89, L"The end of the data was reached."},
    {-85, L"The file was made by a newer release of the program."},
    {-84, L"The file header is not valid."},
    {-83, L"The file failed its integrity check."},
    {-82, L"The file could not be written."},
    {-81, L"The file could not be read."},
    {-80, L"The file could not be opened."},
    {-41, L"The index is out of range."},
    {-40, L"The table is full."},
    {-24, L"A thread could not be created."},
    {-23, L"A system object could not be created."},
    {-22, L"Out of memory."},
    {-21, L"Invalid argument or missing object."},
    {-20, L"The operation timed out."},
    {-12, L"This object cannot be changed."},
    {-11, L"A segment already starts at that time."},
    {-10, L"The name is empty or already in use."},
    {-2, L"The engine is not ready."},
    {-1, L"The operation failed."},
};

}  // namespace

const wchar_t* ErrorTableLookup(int code) {
  for (const CodeText& entry : kCodeTexts) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

int ErrorTableSize() { return static_cast<int>(std::size(kCodeTexts)); }

int ErrorTableCode(int index) {
  if (index < 0 || index >= ErrorTableSize()) return 0;
  return kCodeTexts[index].code;
}
