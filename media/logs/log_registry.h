#pragma once
// The one list of log readers. The rest of the engine never names a format.
#include <string>
#include <string_view>

#include "media/logs/log_reader.h"

// Bytes of the file head handed to the probes.
constexpr size_t kLogProbeBytes = 8192;

// The reader with the highest confidence for this head, null when none.
const LogReader* LogRegistryFind(std::string_view head, std::string_view extension);
// Reads the head and picks a reader for the file; null when none.
const LogReader* LogRegistryFindForFile(const std::string& path);
// Picks a reader and reads the file into the record.
LogReadStatus LogRegistryRead(const std::string& path, DataloggerRecord& record);
// Lower-case extension of a path without the dot.
std::string LogExtension(const std::string& path);
