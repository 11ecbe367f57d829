#pragma once
// The media layer's per-input slots: opening an input's file by content and
// pulling its frames and sound by time.
#include <cstdint>

int MediaHandlerInit();
void MediaHandlerEnd();

// Zeroes the slot, detects the file kind and opens it with the first reader
// that takes it (data logs through the data-log model); fills the input's
// MainStruct (type, size, length). 0 or a negative code (-141 unsupported).
int InputHandlerOpen(uint32_t input);
void InputHandlerClose(uint32_t input);
// Re-reads what depends on the input's records (after InputSetMain,
// InputSetAdjust, InputSetData or a speed-unit change).
int InputHandlerReprocess(uint32_t input);
