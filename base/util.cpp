#include "base/util.h"

#include <sched.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "base/text.h"

namespace {

template <typename Int>
Int RoundHalfAway(double value) {
  // std::round is exact for halves; adding 0.5 would round 0.49999999999999994
  // up. Out-of-range values saturate instead of being undefined.
  if (std::isnan(value)) return 0;
  double rounded = std::round(value);
  if (rounded >= static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::numeric_limits<Int>::max();
  }
  if (rounded <= static_cast<double>(std::numeric_limits<Int>::min())) {
    return std::numeric_limits<Int>::min();
  }
  return static_cast<Int>(rounded);
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

constexpr int kMaxFractionDigits = 9;
// Beyond this the result is 0 or infinite anyway.
constexpr int kMaxExponent = 400;

int ReadExponent(const char*& p) {
  const char* start = p;
  ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!IsDigit(*p)) {
    p = start;
    return 0;
  }
  int exponent = 0;
  while (IsDigit(*p)) {
    if (exponent < kMaxExponent) exponent = exponent * 10 + (*p - '0');
    ++p;
  }
  return negative ? -exponent : exponent;
}

}  // namespace

int32_t RoundToInt(double value) { return RoundHalfAway<int32_t>(value); }

int32_t RoundToIntF(float value) { return RoundHalfAway<int32_t>(static_cast<double>(value)); }

int64_t RoundToInt64(double value) { return RoundHalfAway<int64_t>(value); }

double StrToReal(const char* text) {
  if (text == nullptr) return 0.0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  bool anyDigit = false;
  double whole = 0.0;
  while (IsDigit(*p) || *p == ',') {
    if (*p != ',') {
      whole = whole * 10.0 + (*p - '0');
      anyDigit = true;
    }
    ++p;
  }
  uint64_t fraction = 0;
  int fractionDigits = 0;
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) {
      if (fractionDigits < kMaxFractionDigits) {
        fraction = fraction * 10 + static_cast<uint64_t>(*p - '0');
        ++fractionDigits;
      }
      anyDigit = true;
      ++p;
    }
  }
  if (!anyDigit) return 0.0;
  double value = whole + static_cast<double>(fraction) / std::pow(10.0, fractionDigits);
  if (*p == 'e' || *p == 'E') {
    int exponent = ReadExponent(p);
    if (exponent != 0) value *= std::pow(10.0, exponent);
  }
  return negative ? -value : value;
}

namespace {

constexpr float kMaxTimeSeconds = 356400.0f;
constexpr size_t kMaxTimeTextChars = 63;

// A comma is a decimal point here; characters beyond ASCII end the number.
char TimeTextChar(wchar_t ch) {
  if (ch == L',') return '.';
  return ch > 0 && ch < 0x80 ? static_cast<char>(ch) : '?';
}

}  // namespace

float TimeTextToSeconds(const wchar_t* text) {
  if (text == nullptr || text[0] == 0) return 0.0f;
  size_t length = 0;
  while (text[length] != 0) {
    if (++length > kMaxTimeTextChars) return 0.0f;
  }
  // Up to three fields, each read as a number; "," is a decimal point here.
  std::array<std::string, 3> fields;
  size_t count = 1;
  for (size_t i = 0; i < length; ++i) {
    wchar_t ch = text[i];
    if (ch == L':') {
      if (count == fields.size()) break;
      ++count;
    } else {
      fields[count - 1].push_back(TimeTextChar(ch));
    }
  }
  double seconds = 0.0;
  for (size_t i = 0; i < count; ++i) seconds = seconds * 60.0 + StrToReal(fields[i].c_str());
  if (seconds > kMaxTimeSeconds) return kMaxTimeSeconds;
  return static_cast<float>(seconds);
}

const wchar_t* SecondsToTimeText(float seconds) {
  static std::array<std::array<wchar_t, 32>, 256> ring{};
  static std::atomic<unsigned> next{0};
  wchar_t* buffer = ring[next.fetch_add(1) % ring.size()].data();
  double value = static_cast<double>(seconds);
  if (!(value > 0.0)) value = 0.0;
  // Hundredths are rounded first so that 59.999 carries into the minute.
  int64_t hundredths = RoundToInt64(std::min(value, 1.0e12) * 100.0);
  int64_t totalSeconds = hundredths / 100;
  swprintf(buffer, 32, L"%02d:%02d:%02d.%02d", static_cast<int>(totalSeconds / 3600),
           static_cast<int>(totalSeconds / 60 % 60), static_cast<int>(totalSeconds % 60),
           static_cast<int>(hundredths % 100));
  return buffer;
}

const wchar_t* TimeTextNormalize(const wchar_t* text) {
  return SecondsToTimeText(TimeTextToSeconds(text));
}

int GetProcessorCount() {
  // Worker pools sized past the cores the process is confined to (taskset,
  // a container's cpuset) only take turns on them.
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) return CPU_COUNT(&allowed);
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  if (count < 1) count = sysconf(_SC_NPROCESSORS_CONF);
  if (count < 1) count = 1;
  return static_cast<int>(count);
}

uint64_t TimeGetMs() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

double TimeGetSeconds() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double>(now).count();
}
