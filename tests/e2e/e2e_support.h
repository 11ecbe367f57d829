#pragma once
// Helpers of the end-to-end tests: folders of the test process, a
// generated circuit log with known laps, frames written as PNG for a look,
// and folder listings.
#include <cstdint>
#include <string>
#include <vector>

#include "support/circuit_log.h"

// A new folder under the process's TMPDIR.
std::string E2eFolder(const std::string& name);
// The folder beside the test program where frames are written for a look.
std::string E2eFramesDir();
// The folder holding the test program.
std::string E2eProgramDir();
// Names in the folder, sorted.
std::vector<std::string> E2eListFolder(const std::string& folder);
std::string E2eReadFile(const std::string& path);

// Writes a top-down B, G, R, A picture as PNG (through the ffmpeg tool).
bool E2eWritePng(const std::vector<uint8_t>& bgra, int width, int height, const std::string& path);
