#pragma once
// Logger exports that carry beacon markers (and sometimes restart their
// time column at 0 at every beacon): one running time across the segments,
// and the beacons as a lap column.
#include <map>
#include <string>
#include <vector>

#include "media/datalog/datalog_record.h"
#include "media/logs/log_reader.h"

using DelimitedMetadata = std::map<std::string, std::vector<std::string>>;

// Acts only on files whose key/value lines name beacon markers, segment
// times or a sample rate, and that have a column named "Time".
void JoinBeaconSegments(DataloggerRecord& record, const DelimitedMetadata& metadata,
                        LogReadStatus& status);
