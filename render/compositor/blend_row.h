#pragma once
// A row of premultiplied pixels over another, all four channels: the same
// result as BlendOver pixel by pixel, several pixels at a time.
#include <cstdint>

void BlendRowOver(const uint32_t* src, uint32_t* dst, int count);
