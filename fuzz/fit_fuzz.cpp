// The FIT log reader on arbitrary bytes, once as they come and once wrapped
// in a valid header and checksum so that the message parser itself sees
// them: it refuses or reads, never crashes, hangs or reads out of bounds.
#include <string>

#include "fuzz/datalog_fuzz_common.h"
#include "media/logs/log_readers.h"

namespace {

uint16_t crcOf(const std::string& bytes) {
  static const uint16_t table[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                     0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
  uint16_t crc = 0;
  for (char c : bytes) {
    uint8_t byte = static_cast<uint8_t>(c);
    uint16_t tmp = table[crc & 0xF];
    crc = ((crc >> 4) & 0x0FFF) ^ tmp ^ table[byte & 0xF];
    tmp = table[crc & 0xF];
    crc = ((crc >> 4) & 0x0FFF) ^ tmp ^ table[(byte >> 4) & 0xF];
  }
  return crc;
}

void appendLe(std::string& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDataLogReader(FitLogReader(), data, size);
  std::string file(1, '\x0E');
  file += '\x20';
  appendLe(file, 2132, 2);
  appendLe(file, static_cast<uint32_t>(size), 4);
  file += ".FIT";
  appendLe(file, crcOf(file), 2);
  file.append(reinterpret_cast<const char*>(data), size);
  appendLe(file, crcOf(file), 2);
  return FuzzDataLogReader(FitLogReader(), reinterpret_cast<const uint8_t*>(file.data()), file.size());
}
