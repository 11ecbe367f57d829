#pragma once
// Helpers of the data-log model tests: records of a new input and a log
// read from disk and processed with them.
#include <cstring>
#include <string>

#include "base/text.h"
#include "model/input_records.h"
#include "model/input_store.h"
#include "model/project.h"
#include "model/project_settings.h"
#include "media/datalog/process.h"
#include "media/logs/log_registry.h"

inline DataStruct NewDataStruct() {
  DataStruct data;
  std::memset(&data, 0, sizeof data);
  InputDefaultData(&data);
  return data;
}

inline void SetName(char16_t* field, const std::string& text) {
  std::memset(field, 0, kNameLength * sizeof(char16_t));
  Str16CopyNW(field, Utf8ToWide(text).c_str(), kNameLength - 1);
}

inline bool LoadProcessed(const std::string& path, const DataStruct& data, DataloggerRecord& record) {
  if (!LogRegistryRead(path, record).ok())
    return false;
  return DataloggerProcess(record, data) == 0;
}
