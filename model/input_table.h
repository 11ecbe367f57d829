#pragma once
// Raw access to the input table for the engine's own layers (media layer,
// data logs, renderer). Callers hold the access lock; windows use the
// facade routines instead.
#include "model/input_records.h"

uint32_t InputTableCount();
// Null for an index at or past the count.
MainStruct* InputTableMain(uint32_t input);
DataStruct* InputTableData(uint32_t input);
AdjustStruct* InputTableAdjust(uint32_t input);
