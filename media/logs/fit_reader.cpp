// FIT activity files, from the public protocol description: a 12- or
// 14-byte header, definition and data messages (normal and compressed
// time-stamp headers, either byte order, developer fields skipped), and a
// CRC-16 trailer. Record messages give the rows; lap messages the laps.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/base/error.h"
#include "media/logs/log_readers.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kFitEpoch = 631065600.0; // 1989-12-31T00:00:00Z in Unix seconds
constexpr double kSemicircleToDegrees = 180.0 / 2147483648.0;
constexpr uint16_t kMesgLap = 19, kMesgRecord = 20;

enum FitColumn { kTime, kLat, kLon, kAlt, kDist, kSpeed, kHeart, kCadence, kPower, kTemp, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"Time",        "Latitude",   "Longitude", "Altitude",
                                                "Distance (m)", "Speed (m/s)", "Heart Rate", "Cadence",
                                                "Power",       "Temperature"};

uint16_t fitCrc(uint16_t crc, uint8_t byte) {
  static const uint16_t table[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                     0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
  uint16_t tmp = table[crc & 0xF];
  crc = (crc >> 4) & 0x0FFF;
  crc = crc ^ tmp ^ table[byte & 0xF];
  tmp = table[crc & 0xF];
  crc = (crc >> 4) & 0x0FFF;
  return crc ^ tmp ^ table[(byte >> 4) & 0xF];
}

struct FieldDef {
  uint8_t number, size, baseType;
};

struct MessageDef {
  bool defined = false;
  bool bigEndian = false;
  uint16_t global = 0;
  std::vector<FieldDef> fields;
  size_t developerBytes = 0;
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

class FitParser {
public:
  FitParser(const uint8_t* data, size_t size) : data_(data), end_(size) {}

  LogReadStatus run(size_t start) {
    size_t pos = start;
    int index = 0;
    while (pos < end_) {
      ++index;
      uint8_t header = data_[pos++];
      LogReadStatus status = (header & 0x80) ? compressed(header, pos)
                             : (header & 0x40) ? definition(header, pos)
                                               : message(header & 0x0F, pos, false);
      if (!status.ok()) {
        status.line = index;
        return status;
      }
    }
    return {};
  }

  std::vector<std::array<double, kColumnCount>> rows;
  std::vector<double> lapStarts;

private:
  LogReadStatus definition(uint8_t header, size_t& pos) {
    if (pos + 5 > end_)
      return LogRefuse(kErrRead, "definition message cut short");
    MessageDef& def = defs_[header & 0x0F];
    def = MessageDef();
    def.bigEndian = data_[pos + 1] == 1;
    def.global = def.bigEndian ? static_cast<uint16_t>(data_[pos + 2] << 8 | data_[pos + 3])
                               : static_cast<uint16_t>(data_[pos + 3] << 8 | data_[pos + 2]);
    size_t count = data_[pos + 4];
    pos += 5;
    if (pos + count * 3 > end_)
      return LogRefuse(kErrRead, "field definitions cut short");
    for (size_t i = 0; i < count; ++i, pos += 3)
      def.fields.push_back({data_[pos], data_[pos + 1], data_[pos + 2]});
    if (header & 0x20) {
      if (pos >= end_)
        return LogRefuse(kErrRead, "developer field count cut short");
      size_t devCount = data_[pos++];
      if (pos + devCount * 3 > end_)
        return LogRefuse(kErrRead, "developer field definitions cut short");
      for (size_t i = 0; i < devCount; ++i, pos += 3)
        def.developerBytes += data_[pos + 1];
    }
    def.defined = true;
    return {};
  }

  LogReadStatus compressed(uint8_t header, size_t& pos) {
    uint32_t offset = header & 0x1F;
    uint32_t low = lastTimestamp_ & 0x1F;
    uint32_t base = lastTimestamp_ & ~0x1Fu;
    lastTimestamp_ = offset >= low ? base + offset : base + offset + 0x20;
    return message((header >> 5) & 0x03, pos, true);
  }

  LogReadStatus message(int local, size_t& pos, bool timed) {
    const MessageDef& def = defs_[local];
    if (!def.defined)
      return LogRefuse(kErrRead, "data message without a definition");
    size_t size = def.developerBytes;
    for (const FieldDef& f : def.fields)
      size += f.size;
    if (pos + size > end_)
      return LogRefuse(kErrRead, "data message cut short");
    const uint8_t* p = data_ + pos;
    pos += size;
    if (def.global == kMesgRecord)
      record(def, p, timed);
    else if (def.global == kMesgLap)
      lap(def, p);
    else
      noteTimestamp(def, p);
    return {};
  }

  void noteTimestamp(const MessageDef& def, const uint8_t* p) {
    for (const FieldDef& f : def.fields) {
      double v;
      if (f.number == 253 && f.size == 4 && readInteger(p, f, def.bigEndian, v))
        lastTimestamp_ = static_cast<uint32_t>(v);
      p += f.size;
    }
  }

  void record(const MessageDef& def, const uint8_t* p, bool timed) {
    std::array<double, kColumnCount> row;
    row.fill(kNaN);
    bool hasTime = timed;
    for (const FieldDef& f : def.fields) {
      double v;
      if (readInteger(p, f, def.bigEndian, v))
        hasTime = store(f, v, row) || hasTime;
      p += f.size;
    }
    row[kTime] = kFitEpoch + lastTimestamp_;
    if (hasTime && rows.size() < kMaxLogCells / kColumnCount)
      rows.push_back(row);
  }

  // Returns true for the time stamp.
  bool store(const FieldDef& f, double v, std::array<double, kColumnCount>& row) {
    switch (f.number) {
    case 253:
      if (f.size != 4)
        return false;
      lastTimestamp_ = static_cast<uint32_t>(v);
      return true;
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
    return false;
  }

  void lap(const MessageDef& def, const uint8_t* p) {
    for (const FieldDef& f : def.fields) {
      double v;
      if (f.number == 2 && f.size == 4 && readInteger(p, f, def.bigEndian, v))
        lapStarts.push_back(kFitEpoch + v);
      p += f.size;
    }
  }

  const uint8_t* data_;
  size_t end_;
  std::array<MessageDef, 16> defs_;
  uint32_t lastTimestamp_ = 0;
};

class FitReader final : public LogReader {
public:
  const char* name() const override { return "FIT"; }

  int probe(std::string_view head, std::string_view extension) const override {
    if (head.size() >= 12 && (head[0] == 12 || head[0] == 14) && head.substr(8, 4) == ".FIT")
      return 100;
    return extension == "fit" ? 5 : 0;
  }

  LogReadStatus parse(std::string_view bytes, DataloggerRecord& record) const override {
    record = DataloggerRecord();
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < 12 || (data[0] != 12 && data[0] != 14) || bytes.substr(8, 4) != ".FIT")
      return LogRefuse(kErrHeader, "no FIT file header");
    size_t headerSize = data[0];
    uint32_t dataSize = data[4] | data[5] << 8 | data[6] << 16 | static_cast<uint32_t>(data[7]) << 24;
    if (headerSize > bytes.size() || dataSize > bytes.size() - headerSize ||
        bytes.size() - headerSize - dataSize < 2)
      return LogRefuse(kErrRead, "file shorter than its header says");
    uint16_t crc = 0;
    for (size_t i = 0; i < headerSize + dataSize; ++i)
      crc = fitCrc(crc, data[i]);
    size_t trailer = headerSize + dataSize;
    if (crc != (data[trailer] | data[trailer + 1] << 8))
      return LogRefuse(kErrIntegrity, "FIT checksum does not match");
    FitParser parser(data, headerSize + dataSize);
    LogReadStatus status = parser.run(headerSize);
    if (!status.ok())
      return status;
    return fill(parser, record);
  }

private:
  static LogReadStatus fill(const FitParser& parser, DataloggerRecord& record) {
    if (parser.rows.size() < 2)
      return LogRefuse(kErrNoData, "fewer than two record messages");
    record.formatCode = kFormatFit;
    record.formatName = "FIT";
    record.readerGeographic = true;
    std::array<bool, kColumnCount> seen{};
    for (const auto& row : parser.rows)
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
    std::vector<double> out(record.fieldNames.size());
    for (const auto& row : parser.rows) {
      for (size_t k = 0; k < used.size(); ++k)
        out[k] = row[used[k]];
      if (laps)
        out.back() = static_cast<double>(std::upper_bound(starts.begin(), starts.end(), row[kTime]) -
                                         starts.begin());
      record.appendRow(out);
    }
    return {};
  }
};

} // namespace

const LogReader& FitLogReader() {
  static const FitReader reader;
  return reader;
}
