#pragma once
// CRC-32 (the zlib / PNG polynomial, reflected 0xEDB88320) over the engine's
// binary files. Chain calls by passing the previous result.
#include <cstddef>
#include <cstdint>
#include <vector>

uint32_t Crc32(const void* data, size_t size, uint32_t previous = 0);

// The CRC of a file whose header keeps that CRC at bytes 16 to 19: the
// header with the field taken as 0, then the payload.
uint32_t HeaderCrc32(const uint8_t* header, size_t headerBytes, const std::vector<uint8_t>& payload);
