// FIT activity files, from the public protocol description: a 12- or
// 14-byte header, definition and data messages (normal and compressed
// time-stamp headers, either byte order, developer fields skipped), and a
// CRC-16 trailer. Record messages give the rows; lap messages the laps.
// Some devices chain several such files in one (each with its own header
// and checksum): every part is read in turn into the one log, each with
// its own message definitions.
//
// Files are read as far as they go. Devices that lose power leave files
// cut short, apps write a data size larger than the data, and several
// devices write a wrong checksum: every complete message before the damage
// is read and the damage reported; only a file whose messages cannot be
// followed at all is refused.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "base/error.h"
#include "media/logs/log_readers.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kFitEpoch = 631065600.0; // 1989-12-31T00:00:00Z in Unix seconds
constexpr double kSemicircleToDegrees = 180.0 / 2147483648.0;
constexpr uint16_t kMesgLap = 19, kMesgRecord = 20;
constexpr uint8_t kFieldTimestamp = 253, kFieldCompressedSpeedDistance = 8;
// Inside one part, a time more than a day ahead of the last record's or
// more than a few seconds behind it is a garbage stamp (phone apps that
// cut a file short leave one decades away), not a pause.
constexpr double kMaxTimeJump = 86400.0, kMaxTimeBack = 5.0;

enum FitColumn { kTime, kLat, kLon, kAlt, kDist, kSpeed, kHeart, kCadence, kPower, kTemp, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"Time",        "Latitude",   "Longitude", "Altitude",
                                                "Distance (m)", "Speed (m/s)", "Heart Rate", "Cadence",
                                                "Power",       "Temperature"};
using Row = std::array<double, kColumnCount>;

// CRC-16 of the protocol (polynomial 0xA001, reflected), a byte at a time.
uint16_t fitCrc(const uint8_t* data, size_t size) {
  static const std::array<uint16_t, 256> table = [] {
    std::array<uint16_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
      t[n] = static_cast<uint16_t>(c);
    }
    return t;
  }();
  uint16_t crc = 0;
  for (size_t i = 0; i < size; ++i)
    crc = static_cast<uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
  return crc;
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct FieldDef {
  uint8_t number, size, baseType;
};

struct MessageDef {
  bool defined = false;
  bool bigEndian = false;
  uint16_t global = 0;
  std::vector<FieldDef> fields;
  size_t bytes = 0; // the data message's size, developer fields included
};

// An integer field value; false for the base type's "invalid" value.
bool readInteger(const uint8_t* p, const FieldDef& f, bool bigEndian, double& out) {
  if (f.size != 1 && f.size != 2 && f.size != 4)
    return false;
  uint32_t raw = 0;
  for (int i = 0; i < f.size; ++i)
    raw |= static_cast<uint32_t>(p[bigEndian ? f.size - 1 - i : i]) << (8 * i);
  uint8_t type = f.baseType & 0x1F;
  bool isSigned = type == 1 || type == 3 || type == 5;
  uint32_t invalid = isSigned ? (0x7FFFFFFFu >> (32 - 8 * f.size)) : (0xFFFFFFFFu >> (32 - 8 * f.size));
  bool zeroInvalid = type == 10 || type == 11 || type == 12;
  if ((raw == invalid && !zeroInvalid) || (zeroInvalid && raw == 0) || type == 7 || type == 8 || type == 9)
    return false;
  if (isSigned) {
    int64_t value = raw;
    if (raw & (1u << (8 * f.size - 1)))
      value -= int64_t(1) << (8 * f.size);
    out = static_cast<double>(value);
  } else {
    out = raw;
  }
  return true;
}

// A date_time field: uint32 seconds since the epoch. A signed field's
// negative value, the invalid marker or any other type is no time.
bool readTime(const uint8_t* p, const FieldDef& f, bool bigEndian, uint32_t& out) {
  double v;
  if (f.size != 4 || !readInteger(p, f, bigEndian, v) || !(v >= 0 && v < 4294967295.0))
    return false;
  out = static_cast<uint32_t>(v);
  return true;
}

// Where and why the messages could not be followed further.
struct FitStop {
  const char* reason = nullptr; // null = the data was read to its end
  bool cutShort = false;        // a message runs past the end of the data
  int message = 0;              // 1-based
  size_t offset = 0;
};

class FitParser {
public:
  explicit FitParser(const uint8_t* data) : data_(data) {}

  // One part's messages, from `pos` to `end`. Times carry on from the part
  // before; definitions and accumulated fields belong to their own part.
  FitStop run(size_t pos, size_t end) {
    end_ = end;
    defs_ = {};
    distanceSum_ = 0;
    lastDistance_ = 0;
    partTime_ = kNaN;
    int index = 0;
    while (pos < end_) {
      size_t at = pos;
      ++index;
      uint8_t header = data_[pos++];
      FitStop stop = (header & 0x80) ? compressed(header, pos)
                     : (header & 0x40) ? definition(header, pos)
                                       : message(header & 0x0F, pos, false);
      if (stop.reason) {
        stop.message = index;
        stop.offset = at;
        return stop;
      }
    }
    return {};
  }

  std::vector<Row> rows;
  std::vector<double> lapStarts;
  size_t untimedRecords = 0;
  size_t outOfLineRecords = 0;
  size_t badTimeRecords = 0;

private:
  enum class Stamp { kNone, kGood, kBad };

  static FitStop cut(const char* reason) { return {reason, true, 0, 0}; }

  FitStop definition(uint8_t header, size_t& pos) {
    if (pos + 5 > end_)
      return cut("definition message cut short");
    MessageDef& def = defs_[header & 0x0F];
    def = MessageDef();
    def.bigEndian = data_[pos + 1] == 1;
    def.global = def.bigEndian ? static_cast<uint16_t>(data_[pos + 2] << 8 | data_[pos + 3])
                               : le16(data_ + pos + 2);
    size_t count = data_[pos + 4];
    pos += 5;
    if (pos + count * 3 > end_)
      return cut("field definitions cut short");
    for (size_t i = 0; i < count; ++i, pos += 3) {
      def.fields.push_back({data_[pos], data_[pos + 1], data_[pos + 2]});
      def.bytes += data_[pos + 1];
    }
    if (header & 0x20) {
      if (pos >= end_)
        return cut("developer field count cut short");
      size_t devCount = data_[pos++];
      if (pos + devCount * 3 > end_)
        return cut("developer field definitions cut short");
      for (size_t i = 0; i < devCount; ++i, pos += 3)
        def.bytes += data_[pos + 1];
    }
    def.defined = true;
    return {};
  }

  FitStop compressed(uint8_t header, size_t& pos) {
    uint32_t offset = header & 0x1F;
    uint32_t low = lastTimestamp_ & 0x1F;
    uint32_t base = lastTimestamp_ & ~0x1Fu;
    lastTimestamp_ = offset >= low ? base + offset : base + offset + 0x20;
    return message((header >> 5) & 0x03, pos, true);
  }

  FitStop message(int local, size_t& pos, bool timed) {
    const MessageDef& def = defs_[local];
    if (!def.defined)
      return {"data message without a definition", false, 0, 0};
    if (def.bytes > end_ - pos)
      return cut("data message cut short");
    const uint8_t* p = data_ + pos;
    pos += def.bytes;
    Stamp stamp = noteTimestamp(def, p);
    if (def.global == kMesgRecord && stamp == Stamp::kBad)
      ++badTimeRecords;
    else if (def.global == kMesgRecord)
      record(def, p, timed || stamp == Stamp::kGood);
    else if (def.global == kMesgLap)
      lap(def, p);
    return {};
  }

  // Any message's time stamp is the reference of later compressed ones; a
  // stamp that is no time leaves the reference as it was.
  Stamp noteTimestamp(const MessageDef& def, const uint8_t* p) {
    for (const FieldDef& f : def.fields) {
      if (f.number == kFieldTimestamp) {
        if (!readTime(p, f, def.bigEndian, lastTimestamp_))
          return Stamp::kBad;
        timeSeen_ = true;
        return Stamp::kGood;
      }
      p += f.size;
    }
    return Stamp::kNone;
  }

  // A record without a time of its own belongs to the last time seen.
  // Devices split one instant over several records (position in one, heart
  // rate in the next): records of the same time make one row.
  void record(const MessageDef& def, const uint8_t* p, bool timed) {
    Row row;
    row.fill(kNaN);
    for (const FieldDef& f : def.fields) {
      double v;
      if (f.number == kFieldCompressedSpeedDistance && f.size == 3)
        speedDistance(p, row);
      else if (readInteger(p, f, def.bigEndian, v))
        store(f, v, row);
      p += f.size;
    }
    if (!timed && !timeSeen_) {
      ++untimedRecords;
      return;
    }
    row[kTime] = kFitEpoch + lastTimestamp_;
    if (row[kTime] > partTime_ + kMaxTimeJump || row[kTime] < partTime_ - kMaxTimeBack) {
      ++outOfLineRecords;
      return;
    }
    partTime_ = row[kTime];
    if (!rows.empty() && rows.back()[kTime] == row[kTime]) {
      for (int c = 0; c < kColumnCount; ++c)
        if (!std::isnan(row[c]))
          rows.back()[c] = row[c];
    } else if (rows.size() < kMaxLogCells / kColumnCount) {
      rows.push_back(row);
    }
  }

  // The compressed speed and distance of older devices and foot pods: 12
  // bits of speed (1/100 m/s), then 12 bits of distance (1/16 m) that roll
  // over and accumulate.
  void speedDistance(const uint8_t* p, Row& row) {
    uint32_t raw = p[0] | p[1] << 8 | static_cast<uint32_t>(p[2]) << 16;
    if (raw == 0xFFFFFF)
      return;
    row[kSpeed] = (raw & 0xFFF) / 100.0;
    uint32_t distance = raw >> 12;
    distanceSum_ += (distance - lastDistance_) & 0xFFF;
    lastDistance_ = distance;
    row[kDist] = static_cast<double>(distanceSum_) / 16.0;
  }

  static void store(const FieldDef& f, double v, Row& row) {
    switch (f.number) {
    case 0:
      if (f.size == 4)
        row[kLat] = v * kSemicircleToDegrees;
      break;
    case 1:
      if (f.size == 4)
        row[kLon] = v * kSemicircleToDegrees;
      break;
    case 2:
    case 78:
      row[kAlt] = v / 5.0 - 500.0;
      break;
    case 5:
      row[kDist] = v / 100.0;
      break;
    case 6:
    case 73:
      row[kSpeed] = v / 1000.0;
      break;
    case 3:
      row[kHeart] = v;
      break;
    case 4:
      row[kCadence] = v;
      break;
    case 7:
      row[kPower] = v;
      break;
    case 13:
      row[kTemp] = v;
      break;
    default:
      break;
    }
  }

  void lap(const MessageDef& def, const uint8_t* p) {
    for (const FieldDef& f : def.fields) {
      uint32_t start;
      if (f.number == 2 && readTime(p, f, def.bigEndian, start))
        lapStarts.push_back(kFitEpoch + start);
      p += f.size;
    }
  }

  const uint8_t* data_;
  size_t end_ = 0;
  std::array<MessageDef, 16> defs_;
  uint32_t lastTimestamp_ = 0;
  bool timeSeen_ = false;
  double partTime_ = kNaN; // time of the part's last kept record
  uint64_t distanceSum_ = 0;
  uint32_t lastDistance_ = 0;
};

bool hasFitHeader(std::string_view head) {
  return head.size() >= 12 && (head[0] == 12 || head[0] == 14) && head.substr(8, 4) == ".FIT";
}

// Where one part's messages end and where a following part may begin (0
// when none can: the part's size is unknown or runs to the end of the file).
struct FitPartExtent {
  size_t dataEnd = 0;
  size_t next = 0;
};

// The extent of the part at `data`; what does not match its header is
// reported with `where` (empty for the first part).
FitPartExtent partExtent(const uint8_t* data, size_t size, const std::string& where,
                         LogReadStatus& status) {
  auto warn = [&](std::string text) { status.warn(text + where); };
  size_t headerSize = data[0];
  if (headerSize == 14 && le16(data + 12) != 0 && le16(data + 12) != fitCrc(data, 12))
    warn("FIT header checksum does not match");
  uint32_t dataSize = data[4] | data[5] << 8 | data[6] << 16 | static_cast<uint32_t>(data[7]) << 24;
  size_t available = size - headerSize;
  if (dataSize == 0) { // a writer that never came back to fill in the size
    if (available >= 2 && fitCrc(data, size - 2) == le16(data + size - 2))
      return {size - 2, 0};
    warn("FIT header gives no data size: read to the end of the file");
    return {size, 0};
  }
  if (dataSize > available) {
    warn("FIT file cut short: " + std::to_string(available) + " of " + std::to_string(dataSize) +
         " data bytes present");
    return {size, 0};
  }
  size_t end = headerSize + dataSize;
  if (size - end < 2) {
    warn("FIT checksum missing: the file is cut short");
    return {end, 0};
  }
  if (fitCrc(data, end) != le16(data + end))
    warn("FIT file checksum does not match");
  return {end, end + 2};
}

class FitReader final : public LogReader {
public:
  const char* name() const override { return "FIT"; }

  int probe(std::string_view head, std::string_view extension) const override {
    if (hasFitHeader(head))
      return 100;
    return extension == "fit" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view bytes, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (!hasFitHeader(bytes) || bytes.size() < data[0])
      return LogRefuse(kErrHeader, "no FIT file header");
    LogReadStatus status;
    FitParser parser(data);
    FitStop firstStop;
    size_t pos = 0;
    for (int part = 1; pos < bytes.size(); ++part) {
      std::string_view rest = bytes.substr(pos);
      if (part > 1 && (!hasFitHeader(rest) || rest.size() < static_cast<uint8_t>(rest[0]))) {
        status.skipped(rest.size(), "bytes after the FIT data");
        break;
      }
      std::string where = part > 1 ? " (part " + std::to_string(part) + " of a chained file)" : "";
      FitPartExtent extent = partExtent(data + pos, rest.size(), where, status);
      size_t end = pos + extent.dataEnd;
      FitStop stop = parser.run(pos + data[pos], end);
      if (part == 1)
        firstStop = stop;
      if (stop.reason) {
        std::string at = "message " + std::to_string(stop.message) + " (" + stop.reason + "): ";
        status.warn((stop.cutShort ? "FIT data ends inside " : "FIT data unreadable from ") + at +
                    std::to_string(end - stop.offset) + " bytes skipped" + where);
      }
      if (extent.next == 0)
        break;
      pos += extent.next;
    }
    if (parser.rows.size() < 2) {
      if (firstStop.reason)
        return LogRefuse(kErrRead, firstStop.reason, firstStop.message);
      return LogRefuse(kErrNoData, "fewer than two record messages");
    }
    status.skipped(parser.untimedRecords, "record messages before any time stamp");
    status.skipped(parser.outOfLineRecords, "record messages with a time out of line");
    status.skipped(parser.badTimeRecords, "record messages with an invalid time stamp");
    fill(parser, record);
    return status;
  }

private:
  static void fill(const FitParser& parser, DataloggerRecord& record) {
    record.formatCode = kFormatFit;
    record.formatName = "FIT";
    record.readerGeographic = true;
    std::array<bool, kColumnCount> seen{};
    for (const Row& row : parser.rows)
      for (int c = 0; c < kColumnCount; ++c)
        seen[c] = seen[c] || !std::isnan(row[c]);
    std::vector<int> used;
    for (int c = 0; c < kColumnCount; ++c)
      if (seen[c] || c == kTime) {
        used.push_back(c);
        record.addField(kColumnNames[c]);
      }
    bool laps = parser.lapStarts.size() >= 2;
    if (laps)
      record.addField("Lap");
    record.timeField = 0;
    std::vector<double> starts = parser.lapStarts;
    std::sort(starts.begin(), starts.end());
    for (auto& column : record.columns)
      column.reserve(parser.rows.size());
    std::vector<double> out(record.fieldNames.size());
    for (const Row& row : parser.rows) {
      for (size_t k = 0; k < used.size(); ++k)
        out[k] = row[used[k]];
      if (laps)
        out.back() = static_cast<double>(std::upper_bound(starts.begin(), starts.end(), row[kTime]) -
                                         starts.begin());
      record.appendRow(out);
    }
  }
};

} // namespace

const LogReader& FitLogReader() {
  static const FitReader reader;
  return reader;
}
