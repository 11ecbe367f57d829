#pragma once
// Shared body of the data-log reader fuzz targets: parse the bytes with one
// reader as a file's bytes (text decoding and name tidying included) and,
// when they are taken, push them through recognition, derivation, laps and
// a few queries.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "media/datalog/process.h"
#include "media/datalog/query.h"
#include "media/logs/log_reader.h"
#include "media/logs/log_registry.h"

inline int FuzzDataLogReader(const LogReader& reader, const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  reader.probe(bytes.substr(0, 8192), "csv");
  LogRegistryFind(bytes.substr(0, 8192), "csv");
  DataloggerRecord record;
  if (!reader.parseFile(bytes, record).ok())
    return 0;
  DataStruct settings;
  std::memset(&settings, 0, sizeof settings);
  settings.TimeUnits = settings.GpsAccConv = settings.SpeedConv = 1.0f;
  settings.LapHeading = -1.0f;
  settings.LapHeadTol = 30.0f;
  settings.LapManual = 3;
  settings.BoostSampleRate = 7;
  if (DataloggerProcess(record, settings) != 0 || record.channels.time.empty())
    return 0;
  settings.LapX = DataloggerValueAt(record, kQueryPosX, 1.0);
  settings.LapY = DataloggerValueAt(record, kQueryPosY, 1.0);
  DataloggerProcess(record, settings);
  double end = record.channels.time.back();
  for (int type = 0; type < kQueryTypeCount; ++type)
    for (double t : {-1.0, 0.0, end * 0.37, end, end + 5})
      DataloggerValueAt(record, type, t);
  for (int f = 0; f < DataloggerFieldCount(record, true); ++f)
    DataloggerFieldValueAt(record, f, end * 0.5);
  return 0;
}
