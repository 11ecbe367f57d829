#pragma once
// Text conversion between the engine's 32-bit wide text, the UTF-16 of
// records and files, and UTF-8. The converters return one of 256 rotating
// buffers of 1024 units per direction: callers copy the result before 256
// further calls. Over-long input is cut at 1023 units, never overrun;
// malformed sequences never read or write out of bounds.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kTextBufferUnits = 1024;
constexpr int kFormatMaxChars = 4095;

const wchar_t* StrUtf16ToW(const char16_t* text);
const char16_t* StrWToUtf16(const wchar_t* text);
const wchar_t* StrUtf8ToW(const char* text);
const char* StrWToUtf8(const wchar_t* text);

// Unbounded conversions for paths and long texts.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::u16string WideToUtf16(const std::wstring& text);
std::wstring Utf16ToWide(const std::u16string& text);

// Copies at most n units; at the limit no terminator is added.
void Str16CopyN(char16_t* dest, const char16_t* src, size_t n);
void Str16CopyNW(char16_t* dest, const wchar_t* src, size_t n);
// -1, 0 or 1 by unit value; null counts as empty.
int Str16Cmp(const char16_t* a, const char16_t* b);
// Case-insensitive comparison (for names found by the user's spelling).
int Str16CaseCmp(const char16_t* a, const char16_t* b);
size_t Str16Len(const char16_t* text);

// Formats with the engine conventions ("%s" wide, "%S" UTF-8) into a buffer
// of at least 4096 wide characters; at most 4095 are written. Returns the
// number written.
int WcsPrintf(wchar_t* buffer, const wchar_t* format, ...);
int WcsPrintfV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);
std::wstring WcsFormat(const wchar_t* format, ...);
// Strips leading blanks and tabs and trailing white space in place.
wchar_t* WcsTrim(wchar_t* text);
