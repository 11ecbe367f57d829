#pragma once
// The temporary display object through which a simple preview shows an
// input, with the presets of its display mode.
#include <cstdint>

// Fills the temporary object (256) for the input; callers hold the write
// access and the temporary-object lock. 0 or a negative code.
int SimplePreviewFillTempObject(uint32_t input, uint32_t displayMode, bool keepRatio);
