#include "media/datalog/datalog_queries.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/text.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/query.h"
#include "media/logs/text_scan.h"

namespace {

// Shares the engine lock unless this thread already writes under it.
class QueryAccess {
public:
  explicit QueryAccess(const char* who) : who_(who), taken_(!AccessHeldForWrite()) {
    if (taken_)
      AccessReadBegin(who_);
  }
  ~QueryAccess() {
    if (taken_)
      AccessReadEnd(who_);
  }
  QueryAccess(const QueryAccess&) = delete;
  QueryAccess& operator=(const QueryAccess&) = delete;

private:
  const char* who_;
  bool taken_;
};

std::vector<uint32_t> joinMembers(uint32_t join) {
  std::vector<uint32_t> members;
  for (uint32_t i = 0; i < InputTableCount() && i < kMaxInputs; ++i) {
    const MainStruct* m = InputTableMain(i);
    if (m && i != join && m->ParentJoin == join)
      members.push_back(i);
  }
  std::stable_sort(members.begin(), members.end(), [](uint32_t a, uint32_t b) {
    return InputTableMain(a)->StartTime < InputTableMain(b)->StartTime;
  });
  return members;
}

// The data input that answers for `input` at join time `t` (a plain log
// answers for itself); t becomes that input's own time.
uint32_t resolveMember(uint32_t input, double& t, bool timeIsTime) {
  const MainStruct* main = InputTableMain(input);
  if (!main || main->Type != kInputJoinData)
    return input;
  std::vector<uint32_t> members = joinMembers(input);
  if (members.empty())
    return input;
  if (!timeIsTime)
    return members.front();
  uint32_t chosen = members.front();
  for (uint32_t m : members)
    if (InputTableMain(m)->StartTime <= t)
      chosen = m;
  const MainStruct* member = InputTableMain(chosen);
  t = InputLocalTime(*member, t);
  return chosen;
}

// Checks the index and finds the record; the code to record otherwise.
int lookup(uint32_t input, int32_t rawTime, bool timeIsTime, double& t,
           const DataloggerRecord*& record) {
  record = nullptr;
  if (input == kNoInput)
    return kErrBadArg;
  if (input >= InputTableCount() || input >= kMaxInputs)
    return kErrIndex;
  if (timeIsTime && rawTime == 0)
    t = InputTimeFromProject(input, t);
  uint32_t source = resolveMember(input, t, timeIsTime);
  record = DataloggerGet(source);
  return record ? kOk : kErrNoData;
}

bool timeArgumentIsTime(uint32_t type) {
  return type != kQueryLapCount && type != kQueryLapStart && type != kQueryBestLapNumber &&
         type != kQueryBestLapTime && type != kQuerySpanX && type != kQuerySpanY;
}

const DataloggerRecord* recordForFields(uint32_t input, int& code) {
  double t = 0;
  const DataloggerRecord* record = nullptr;
  code = lookup(input, 1, false, t, record);
  return record;
}

std::u16string toUtf16(const std::string& text) { return WideToUtf16(Utf8ToWide(text)); }

} // namespace

double InputHandlerGetDataTypeValue(uint32_t input, int32_t rawTime, uint32_t type, float time) {
  QueryAccess access("InputHandlerGetDataTypeValue");
  if (type >= kQueryTypeCount) {
    ErrorSet(kErrBadArg, "InputHandlerGetDataTypeValue");
    return 0.0;
  }
  double t = time;
  const DataloggerRecord* record = nullptr;
  int code = lookup(input, rawTime, timeArgumentIsTime(type), t, record);
  double value = record ? DataloggerValueAt(*record, static_cast<int>(type), t) : 0.0;
  ErrorSet(code, "InputHandlerGetDataTypeValue");
  return std::isfinite(value) ? value : 0.0;
}

double InputHandlerGetDataFieldValue(uint32_t input, int32_t rawTime, uint32_t field, float time) {
  QueryAccess access("InputHandlerGetDataFieldValue");
  double t = time;
  const DataloggerRecord* record = nullptr;
  int code = lookup(input, rawTime, true, t, record);
  double value = 0.0;
  if (record && field >= static_cast<uint32_t>(DataloggerFieldCount(*record, true)))
    code = kErrIndex;
  else if (record)
    value = DataloggerFieldValueAt(*record, static_cast<int>(field), t);
  ErrorSet(code, "InputHandlerGetDataFieldValue");
  return std::isfinite(value) ? value : 0.0;
}

const char16_t* InputHandlerGetDataFieldName(uint32_t input, uint32_t field, uint32_t withExtras) {
  thread_local char16_t buffer[kNameLength]; // per thread: no other thread overwrites it
  QueryAccess access("InputHandlerGetDataFieldName");
  buffer[0] = 0;
  int code = kOk;
  const DataloggerRecord* record = recordForFields(input, code);
  if (record) {
    if (field >= static_cast<uint32_t>(DataloggerFieldCount(*record, withExtras != 0))) {
      code = kErrIndex;
    } else {
      std::u16string name = toUtf16(DataloggerFieldName(*record, static_cast<int>(field)));
      size_t n = std::min<size_t>(name.size(), kNameLength - 1);
      std::copy(name.begin(), name.begin() + static_cast<long>(n), buffer);
      buffer[n] = 0;
    }
  }
  ErrorSet(code, "InputHandlerGetDataFieldName");
  return buffer;
}

int32_t InputHandlerGetDataFieldIndex(uint32_t input, const char16_t* name) {
  QueryAccess access("InputHandlerGetDataFieldIndex");
  int code = kOk;
  const DataloggerRecord* record = recordForFields(input, code);
  int32_t found = -1;
  if (record && name && name[0] != 0) {
    std::string wanted = WideToUtf8(Utf16ToWide(std::u16string(name, Str16Len(name))));
    int count = DataloggerFieldCount(*record, true);
    for (int f = 0; f < count && found < 0; ++f)
      if (DataloggerFieldName(*record, f) == wanted)
        found = f;
    std::string lower = LowerAscii(wanted);
    for (int f = 0; f < count && found < 0; ++f)
      if (LowerAscii(DataloggerFieldName(*record, f)) == lower)
        found = f;
  }
  ErrorSet(record ? kOk : code, "InputHandlerGetDataFieldIndex");
  return found;
}

namespace {

int kindOf(uint8_t type) {
  switch (type) {
  case kInputVideo:
  case kInputJoinVideo:
    return 1;
  case kInputAudio:
  case kInputJoinAudio:
    return 2;
  case kInputData:
  case kInputJoinData:
    return 3;
  default:
    return 0;
  }
}

// A joined data input stands for its first member; an empty join for none.
bool dataStandIn(uint32_t input, uint32_t& standIn) {
  const MainStruct* main = InputTableMain(input);
  if (main->Type != kInputJoinData) {
    standIn = input;
    return true;
  }
  std::vector<uint32_t> members = joinMembers(input);
  if (members.empty())
    return false;
  standIn = members.front();
  return true;
}

bool sameFields(uint32_t a, uint32_t b) {
  const DataloggerRecord* ra = DataloggerGet(a);
  const DataloggerRecord* rb = DataloggerGet(b);
  return ra && rb && ra->fieldNames == rb->fieldNames;
}

} // namespace

int InputHandlerCheckJoin(uint32_t first, uint32_t second) {
  QueryAccess access("InputHandlerCheckJoin");
  uint32_t count = std::min<uint32_t>(InputTableCount(), kMaxInputs);
  if (first >= count || second >= count) {
    ErrorSet(kOk, "InputHandlerCheckJoin");
    return 0;
  }
  const MainStruct* a = InputTableMain(first);
  const MainStruct* b = InputTableMain(second);
  int kind = kindOf(a->Type);
  int result = kind != 0 && kind == kindOf(b->Type) ? 1 : 0;
  if (result && kind == 3) {
    uint32_t sa = 0, sb = 0;
    bool hasA = dataStandIn(first, sa), hasB = dataStandIn(second, sb);
    // An empty data join takes any data log.
    if (hasA && hasB)
      result = sameFields(sa, sb) ? 1 : 0;
  }
  ErrorSet(kOk, "InputHandlerCheckJoin");
  return result;
}

uint32_t DataloggerScanOptions(uint32_t input) {
  QueryAccess access("DataloggerScanOptions");
  if (input >= InputTableCount() || input >= kMaxInputs)
    return 0;
  double t = 0;
  uint32_t source = resolveMember(input, t, false);
  const DataloggerRecord* record = DataloggerGet(source);
  uint32_t bits = 0x400;
  if (!record)
    return bits;
  const LogChannels& ch = record->channels;
  auto has = [&](int role) { return !ch.role[role].empty(); };
  if (has(kRoleSpeed))
    bits |= 0x001;
  if (has(kRoleRpm))
    bits |= 0x002 | 0x800;
  if (ch.sourceField[kRoleGear] >= 0 &&
      std::any_of(ch.role[kRoleGear].begin(), ch.role[kRoleGear].end(),
                  [](double g) { return g != 0; }))
    bits |= 0x004;
  if (has(kRoleThrottle))
    bits |= 0x008;
  if (has(kRoleGForceX) || has(kRoleGForceY))
    bits |= 0x010;
  if (has(kRolePosX) && has(kRolePosY))
    bits |= 0x020;
  if (!record->laps.triggers.empty())
    bits |= 0x0C0;
  return bits;
}
