#pragma once
// Times written as text, as loggers and phone apps write them: "14:15:46.120",
// "02:15:46 PM", "2024-05-17T14:15:46Z", "17/05/2024 14:15:46",
// "17-May-2024 14:15:46.483", "Fri May 17 14:15:46 CEST 2024",
// "Friday, May 17, 2024 2:15:46 PM". Weekdays are ignored; English month
// names, AM/PM, numeric zones and common zone names are understood.
#include <string_view>

enum class TimeText {
  kNone,     // not a time
  kClock,    // a time of day: seconds after midnight
  kDateTime, // a date and a time: seconds since 1970-01-01 (UTC when a zone is given)
  kDate,     // a date alone: seconds since 1970-01-01 at midnight
};

// "dd/mm/yyyy" unless the day cannot be first (the second number above 12).
TimeText ParseTimeText(std::string_view cell, double& seconds);
