#pragma once
// Single-character UTF-8 / UTF-16 coding shared by the text converters and
// the formatter. Invalid input decodes to U+FFFD and never reads past the
// given length.
#include <cstddef>

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one character from at most `length` bytes; `consumed` is at least 1
// whenever length > 0.
char32_t Utf8DecodeOne(const unsigned char* text, size_t length, size_t& consumed);
// Appends the UTF-8 form of a character (invalid values as U+FFFD) to `out`
// (room for 4 bytes); returns the number of bytes written.
size_t Utf8EncodeOne(char32_t ch, char* out);
// A wide value that is a valid Unicode scalar, else U+FFFD.
char32_t SanitizeScalar(wchar_t ch);
