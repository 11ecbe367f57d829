#pragma once
// Still pictures written through FFmpeg's image encoders.
#include <cstdint>
#include <string>
#include <vector>

enum class ImageFileKind { Png, Jpeg };

// Encodes width x height 32-bit B, G, R, A pixels (rows top first, packed)
// into the bytes of a PNG (alpha kept) or JPEG file. 0, -21 bad arguments,
// -23 no encoder, -82 encoding failed.
int ImageEncode(ImageFileKind kind, const uint8_t* bgra, int width, int height, std::vector<uint8_t>* out);
