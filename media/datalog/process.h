#pragma once
// Turns a record's file columns into its working channels: recognition,
// kept samples, unit factors, derived and custom channels, laps.
#include "engine/model/input_records.h"
#include "media/datalog/datalog_record.h"

// Project speed units: 0 mph, 1 km/h, 2 m/s, 3 knots. Speed queries answer
// in it and distance in the matching unit (miles, km, m, nautical miles).
void DataloggerSetSpeedUnit(int unit);
int DataloggerGetSpeedUnit();

// 0, or kErrNoData when no sample has a usable time.
int DataloggerProcess(DataloggerRecord& record, const DataStruct& data);
