#pragma once
// Turns a record's file columns into its working channels: recognition,
// kept samples, unit factors, derived and custom channels, laps.
#include "model/input_records.h"
#include "media/datalog/datalog_record.h"

// Speed comes out in the project's speed unit and distance in the matching
// unit (miles, km, nautical miles, metres), so a unit change reprocesses.
// 0, or kErrNoData when no sample has a usable time. Callers hold the
// access lock (the project settings are read).
int DataloggerProcess(DataloggerRecord& record, const DataStruct& data);
