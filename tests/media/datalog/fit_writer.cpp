#include "media/datalog/fit_writer.h"

#include <cmath>

namespace {

void put(std::string& out, uint64_t value, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i) {
    int shift = 8 * (bigEndian ? size - 1 - i : i);
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

int32_t semicircles(double degrees) { return static_cast<int32_t>(std::lround(degrees * 2147483648.0 / 180.0)); }

} // namespace

uint16_t FitTestCrc(const std::string& bytes, size_t count) {
  static const uint16_t table[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                     0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
  uint16_t crc = 0;
  for (size_t i = 0; i < count; ++i) {
    uint8_t byte = static_cast<uint8_t>(bytes[i]);
    uint16_t tmp = table[crc & 0xF];
    crc = ((crc >> 4) & 0x0FFF) ^ tmp ^ table[byte & 0xF];
    tmp = table[crc & 0xF];
    crc = ((crc >> 4) & 0x0FFF) ^ tmp ^ table[(byte >> 4) & 0xF];
  }
  return crc;
}

std::string WriteFit(const std::vector<FitPoint>& points, const std::vector<uint32_t>& lapStarts,
                     bool bigEndianRecords) {
  std::string body;
  bool be = bigEndianRecords;
  // Local 0: record = 20 with a developer field of 2 bytes.
  body += static_cast<char>(0x40 | 0x20);
  body += '\0';
  body += static_cast<char>(be ? 1 : 0);
  put(body, 20, 2, be);
  const uint8_t fields[][3] = {{253, 4, 0x86}, {0, 4, 0x85}, {1, 4, 0x85}, {2, 2, 0x84}, {6, 2, 0x84}, {3, 1, 0x02}};
  body += static_cast<char>(6);
  for (const auto& f : fields)
    body.append(reinterpret_cast<const char*>(f), 3);
  body += static_cast<char>(1);
  body += std::string("\x00\x02\x00", 3);
  // Local 1: record without its time stamp, for compressed headers.
  body += static_cast<char>(0x41);
  body += '\0';
  body += static_cast<char>(be ? 1 : 0);
  put(body, 20, 2, be);
  body += static_cast<char>(5);
  for (int k = 1; k < 6; ++k)
    body.append(reinterpret_cast<const char*>(fields[k]), 3);
  for (size_t i = 0; i < points.size(); ++i) {
    const FitPoint& p = points[i];
    bool compressedHeader = i % 2 == 1 && p.timestamp - points[i - 1].timestamp < 16;
    if (compressedHeader) {
      body += static_cast<char>(0x80 | (1 << 5) | (p.timestamp & 0x1F));
    } else {
      body += '\0';
      put(body, p.timestamp, 4, be);
    }
    put(body, static_cast<uint32_t>(semicircles(p.lat)), 4, be);
    put(body, static_cast<uint32_t>(semicircles(p.lon)), 4, be);
    put(body, static_cast<uint64_t>(std::lround((p.altitude + 500) * 5)), 2, be);
    put(body, static_cast<uint64_t>(std::lround(p.speed * 1000)), 2, be);
    body += static_cast<char>(p.heartRate);
    if (!compressedHeader)
      body += std::string("\x12\x34", 2); // developer field
  }
  // Local 2: lap = 19 with its start time.
  body += static_cast<char>(0x42);
  body += std::string("\x00\x00", 2);
  put(body, 19, 2, false);
  body += static_cast<char>(1);
  body += std::string("\x02\x04\x86", 3);
  for (uint32_t start : lapStarts) {
    body += static_cast<char>(0x02);
    put(body, start, 4, false);
  }
  std::string file;
  file += static_cast<char>(14);
  file += static_cast<char>(0x20);
  put(file, 2132, 2, false);
  put(file, body.size(), 4, false);
  file += ".FIT";
  put(file, FitTestCrc(file, 12), 2, false);
  file += body;
  put(file, FitTestCrc(file, file.size()), 2, false);
  return file;
}
