#pragma once
// Laps: trigger times from a lap column or from passes of the start/finish
// point, and the lap tables the time queries answer from.
#include <vector>

#include "model/input_records.h"
#include "media/datalog/datalog_record.h"

// Triggers where the lap column changes to a new non-zero value.
std::vector<double> LapTriggersFromColumn(const std::vector<double>& time,
                                          const std::vector<double>& lap);
// Triggers at passes of the start/finish point within the tolerances and
// heading tolerance; with `enhanced` the crossing of the line through the
// point across the lap heading is interpolated between samples.
std::vector<double> LapTriggersFromPoint(const LogChannels& channels, const DataStruct& data,
                                         bool enhanced);
// Chooses the method by the DataStruct and fills record.laps.
void DetectLaps(DataloggerRecord& record, const DataStruct& data);

// Lap queries on input time.
int LapNumberAt(const LogLaps& laps, double t);
// Start of lap n (n counted after the ignored triggers); 0 for lap 0 with
// nothing ignored and past the last lap.
double LapStartTime(const LogLaps& laps, int n);
bool LapIsComplete(const LogLaps& laps, int n);
double LapDuration(const LogLaps& laps, int n);
double CurrentLapTime(const LogLaps& laps, double t);
double PreviousLapTime(const LogLaps& laps, double t);
// Fastest complete lap (laps from 1 on); -1 when there is none.
int BestLap(const LogLaps& laps);
// Fastest lap completed by time t; -1 when none.
int BestLapSoFar(const LogLaps& laps, double t);
