#pragma once
// The readers, one per format (each defined in its own file).
#include "media/logs/log_reader.h"

const LogReader& NmeaLogReader();
const LogReader& GpxLogReader();
const LogReader& TcxLogReader();
const LogReader& FitLogReader();
const LogReader& VboLogReader();
const LogReader& DelimitedLogReader();
const LogReader& SaLogReader();
