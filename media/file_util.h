#pragma once
// Small file helpers of the media layer's writers and readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Creates "<target>.XXXXXX" beside the target (same file system, so the
// finished file can be renamed over the target). The descriptor or -1.
int OpenTempBeside(const std::string& target, std::string* tempPath);
bool WriteAll(int fd, const void* data, size_t size);
// Writes the bytes to a temporary file and renames it over the target.
bool WriteFileAtomic(const std::string& target, const void* data, size_t size);
// The whole file when it is a regular file of at most maxBytes.
// 0, -80 cannot open, -81 read failure or too large.
int ReadWholeFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>* out);
// Lower-case extension without the dot ("" when none).
std::string FileExtensionLower(const std::string& path);
