// The automation date value and calendar fields.
//
// A date value counts days since 1899-12-30 00:00 (local time); its fraction
// is the time of day. Before that day the whole part counts back while the
// fraction still counts forward: -1.25 is 1899-12-29 06:00.
#pragma once

#include <optional>

namespace qr::settings {

struct CalendarTime {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int dayOfWeek = 6;  // 0 = Sunday
};

// The date value's fields, rounded to the nearest second. Fails for values
// that are not numbers or fall outside 0100-01-01 .. 9999-12-31 23:59:59.
std::optional<CalendarTime> ToCalendarTime(double dateValue);

// The date value of the fields (day of the week ignored).
double ToDateValue(const CalendarTime& fields);

}  // namespace qr::settings
