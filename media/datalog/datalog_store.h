#pragma once
// The per-input data logs (one slot per input, 128). Callers hold the
// engine's access lock: readers share it, DataloggerOpen/Close/Reprocess
// run under the writer.
#include <cstdint>
#include <memory>

#include "media/datalog/datalog_record.h"

DataloggerRecord* DataloggerGet(uint32_t input);
void DataloggerPut(uint32_t input, std::unique_ptr<DataloggerRecord> record);
