#pragma once
// Mutations of the input table behind input_table.h: used by the input
// routines and the project reader. Callers hold the write access.
#include <cstdint>

#include "model/input_records.h"

// Appends a zeroed input with the neutral adjustments and data defaults;
// its index, or kNoInput when the table is full.
uint32_t InputStoreAppend();
// Removes entry i; later inputs move down. References are not touched.
void InputStoreErase(uint32_t input);
void InputStoreSwap(uint32_t a, uint32_t b);
void InputStoreClear();
// Defaults of a new input's records.
void InputDefaultAdjust(AdjustStruct* adjust);
void InputDefaultData(DataStruct* data);
