#pragma once
// The data-log model's entry points used by the media layer and the engine.
#include <cstdint>

// True when the file is a data log of a supported format (by content,
// else by extension).
bool DataloggerIsLogFile(const wchar_t* path);
// Loads the input's file (its MainStruct path) into its channel table,
// applies its DataStruct recognition and fills type 4 and the length.
int DataloggerOpen(uint32_t input);
void DataloggerClose(uint32_t input);
// Reapplies recognition, derived channels and laps after a DataStruct or
// speed-unit change.
int DataloggerReprocess(uint32_t input);
