#pragma once
// Text as devices and apps write it, into the UTF-8 the readers parse:
// UTF-16 in either byte order (with a byte-order mark, or plainly ASCII
// text in 16-bit units), a UTF-8 byte-order mark, and column names in
// Windows-1252 bytes.
#include <string>
#include <string_view>

#include "media/datalog/datalog_record.h"

// The readable text of a file's bytes: `bytes` itself (less a UTF-8
// byte-order mark) or, for UTF-16, its UTF-8 conversion held in `storage`.
// Binary data that is none of these comes back unchanged.
std::string_view LogTextOf(std::string_view bytes, std::string& storage);
// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
// Windows-1252 bytes as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
// Cuts UTF-8 text to at most `units` UTF-16 units, at a character boundary.
std::string ClipUtf8ToUtf16Units(std::string_view text, size_t units);
// Field names as the channel mapping needs them: UTF-8 (names in other
// bytes read as Windows-1252), at most 63 UTF-16 units (the longest name a
// stored mapping holds) and distinct ("Speed", "Speed 2 (km/h)"...), so
// every column can be chosen by its name.
void LogTidyFieldNames(DataloggerRecord& record);
