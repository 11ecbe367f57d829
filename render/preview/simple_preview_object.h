#pragma once
// The temporary display object through which a simple preview shows an
// input, with the presets of its display mode.
#include <cstdint>

// Fills the temporary object (256) for the input; callers hold the write
// access and the temporary-object lock. width x height: the preview's
// pixels, which the track map's marks are sized for. 0 or a negative code.
int SimplePreviewFillTempObject(uint32_t input, uint32_t displayMode, bool keepRatio, uint32_t width,
                                uint32_t height);
