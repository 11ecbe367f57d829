#pragma once
// CRC-32 (the zlib / PNG polynomial, reflected 0xEDB88320) over the engine's
// binary files. Chain calls by passing the previous result.
#include <cstddef>
#include <cstdint>

uint32_t Crc32(const void* data, size_t size, uint32_t previous = 0);
