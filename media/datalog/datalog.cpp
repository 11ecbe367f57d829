#include "media/datalog/datalog.h"

#include <memory>
#include <string>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_table.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/process.h"
#include "media/logs/log_registry.h"

namespace {

std::unique_ptr<DataloggerRecord> g_logs[kMaxInputs];

std::string pathOf(const MainStruct& main) {
  size_t length = 0;
  while (length < kPathLength && main.FilePath[length] != 0)
    ++length;
  return WideToUtf8(Utf16ToWide(std::u16string(main.FilePath, length)));
}

// The DataStruct of a new input, for inputs whose record is missing.
const DataStruct& defaultData() {
  static const DataStruct data = [] {
    DataStruct d{};
    d.TimeUnits = 1.0f;
    d.GpsAccConv = 1.0f;
    d.SpeedConv = 1.0f;
    d.LapHeading = -1.0f;
    d.LapHeadTol = 30.0f;
    d.LapManual = 2;
    d.BoostSampleRate = 7;
    return d;
  }();
  return data;
}

void applyLength(uint32_t input, const DataloggerRecord& record) {
  MainStruct* main = InputTableMain(input);
  if (!main)
    return;
  main->Length = record.channels.time.empty() ? 0.0f
                                              : static_cast<float>(record.channels.time.back());
}

} // namespace

DataloggerRecord* DataloggerGet(uint32_t input) {
  return input < kMaxInputs ? g_logs[input].get() : nullptr;
}

void DataloggerPut(uint32_t input, std::unique_ptr<DataloggerRecord> record) {
  if (input < kMaxInputs)
    g_logs[input] = std::move(record);
}

bool DataloggerIsLogFile(const wchar_t* path) {
  if (!path || !*path)
    return false;
  return LogRegistryFindForFile(WideToUtf8(path)) != nullptr;
}

int DataloggerOpen(uint32_t input) {
  MainStruct* main = InputTableMain(input);
  if (input >= kMaxInputs || !main)
    return ErrorSet(kErrBadArg, "DataloggerOpen");
  g_logs[input].reset();
  std::string path = pathOf(*main);
  auto record = std::make_unique<DataloggerRecord>();
  LogReadStatus status = LogRegistryRead(path, *record);
  if (!status.ok()) {
    LogPrintf(L"Data log '%S' refused: %S (line %d)", path.c_str(), status.message.c_str(),
              status.line);
    return ErrorSet(status.code, "DataloggerOpen");
  }
  for (const std::string& warning : status.warnings)
    LogPrintf(L"Data log '%S': %S", path.c_str(), warning.c_str());
  const DataStruct* data = InputTableData(input);
  int code = DataloggerProcess(*record, data ? *data : defaultData());
  if (code != kOk) {
    LogPrintf(L"Data log '%S' has no usable times", path.c_str());
    return ErrorSet(code, "DataloggerOpen");
  }
  LogPrintf(L"Data log '%S': %S, %d fields, %d samples at %.02f Hz", path.c_str(),
            record->formatName.c_str(), static_cast<int>(record->fieldNames.size()),
            static_cast<int>(record->sampleCount()), record->sampleRate);
  main->Type = kInputData;
  g_logs[input] = std::move(record);
  applyLength(input, *g_logs[input]);
  return ErrorSet(kOk, "DataloggerOpen");
}

void DataloggerClose(uint32_t input) {
  if (input < kMaxInputs)
    g_logs[input].reset();
}

int DataloggerReprocess(uint32_t input) {
  DataloggerRecord* record = DataloggerGet(input);
  if (!record)
    return ErrorSet(kErrNoData, "DataloggerReprocess");
  const DataStruct* data = InputTableData(input);
  int code = DataloggerProcess(*record, data ? *data : defaultData());
  if (code == kOk)
    applyLength(input, *record);
  return ErrorSet(code, "DataloggerReprocess");
}
