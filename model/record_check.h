#pragma once
// The ranges the windows allow for the numbers of the stored records.
// Every file reader checks a record against them before it reaches the
// model, so that a damaged or hand-edited file cannot put there a value no
// control could have stored (a time factor of "nan", a negative size).
#include <limits>
#include <string>

#include "model/disp_records.h"
#include "model/input_records.h"
#include "model/project_settings.h"

// A field that may hold any finite number has these ends.
constexpr double kRecordAnyNumber = std::numeric_limits<float>::max();

struct RecordFault {
  const char* key = nullptr; // the field; null when every value fits
  double value = 0;
  double min = 0, max = 0;
  explicit operator bool() const { return key != nullptr; }
};

// The first field out of its range, in record order.
RecordFault DataStructCheck(const DataStruct& data);
RecordFault MainStructCheck(const MainStruct& main);
RecordFault AdjustStructCheck(const AdjustStruct& adjust);
RecordFault DispStructCheck(const DispStruct& record);
RecordFault ProjectSettingsCheck(const ProjectSettings& settings);

// Every number brought into its range (nan to 0, then to the nearest
// end), for the writers: a file the program writes always reads back, even
// where a window let a value through.
void DataStructClamp(DataStruct& data);
void MainStructClamp(MainStruct& main);
void AdjustStructClamp(AdjustStruct& adjust);
void DispStructClamp(DispStruct& record);
void ProjectSettingsClamp(ProjectSettings& settings);

// For the user and the log, e.g. "TimeUnits = nan (allowed: 0 or more)".
std::wstring RecordFaultText(const RecordFault& fault);
