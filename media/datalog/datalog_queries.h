#pragma once
// The data queries that windows and renderers ask of a data input: values
// by type and time, field names and indexes, join checks and the options a
// log supports. Each records its result as the engine's last error.
#include <cstdint>

// rawTime 1: `time` is the input's own time; 0: a project time, converted
// through the input's start, trim and play rate (and its join's). Type 8
// takes a lap number in `time`. 0.0 with -21 (input 255 or a type above
// 23), -41 (index at or past the input count) or -140 (no data log).
double InputHandlerGetDataTypeValue(uint32_t input, int32_t rawTime, uint32_t type, float time);
// Name of field n (UTF-16, in the calling thread's buffer, valid until its
// next call); with extras the custom channels and computed fields follow
// the log's own.
// Past the last field: empty and -41.
const char16_t* InputHandlerGetDataFieldName(uint32_t input, uint32_t field, uint32_t withExtras);
// Number of the named field (with extras), -1 when none.
int32_t InputHandlerGetDataFieldIndex(uint32_t input, const char16_t* name);
// Value of field n (numbered with extras) at a time, as for type values.
double InputHandlerGetDataFieldValue(uint32_t input, int32_t rawTime, uint32_t field, float time);
// 1 when the two inputs may be joined, else 0.
int InputHandlerCheckJoin(uint32_t first, uint32_t second);
// Option bits the data input (a join: its first member) supports, for the
// project wizard: 0x001 speed, 0x002|0x800 engine speed, 0x004 gear column,
// 0x008 throttle, 0x010 accelerations, 0x020 positions, 0x0C0 laps, 0x400
// always; 0 for an index at or past the input count.
uint32_t DataloggerScanOptions(uint32_t input);
// The same under read access of the project, as the wizard asks it.
uint32_t ProjectWizScanInput(uint32_t input);
