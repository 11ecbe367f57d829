#pragma once
#include <cstdint>

// Round half away from zero.
int32_t RoundToInt(double value);
int32_t RoundToIntF(float value);
int64_t RoundToInt64(double value);

// Blanks and tabs skipped, one sign, digits with "," as thousands separator
// in the whole part, "." and at most 9 fraction digits, exponent; stops at
// the first other character; no digits give 0.
double StrToReal(const char* text);

// "h:m:s", "m:s" or plain seconds (a comma counts as a decimal point) into
// seconds, at most 356400; 0 for null, empty or longer than 63 characters.
float TimeTextToSeconds(const wchar_t* text);
// "%02d:%02d:%02d.%02d" in a shared ring buffer; negative times as 0.
const wchar_t* SecondsToTimeText(float seconds);
const wchar_t* TimeTextNormalize(const wchar_t* text);

// The processors this process may run on, else the online ones, else 1.
int GetProcessorCount();
// Monotonic milliseconds and seconds for timing and pacing.
uint64_t TimeGetMs();
double TimeGetSeconds();
