#pragma once
// The shared style-preview picture (internal to the style files).
#include <cstdint>
#include <vector>

// Keeps a 120 x 120 x 3 picture, or forgets it when the vector is empty.
void StylePreviewStore(const std::vector<uint8_t>& picture);
