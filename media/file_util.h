#pragma once
// File-name helpers of the media layer. Reading and atomic writing of whole
// files are the engine's (base/file_io.h).
#include <string>

// Lower-case extension without the dot ("" when none).
std::string FileExtensionLower(const std::string& path);
