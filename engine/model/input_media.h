#pragma once
// Keeping the media layer's per-input slots in step with the input table
// (internal to the model; callers hold the write access).
#include <cstdint>

// True for inputs backed by a file the media layer opens (types 1 to 4).
bool InputHasMedia(uint32_t input);
// Closes the slots from index first to the end of the table, and reopens
// them after the table was reordered or shortened.
void InputMediaCloseFrom(uint32_t first);
void InputMediaReopenFrom(uint32_t first);
