#include "media/logs/date_text.h"

#include <cctype>

#include "media/logs/text_scan.h"

namespace {

struct Parts {
  long long year = -1, month = -1, day = -1;
  double tod = -1; // seconds after midnight
  int meridiem = 0; // 1 AM, 2 PM
  double zone = 0;  // seconds east of UTC
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

struct Cursor {
  std::string_view text;
  size_t pos = 0;
  bool done() const { return pos >= text.size(); }
  char peek(size_t ahead = 0) const { return pos + ahead < text.size() ? text[pos + ahead] : '\0'; }
  // Up to `max` digits as a number; false without any.
  bool number(long long& value, size_t& digits, size_t max = 9) {
    value = 0;
    digits = 0;
    while (!done() && isDigit(peek()) && digits < max) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    return digits > 0;
  }
  std::string word() {
    std::string out;
    while (!done() && (isAlpha(peek()) || (peek() == '.' && !out.empty() && out.size() < 3)))
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos++])));
    while (!out.empty() && out.back() == '.')
      out.pop_back();
    return out;
  }
};

int monthOf(const std::string& w) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  static const char* const kFull[] = {"january", "february", "march",     "april",   "may",      "june",
                                      "july",    "august",   "september", "october", "november", "december"};
  for (int m = 0; m < 12; ++m)
    if (w == kMonths[m] || w == kFull[m] || (m == 8 && w == "sept"))
      return m + 1;
  return 0;
}

bool isWeekday(const std::string& w) {
  static const char* const kDays[] = {"mon", "tue", "tues", "wed", "thu", "thur", "thurs", "fri", "sat", "sun",
                                      "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};
  for (const char* d : kDays)
    if (w == d)
      return true;
  return false;
}

// Hours east of UTC of common zone names; false for an unknown word.
bool zoneHours(const std::string& w, double& hours) {
  static const struct {
    const char* name;
    double hours;
  } kZones[] = {{"utc", 0},    {"gmt", 0},    {"z", 0},      {"wet", 0},    {"west", 1},  {"bst", 1},
                {"cet", 1},    {"cest", 2},   {"met", 1},    {"mest", 2},   {"eet", 2},   {"eest", 3},
                {"msk", 3},    {"est", -5},   {"edt", -4},   {"cst", -6},   {"cdt", -5},  {"mst", -7},
                {"mdt", -6},   {"pst", -8},   {"pdt", -7},   {"akst", -9},  {"akdt", -8}, {"hst", -10},
                {"aest", 10},  {"aedt", 11},  {"acst", 9.5}, {"acdt", 10.5}, {"awst", 8}, {"nzst", 12},
                {"nzdt", 13},  {"jst", 9},    {"kst", 9},    {"sgt", 8},    {"hkt", 8},   {"sast", 2},
                {"brt", -3},   {"art", -3},   {"ist", 5.5}};
  for (const auto& z : kZones)
    if (w == z.name) {
      hours = z.hours;
      return true;
    }
  return false;
}

// "hh:mm(:ss(.fff))" after the first number was read.
bool clock(Cursor& c, long long hours, Parts& p) {
  long long minutes = 0, secs = 0;
  size_t digits = 0;
  ++c.pos; // ':'
  if (!c.number(minutes, digits, 2) || minutes > 59)
    return false;
  double fraction = 0;
  if (c.peek() == ':') {
    ++c.pos;
    if (!c.number(secs, digits, 2) || secs > 60)
      return false;
  }
  if ((c.peek() == '.' || c.peek() == ',') && isDigit(c.peek(1))) {
    ++c.pos;
    double scale = 0.1;
    while (!c.done() && isDigit(c.peek())) {
      fraction += (c.text[c.pos++] - '0') * scale;
      scale *= 0.1;
    }
  }
  p.tod = hours * 3600.0 + minutes * 60.0 + secs + fraction;
  return hours <= 24;
}

// A numeric zone "+02:00", "+0200", "-5" after "GMT"/"UTC" or a time.
bool numericZone(Cursor& c, Parts& p) {
  int sign = c.peek() == '-' ? -1 : 1;
  ++c.pos;
  long long hh = 0, mm = 0;
  size_t digits = 0;
  if (!c.number(hh, digits, 2))
    return false;
  if (c.peek() == ':')
    ++c.pos;
  if (isDigit(c.peek()) && !c.number(mm, digits, 2))
    return false;
  if (hh > 14 || mm > 59)
    return false;
  p.zone = sign * (hh * 3600.0 + mm * 60.0);
  return true;
}

// "a-b-c", "a/b/c" or "a.b.c" (b may be a month name) after `first`.
bool date(Cursor& c, long long first, size_t firstDigits, Parts& p) {
  char sep = c.peek();
  ++c.pos;
  long long second = 0, third = 0;
  size_t digits = 0, thirdDigits = 0;
  bool namedMonth = false;
  if (isAlpha(c.peek())) {
    second = monthOf(c.word());
    namedMonth = second > 0;
    if (!namedMonth)
      return false;
  } else if (!c.number(second, digits, 2)) {
    return false;
  }
  if (c.peek() != sep)
    return false;
  ++c.pos;
  if (!c.number(third, thirdDigits, 4))
    return false;
  if (firstDigits == 4) {
    p.year = first, p.month = second, p.day = third;
  } else {
    p.year = thirdDigits == 2 ? 2000 + third : third;
    bool monthFirst = !namedMonth && second > 12 && first <= 12;
    p.month = monthFirst ? first : second;
    p.day = monthFirst ? second : first;
  }
  return p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= 31;
}

bool word(Cursor& c, Parts& p) {
  std::string w = c.word();
  if (w == "am" || w == "a.m" || w == "pm" || w == "p.m") {
    p.meridiem = w[0] == 'a' ? 1 : 2;
    return p.tod >= 0;
  }
  if (w == "t" && p.day > 0 && isDigit(c.peek()))
    return true;
  if (isWeekday(w))
    return true;
  if (int m = monthOf(w)) {
    p.month = m;
    return true;
  }
  if ((w == "gmt" || w == "utc") && (c.peek() == '+' || c.peek() == '-'))
    return numericZone(c, p);
  double hours = 0;
  if (zoneHours(w, hours)) {
    p.zone = hours * 3600.0;
    return true;
  }
  // Another zone name after the time: its offset is unknown, the times
  // of one file keep their spacing.
  return p.tod >= 0 && w.size() >= 2 && w.size() <= 5;
}

bool number(Cursor& c, Parts& p) {
  long long value = 0;
  size_t digits = 0;
  c.number(value, digits, 4);
  char next = c.peek();
  if (next == ':')
    return p.tod < 0 && clock(c, value, p);
  if ((next == '-' || next == '/' || next == '.') && (isDigit(c.peek(1)) || isAlpha(c.peek(1))) &&
      p.day < 0)
    return date(c, value, digits, p);
  if (digits == 4 && p.year < 0) {
    p.year = value;
    return true;
  }
  if (digits <= 2 && value >= 1 && value <= 31 && p.day < 0) {
    p.day = value;
    return true;
  }
  return false;
}

bool scan(std::string_view text, Parts& p) {
  Cursor c{text, 0};
  while (!c.done()) {
    char ch = c.peek();
    if (ch == ' ' || ch == ',' || ch == '\t') {
      ++c.pos;
    } else if (isDigit(ch)) {
      if (!number(c, p))
        return false;
    } else if (isAlpha(ch)) {
      if (!word(c, p))
        return false;
    } else if ((ch == '+' || ch == '-') && p.tod >= 0 && isDigit(c.peek(1))) {
      if (!numericZone(c, p))
        return false;
    } else {
      return false;
    }
  }
  return true;
}

} // namespace

TimeText ParseTimeText(std::string_view cell, double& seconds) {
  cell = TrimBlanks(cell);
  if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
    cell = TrimBlanks(cell.substr(1, cell.size() - 2));
  if (cell.size() < 4 || cell.size() > 64 || (!isDigit(cell[0]) && !isAlpha(cell[0])))
    return TimeText::kNone;
  // The plain forms first: they are most of what reaches here.
  if (ParseClockTime(cell, seconds))
    return TimeText::kClock;
  if (ParseIsoDateTime(cell, seconds))
    return cell.find(':') == std::string_view::npos ? TimeText::kDate : TimeText::kDateTime;
  Parts p;
  if (!scan(cell, p))
    return TimeText::kNone;
  double tod = p.tod < 0 ? 0 : p.tod;
  if (p.meridiem != 0) {
    if (tod >= 13 * 3600.0)
      return TimeText::kNone;
    if (tod >= 12 * 3600.0)
      tod -= 12 * 3600.0; // 12:xx AM is just after midnight, 12:xx PM just after noon
    if (p.meridiem == 2)
      tod += 12 * 3600.0;
  }
  bool dated = p.year >= 0 && p.month > 0 && p.day > 0;
  if (!dated) {
    if (p.tod < 0 || p.year >= 0 || p.month > 0 || p.day > 0)
      return TimeText::kNone;
    seconds = tod;
    return TimeText::kClock;
  }
  double days = static_cast<double>(
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)));
  seconds = days * 86400.0 + tod - p.zone;
  return p.tod < 0 ? TimeText::kDate : TimeText::kDateTime;
}
