#pragma once
// Data-channel profiles: an input's DataStruct as a UTF-8 text file.
#include <cstdint>
#include <string>

#include "model/input_records.h"
#include "model/record_check.h"

// Reads a profile ("QVLC2", "QVLC" or "LoggerConf." marker line; keys
// case-insensitive) into the input's DataStruct without reapplying it.
// 0, -80 cannot open, -81 unreadable, too large or no profile (an empty
// file included), -21 / -41.
int InputImportDataProfile(uint32_t input, const wchar_t* path);
// Writes the input's DataStruct as a profile; 0, -82, -21 / -41.
int InputExportDataProfile(uint32_t input, const wchar_t* path);

// The profile text of a record, and the parse of one into a record (the
// keys found overwrite their fields); 0, -81, or -86 with the number out of
// range named in fault (the record is then left as it was).
std::string ProfileText(const DataStruct& data);
int ProfileParse(const std::string& text, DataStruct& data, RecordFault* fault = nullptr);
