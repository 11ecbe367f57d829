#pragma once
// Still-image and WAV inputs held by the media layer itself.
#include <cstdint>

// Opens the input's file as a still image: the media layer's BMP reader,
// else the FFmpeg image decoders. Type 3, its size, and the picture in the
// slot (handler kind 2). 0 or -141.
int MediaImageOpen(uint32_t input);
// Opens the input's file with the media layer's WAV reader: type 2, its
// length and format (audio handler kind 1). 0 or -141.
int MediaWavOpen(uint32_t input);
