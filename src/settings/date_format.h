// Date and time as text, by pictures.
//
// FormatDateTime renders a date value by a date picture and a time picture;
// FormatStampText picks the pictures from a small table by a style (which
// separators) and a part (which fields). On Windows the system's locale
// functions render the pictures; elsewhere our own formatter does (see
// date_picture.h). Both give the same text for the pictures used here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/date_value.h"

namespace qr::settings {

// The current local time as a date value.
double NowAsDateValue();

// True when the user's locale shows hours on a 24-hour clock (also when that
// cannot be told).
bool LocaleUsesTwentyFourHourClock();

// Date text followed by time text. A picture shorter than 3 bytes counts as
// absent and gives no text; each half is cut to 49 bytes (at a character
// boundary). `noSeconds` 1 drops the seconds with the separator before them and
// their unit after them, as the Windows function does: "hh时mm分ss秒" gives "09时30".
// A value that is no valid date gives empty text.
std::string FormatDateTime(double when, std::string_view datePicture = {}, std::string_view timePicture = {},
                           int noSeconds = 0);

// Style 0 "yyyy年MM月dd日 hh时mm分ss秒", 1 "yyyy-MM-dd hh:mm:ss",
// 2 "yyyy/MM/dd hh/mm/ss", 3 "yyyyMMddhhmmss"; any other style is 0.
// Part 0 date and time, 1 date (trimmed), 2 month and day, 3 time, 4 hours
// and minutes, 5 minutes and seconds; any other part is 0. On a 24-hour
// clock the hours are HH, otherwise hh. `when` defaults to now.
std::string FormatStampText(std::optional<double> when = std::nullopt, int style = 0, int part = 0);
// The same with the clock given instead of taken from the locale.
std::string FormatStampText(std::optional<double> when, int style, int part, bool twentyFourHour);

namespace detail {
// The platform's side: rendering one half and reading the local clock.
std::string PlatformDateText(const CalendarTime& when, std::string_view picture);
std::string PlatformTimeText(const CalendarTime& when, std::string_view picture, bool noSeconds);
CalendarTime LocalNow();

// True when a strftime format shows the hour on the 12-hour clock (%I, %l, %r).
bool NamesTwelveHourClock(std::string_view strftimeFormat);
}  // namespace detail

}  // namespace qr::settings
