#include "media/logs/log_text.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace {

constexpr size_t kStoredNameUnits = 63;

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

uint8_t byteAt(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

// UTF-16 code units from `start`; unpaired surrogates become U+FFFD and an
// odd last byte (a file cut in a unit) is dropped.
std::string utf16ToUtf8(std::string_view bytes, size_t start, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2 + 16);
  auto unit = [&](size_t i) {
    return bigEndian ? static_cast<uint32_t>(byteAt(bytes, i) << 8 | byteAt(bytes, i + 1))
                     : static_cast<uint32_t>(byteAt(bytes, i + 1) << 8 | byteAt(bytes, i));
  };
  for (size_t i = start; i + 1 < bytes.size(); i += 2) {
    uint32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
  }
  return out;
}

// ASCII text in 16-bit units without a byte-order mark: every other byte
// zero, the rest printable, over the first units.
int bomLessUtf16(std::string_view bytes) {
  size_t n = std::min<size_t>(bytes.size() & ~size_t(1), 512);
  if (n < 8)
    return 0;
  for (int zeroAt = 0; zeroAt < 2; ++zeroAt) {
    bool all = true;
    for (size_t i = 0; i < n && all; i += 2) {
      uint8_t zero = byteAt(bytes, i + zeroAt), ch = byteAt(bytes, i + 1 - zeroAt);
      all = zero == 0 && ch != 0 && (ch >= 0x20 || ch == '\t' || ch == '\r' || ch == '\n') && ch < 0x7F;
    }
    if (all)
      return zeroAt == 1 ? 1 : 2; // 1 little endian, 2 big endian
  }
  return 0;
}

size_t utf16Units(std::string_view text) {
  size_t units = 0;
  for (char ch : text) {
    uint8_t c = static_cast<uint8_t>(ch);
    units += (c & 0xC0) != 0x80; // one per character...
    units += c >= 0xF0;          // ...and two for those beyond 16 bits
  }
  return units;
}

// "Speed (km/h)" and 2 give "Speed 2 (km/h)": the number goes before a
// unit, and the name part is shortened when the whole would be too long.
std::string numbered(const std::string& name, int n) {
  size_t unit = name.find_first_of("([");
  if (unit == 0 || unit == std::string::npos)
    unit = name.size();
  std::string base = name.substr(0, unit);
  while (!base.empty() && base.back() == ' ')
    base.pop_back();
  std::string number(" ");
  number.append(std::to_string(n));
  std::string tail(number);
  if (unit < name.size())
    tail.append(" ").append(name, unit, std::string::npos);
  size_t tailUnits = utf16Units(tail);
  if (tailUnits + 1 > kStoredNameUnits)
    return ClipUtf8ToUtf16Units(base, kStoredNameUnits - number.size()).append(number);
  return ClipUtf8ToUtf16Units(base, kStoredNameUnits - tailUnits).append(tail);
}

} // namespace

std::string_view LogTextOf(std::string_view bytes, std::string& storage) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return bytes.substr(3);
  if (bytes.size() >= 2 && byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xFE) {
    storage = utf16ToUtf8(bytes, 2, false);
    return storage;
  }
  if (bytes.size() >= 2 && byteAt(bytes, 0) == 0xFE && byteAt(bytes, 1) == 0xFF) {
    storage = utf16ToUtf8(bytes, 2, true);
    return storage;
  }
  if (int order = bomLessUtf16(bytes)) {
    storage = utf16ToUtf8(bytes, 0, order == 2);
    return storage;
  }
  return bytes;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    uint8_t c = byteAt(text, i);
    size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
    if (extra == 4 || (extra > 0 && c < 0xC2) || text.size() - i <= extra)
      return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((byteAt(text, i + k) & 0xC0) != 0x80)
        return false;
    i += extra + 1;
  }
  return true;
}

std::string Cp1252ToUtf8(std::string_view text) {
  // 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
  static const uint16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  for (char ch : text) {
    uint8_t c = static_cast<uint8_t>(ch);
    uint32_t cp = c;
    if (c >= 0x80 && c < 0xA0)
      cp = kHigh[c - 0x80] ? kHigh[c - 0x80] : 0xFFFD;
    appendUtf8(out, cp);
  }
  return out;
}

std::string ClipUtf8ToUtf16Units(std::string_view text, size_t units) {
  size_t used = 0, i = 0;
  while (i < text.size()) {
    uint8_t c = byteAt(text, i);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    size_t need = length == 4 ? 2 : 1;
    if (used + need > units || i + length > text.size())
      break;
    used += need;
    i += length;
  }
  return std::string(text.substr(0, i));
}

void LogTidyFieldNames(DataloggerRecord& record) {
  std::set<std::string> taken;
  for (std::string& name : record.fieldNames) {
    if (!IsValidUtf8(name))
      name = Cp1252ToUtf8(name);
    name = ClipUtf8ToUtf16Units(name, kStoredNameUnits);
  }
  for (size_t f = 0; f < record.fieldNames.size(); ++f) {
    std::string& name = record.fieldNames[f];
    if (taken.insert(name).second)
      continue;
    for (int n = 2;; ++n) {
      std::string candidate = numbered(name, n);
      if (taken.insert(candidate).second) {
        name = candidate;
        break;
      }
    }
  }
}
