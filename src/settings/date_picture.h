// Our own rendering of date and time pictures, with the letters of the
// Windows pictures and no locale-dependent names.
//
// Date pictures: yyyy (4-digit year; yyy and longer runs too), yy (2 digits),
// y (year in the century, no leading zero), MM / M (month), dd / d (day).
// Time pictures: hh / h (12-hour clock, 12 for 0), HH / H (24-hour clock),
// mm / m (minutes), ss / s (seconds); the doubled letters keep a leading
// zero. Text between single quotes is copied without them ('' is one quote).
// Every other character is copied as it is: two-byte characters are stepped
// over whole, so their second byte is never taken for a letter. Letters that
// would ask for names or markers (MMM, ddd, tt, g) are copied unchanged.
#pragma once

#include <string>
#include <string_view>

#include "settings/date_value.h"

namespace qr::settings {

std::string RenderDatePicture(const CalendarTime& when, std::string_view picture);

// `noSeconds` drops the seconds together with the separator written before
// them and what follows them up to the next field, spaces excepted ("09时30"
// from "hh时mm分ss秒").
std::string RenderTimePicture(const CalendarTime& when, std::string_view picture, bool noSeconds);

}  // namespace qr::settings
