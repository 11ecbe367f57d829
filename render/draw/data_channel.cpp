#include "render/draw/data_channel.h"

#include "base/access_lock.h"
#include "base/text.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/datalog_store.h"
#include "media/datalog/query.h"

#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Shares the engine lock unless this thread already writes under it.
class LogAccess {
public:
  LogAccess() : taken_(!AccessHeldForWrite()) {
    if (taken_) AccessReadBegin("DataChannel");
  }
  ~LogAccess() {
    if (taken_) AccessReadEnd("DataChannel");
  }
  LogAccess(const LogAccess&) = delete;
  LogAccess& operator=(const LogAccess&) = delete;

private:
  bool taken_;
};

// Cache entries are keyed by the record's address and a fingerprint of
// what processing made of it: a log is reprocessed in place when its
// channel mapping, units or laps change, and must then be read afresh.
using RangeKey = std::tuple<const void*, uint64_t, int32_t, int>;
using CourseKey = std::pair<const void*, uint64_t>;
struct Cache {
  std::mutex lock;
  std::map<RangeKey, std::pair<double, double>> ranges;
  std::map<CourseKey, Course> courses;
};

class Fingerprint {
public:
  void add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 1099511628211ull;
  }
  template <typename T> void add(const T& value) { add(&value, sizeof value); }
  // Length and a handful of samples spread over the channel.
  void addChannel(const std::vector<double>& v) {
    add(v.size());
    if (v.empty()) return;
    for (size_t k = 0; k <= 8; ++k) add(v[(v.size() - 1) * k / 8]);
  }
  uint64_t value() const { return hash_; }

private:
  uint64_t hash_ = 1469598103934665603ull;
};

uint64_t fingerprint(const DataloggerRecord& r) {
  Fingerprint f;
  const LogChannels& ch = r.channels;
  f.addChannel(ch.time);
  for (const auto& role : ch.role) f.addChannel(role);
  for (const auto& custom : ch.custom) f.addChannel(custom);
  for (const auto& name : ch.customName) f.add(name.data(), name.size());
  f.addChannel(ch.distance);
  f.add(ch.sourceField.data(), sizeof(int) * ch.sourceField.size());
  f.add(ch.geographic);
  f.addChannel(r.laps.triggers);
  f.add(r.laps.ignoreFirst);
  f.add(r.columns.size());
  return f.value();
}
Cache& cache() {
  static Cache c;
  return c;
}

bool isNone(const char16_t* name) { return Str16Cmp(name, u"(None)") == 0; }

// Names in parentheses stand for the log's own answers rather than a column,
// so that a template or style reads the same quantity from any logger: the
// best-lap objects of a data template switch between "(Best Lap Time)" and
// "(Cur Best Lap Time)", and a throttle bar reads "(Throttle)" whatever the
// logger called that column.
struct QueryName {
  const char16_t* name;
  int query;
  double scale = 1;
};
constexpr QueryName kQueryNames[] = {
    {u"(Time)", kQueryTime},
    {u"(Altitude)", kQueryAltitude},
    {u"(Distance)", kQueryDistance},
    {u"(Distance km)", kQueryDistance, 0.001},
    {u"(Distance mi)", kQueryDistance, 1 / 1609.344},
    {u"(GPS Accuracy)", kQueryGpsAccuracy},
    {u"(Lap Number)", kQueryLapNumber},
    {u"(Lap Count)", kQueryLapCount},
    {u"(Lap Time)", kQueryCurrentLapTime},
    {u"(Previous Lap Time)", kQueryPreviousLapTime},
    {u"(Best Lap Number)", kQueryBestLapNumber},
    {u"(Best Lap Time)", kQueryBestLapTime},
    {u"(Cur Best Lap Number)", kQueryBestSoFarNumber},
    {u"(Cur Best Lap Time)", kQueryBestSoFarTime},
    {u"(Speed)", kQuerySpeed},
    {u"(Heading)", kQueryHeading},
    {u"(RPM)", kQueryRpm},
    {u"(Gear)", kQueryGear},
    {u"(Throttle)", kQueryThrottle},
    {u"(Lateral G)", kQueryAccelX},
    {u"(Longitudinal G)", kQueryAccelY},
};

const QueryName* queryNamed(const char16_t* name) {
  if (name[0] != u'(') return nullptr;
  for (const QueryName& entry : kQueryNames)
    if (Str16CaseCmp(name, entry.name) == 0) return &entry;
  return nullptr;
}

double valueAtInputTime(const DataloggerRecord& record, const DataChannel& channel, double t) {
  return channel.field >= 0 ? DataloggerFieldValueAt(record, channel.field, t)
                            : DataloggerValueAt(record, channel.query, t);
}

// rawTime 0: the time is project time; 1: the input's own time.
double channelValue(const DataChannel& channel, int32_t rawTime, double time) {
  if (!channel.valid()) return kNaN;
  const double v =
      channel.field >= 0
          ? InputHandlerGetDataFieldValue(channel.input, rawTime, static_cast<uint32_t>(channel.field),
                                          static_cast<float>(time))
          : InputHandlerGetDataTypeValue(channel.input, rawTime, static_cast<uint32_t>(channel.query),
                                         static_cast<float>(time));
  return std::isfinite(v) ? v : kNaN;
}

} // namespace

DataChannel DataChannelFor(uint32_t input, const char16_t* name, int automaticQuery) {
  DataChannel channel;
  if (input == 255) return channel;
  channel.input = input;
  if (!name || name[0] == 0) {
    channel.query = automaticQuery;
    return channel;
  }
  if (isNone(name)) return channel;
  channel.field = InputHandlerGetDataFieldIndex(input, name);
  // A column of the log with that very name still comes first.
  const QueryName* named = channel.field < 0 ? queryNamed(name) : nullptr;
  if (named != nullptr) {
    channel.query = named->query;
    channel.scale = named->scale;
  }
  return channel;
}

double DataChannelValue(const DataChannel& channel, double time) { return channelValue(channel, 0, time); }

double DataChannelValueAt(const DataChannel& channel, double inputTime) {
  return channelValue(channel, 1, inputTime);
}

double DataInputTime(uint32_t input, double time) { return DataQueryValue(input, kQueryTime, time); }

double DataLogEnd(uint32_t input) {
  if (input == 255) return 0;
  LogAccess access;
  const DataloggerRecord* record = DataloggerGet(input);
  return record && !record->channels.time.empty() ? record->channels.time.back() : 0;
}

double DataQueryValue(uint32_t input, int query, double time) {
  DataChannel channel;
  channel.input = input;
  channel.query = query;
  return DataChannelValue(channel, time);
}

bool DataChannelRange(const DataChannel& channel, double* lo, double* hi) {
  if (!channel.valid()) return false;
  LogAccess access;
  const DataloggerRecord* record = DataloggerGet(channel.input);
  if (!record || record->sampleCount() == 0) return false;
  const RangeKey key{record, fingerprint(*record), channel.field, channel.query};
  Cache& c = cache();
  {
    std::lock_guard<std::mutex> hold(c.lock);
    auto found = c.ranges.find(key);
    if (found != c.ranges.end()) {
      *lo = found->second.first * channel.scale;
      *hi = found->second.second * channel.scale;
      return *lo <= *hi;
    }
  }
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (double t : record->channels.time) {
    const double v = valueAtInputTime(*record, channel, t);
    if (!std::isfinite(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  std::lock_guard<std::mutex> hold(c.lock);
  // Kept in the log's own unit: the scale of a named query is positive.
  c.ranges[key] = {low, high};
  *lo = low * channel.scale;
  *hi = high * channel.scale;
  return low <= high;
}

const Course& DataCourse(uint32_t input) {
  static const Course empty;
  if (input == 255) return empty;
  LogAccess access;
  const DataloggerRecord* record = DataloggerGet(input);
  if (!record) return empty;
  const LogChannels& ch = record->channels;
  if (ch.role[kRolePosX].empty() || ch.role[kRolePosY].empty()) return empty;
  const CourseKey key{record, fingerprint(*record)};
  Cache& c = cache();
  std::lock_guard<std::mutex> hold(c.lock);
  auto found = c.courses.find(key);
  if (found != c.courses.end()) return found->second;
  // An earlier processing of the same log is stale now. (Renderers hold
  // the read lock while they use a course; reprocessing takes the write
  // lock, so no one still holds the old one.)
  for (auto it = c.courses.begin(); it != c.courses.end();)
    it = it->first.first == record ? c.courses.erase(it) : std::next(it);
  Course course;
  course.geographic = ch.geographic;
  course.fingerprint = key.second;
  bool first = true;
  for (size_t i = 0; i < ch.time.size(); ++i) {
    const double x = ch.role[kRolePosX][i], y = ch.role[kRolePosY][i];
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    const int lap = static_cast<int>(DataloggerValueAt(*record, kQueryLapNumber, ch.time[i]));
    const double speed =
        ch.role[kRoleSpeed].empty() ? kNaN : DataloggerValueAt(*record, kQuerySpeed, ch.time[i]);
    course.points.push_back({x, y, lap, ch.time[i], speed});
    if (first) {
      course.minX = course.maxX = x;
      course.minY = course.maxY = y;
      first = false;
    }
    course.minX = std::min(course.minX, x);
    course.maxX = std::max(course.maxX, x);
    course.minY = std::min(course.minY, y);
    course.maxY = std::max(course.maxY, y);
  }
  return c.courses.emplace(key, std::move(course)).first->second;
}

void DataCacheClear() {
  Cache& c = cache();
  std::lock_guard<std::mutex> hold(c.lock);
  c.ranges.clear();
  c.courses.clear();
}
