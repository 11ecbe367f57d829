#pragma once
// Writing an input's picture or sound to a file.
#include <cstdint>

// The input's frame at a time of its own media, upright, as a BMP file, or
// PNG / JPEG by the path's extension. 0, -21 bad input or no picture, -81
// no frame at that time, -82 write failure.
int InputExportSnapshot(uint32_t input, const wchar_t* path, float time);
// The stretch [start, start + length) of the input's own sound as a WAV
// file in the input's sound format; a stretch beyond the end stops there.
// 0, -21 bad input or no sound, -82 write failure.
int InputExportAudio(uint32_t input, const wchar_t* path, float start, float length);
