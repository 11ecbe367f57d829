#include "media/logs/text_scan.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

std::vector<std::string_view> SplitLines(std::string_view data) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (c != '\n' && c != '\r')
      continue;
    lines.push_back(data.substr(start, i - start));
    if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  if (start < data.size())
    lines.push_back(data.substr(start));
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t' || text[b] == '\r' || text[b] == '\n'))
    ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r' ||
                   text[e - 1] == '\n'))
    --e;
  return text.substr(b, e - b);
}

bool ParseNumber(std::string_view cell, double& value, bool decimalComma) {
  cell = TrimBlanks(cell);
  if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
    cell = TrimBlanks(cell.substr(1, cell.size() - 2));
  if (cell.empty() || cell.size() > 64)
    return false;
  char buffer[72];
  size_t n = 0;
  size_t i = 0;
  if (cell[0] == '+')
    i = 1;
  for (; i < cell.size(); ++i) {
    char c = cell[i];
    if (c == ',' && decimalComma)
      c = '.';
    buffer[n++] = c;
  }
  double parsed = 0;
  auto result = std::from_chars(buffer, buffer + n, parsed);
  if (result.ec != std::errc() || result.ptr != buffer + n || !std::isfinite(parsed))
    return false;
  value = parsed;
  return true;
}

namespace {

bool readUnsigned(std::string_view text, size_t& pos, size_t digits, long long& out) {
  if (pos + digits > text.size())
    return false;
  long long v = 0;
  for (size_t k = 0; k < digits; ++k) {
    char c = text[pos + k];
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + (c - '0');
  }
  pos += digits;
  out = v;
  return true;
}

bool readFraction(std::string_view text, size_t& pos, double& out) {
  out = 0;
  if (pos >= text.size() || (text[pos] != '.' && text[pos] != ','))
    return true;
  ++pos;
  double scale = 0.1;
  size_t digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (digits++ < 12)
      out += (text[pos] - '0') * scale;
    scale *= 0.1;
    ++pos;
  }
  return digits > 0;
}

} // namespace

bool ParseClockTime(std::string_view cell, double& seconds) {
  cell = TrimBlanks(cell);
  double parts[3] = {0, 0, 0};
  int count = 0;
  size_t pos = 0;
  while (count < 3) {
    size_t start = pos;
    long long whole = 0;
    while (pos < cell.size() && cell[pos] >= '0' && cell[pos] <= '9' && pos - start < 9)
      whole = whole * 10 + (cell[pos++] - '0');
    if (pos == start)
      return false;
    parts[count++] = static_cast<double>(whole);
    if (pos < cell.size() && cell[pos] == ':') {
      ++pos;
      continue;
    }
    double fraction = 0;
    if (!readFraction(cell, pos, fraction))
      return false;
    parts[count - 1] += fraction;
    break;
  }
  if (pos != cell.size() || count < 2)
    return false;
  seconds = count == 3 ? parts[0] * 3600 + parts[1] * 60 + parts[2] : parts[0] * 60 + parts[1];
  return true;
}

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool ParseIsoDateTime(std::string_view cell, double& seconds) {
  cell = TrimBlanks(cell);
  if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
    cell = cell.substr(1, cell.size() - 2);
  size_t pos = 0;
  long long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!readUnsigned(cell, pos, 4, year) || pos >= cell.size() || cell[pos++] != '-' ||
      !readUnsigned(cell, pos, 2, month) || pos >= cell.size() || cell[pos++] != '-' ||
      !readUnsigned(cell, pos, 2, day))
    return false;
  if (month < 1 || month > 12 || day < 1 || day > 31)
    return false;
  double fraction = 0;
  double zone = 0;
  if (pos < cell.size() && (cell[pos] == 'T' || cell[pos] == ' ')) {
    ++pos;
    if (!readUnsigned(cell, pos, 2, hour) || pos >= cell.size() || cell[pos++] != ':' ||
        !readUnsigned(cell, pos, 2, minute))
      return false;
    if (pos < cell.size() && cell[pos] == ':') {
      ++pos;
      if (!readUnsigned(cell, pos, 2, second) || !readFraction(cell, pos, fraction))
        return false;
    }
    if (hour > 24 || minute > 59 || second > 60)
      return false;
    if (pos < cell.size() && (cell[pos] == 'Z' || cell[pos] == 'z')) {
      ++pos;
    } else if (pos < cell.size() && (cell[pos] == '+' || cell[pos] == '-')) {
      int sign = cell[pos++] == '-' ? -1 : 1;
      long long zh = 0, zm = 0;
      if (!readUnsigned(cell, pos, 2, zh))
        return false;
      if (pos < cell.size() && cell[pos] == ':')
        ++pos;
      if (pos < cell.size())
        if (!readUnsigned(cell, pos, 2, zm))
          return false;
      zone = sign * (zh * 3600.0 + zm * 60.0);
    }
  }
  if (pos != cell.size())
    return false;
  long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  seconds = days * 86400.0 + hour * 3600.0 + minute * 60.0 + second + fraction - zone;
  return true;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  if (needle.empty())
    return true;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i)
    if (StartsWithNoCase(text.substr(i), needle))
      return true;
  return false;
}
