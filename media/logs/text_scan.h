#pragma once
// Small text helpers shared by the text-format readers. All of them read
// within the given view only and never throw.
#include <string>
#include <string_view>
#include <vector>

// Splits into lines at \n, \r\n or \r; the line texts exclude the breaks.
std::vector<std::string_view> SplitLines(std::string_view data);
std::string_view TrimBlanks(std::string_view text);
// A whole cell as a number (blanks and one pair of quotes allowed around
// it); `decimalComma` also takes "," as the decimal point. False for an
// empty or non-numeric cell, NaN or infinity.
bool ParseNumber(std::string_view cell, double& value, bool decimalComma = false);
// "h:m:s(.f)" or "m:s(.f)" into seconds.
bool ParseClockTime(std::string_view cell, double& seconds);
// ISO 8601 "YYYY-MM-DD[T ]hh:mm:ss(.f)(Z|+hh:mm|-hh:mm)" or a bare date
// into seconds since 1970-01-01 UTC.
bool ParseIsoDateTime(std::string_view cell, double& seconds);
// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long year, unsigned month, unsigned day);
// Lower-case ASCII copy.
std::string LowerAscii(std::string_view text);
// True when the text starts with the prefix, ignoring ASCII case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool ContainsNoCase(std::string_view text, std::string_view needle);
