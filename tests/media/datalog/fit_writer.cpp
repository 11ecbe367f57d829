#include "media/datalog/fit_writer.h"

#include <cmath>

namespace {

void put(std::string& out, uint64_t value, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i) {
    int shift = 8 * (bigEndian ? size - 1 - i : i);
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

} // namespace

int32_t FitSemicircles(double degrees) {
  return static_cast<int32_t>(std::lround(degrees * 2147483648.0 / 180.0));
}

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

void FitBuilder::define(int local, uint16_t global, const std::vector<FitFieldDef>& fields,
                        bool bigEndian, uint8_t developerBytes) {
  locals_[local] = {fields, bigEndian, developerBytes};
  body_ += static_cast<char>(0x40 | (developerBytes ? 0x20 : 0) | local);
  body_ += '\0';
  body_ += static_cast<char>(bigEndian ? 1 : 0);
  put(body_, global, 2, bigEndian);
  body_ += static_cast<char>(fields.size());
  for (const FitFieldDef& f : fields) {
    body_ += static_cast<char>(f.number);
    body_ += static_cast<char>(f.size);
    body_ += static_cast<char>(f.baseType);
  }
  if (developerBytes) {
    body_ += static_cast<char>(1);
    body_ += '\0';
    body_ += static_cast<char>(developerBytes);
    body_ += '\0';
  }
}

void FitBuilder::data(int local, const std::vector<uint64_t>& values, int compressedTime) {
  const Local& l = locals_[local];
  if (compressedTime >= 0)
    body_ += static_cast<char>(0x80 | (local << 5) | (compressedTime & 0x1F));
  else
    body_ += static_cast<char>(local);
  for (size_t k = 0; k < l.fields.size(); ++k) {
    // Byte arrays keep their order whatever the message's byte order.
    bool bytes = (l.fields[k].baseType & 0x1F) == 0x0D;
    put(body_, k < values.size() ? values[k] : ~0ull, l.fields[k].size, l.bigEndian && !bytes);
  }
  body_.append(l.developerBytes, '\x5A');
}

std::string FitBuilder::finish() const {
  std::string file;
  file += static_cast<char>(14);
  file += static_cast<char>(0x20);
  put(file, 2132, 2, false);
  put(file, body_.size(), 4, false);
  file += ".FIT";
  put(file, FitTestCrc(file, 12), 2, false);
  file += body_;
  put(file, FitTestCrc(file, file.size()), 2, false);
  return file;
}

std::string WriteFit(const std::vector<FitPoint>& points, const std::vector<uint32_t>& lapStarts,
                     bool bigEndianRecords, std::vector<size_t>* recordEnds) {
  FitBuilder fit;
  // Local 0: record with its time stamp and a developer field; local 1
  // the same without the time stamp, for compressed headers.
  std::vector<FitFieldDef> fields = {{253, 4, 0x86}, {0, 4, 0x85}, {1, 4, 0x85},
                                     {2, 2, 0x84},   {6, 2, 0x84}, {3, 1, 0x02}};
  fit.define(0, 20, fields, bigEndianRecords, 2);
  fit.define(1, 20, std::vector<FitFieldDef>(fields.begin() + 1, fields.end()), bigEndianRecords);
  for (size_t i = 0; i < points.size(); ++i) {
    const FitPoint& p = points[i];
    std::vector<uint64_t> values = {static_cast<uint32_t>(FitSemicircles(p.lat)),
                                    static_cast<uint32_t>(FitSemicircles(p.lon)),
                                    static_cast<uint64_t>(std::lround((p.altitude + 500) * 5)),
                                    static_cast<uint64_t>(std::lround(p.speed * 1000)), p.heartRate};
    if (i % 2 == 1 && p.timestamp - points[i - 1].timestamp < 16) {
      fit.data(1, values, static_cast<int>(p.timestamp & 0x1F));
    } else {
      values.insert(values.begin(), p.timestamp);
      fit.data(0, values);
    }
    if (recordEnds)
      recordEnds->push_back(fit.end());
  }
  fit.define(2, 19, {{2, 4, 0x86}});
  for (uint32_t start : lapStarts)
    fit.data(2, {start});
  return fit.finish();
}
