#include "settings/date_value.h"

#include <cmath>
#include <cstdint>

namespace qr::settings {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
constexpr std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, CalendarTime& fields) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  fields.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  fields.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  fields.year = static_cast<int>(yearOfEra + era * 400 + (fields.month <= 2 ? 1 : 0));
}

constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

}  // namespace

std::optional<CalendarTime> ToCalendarTime(double dateValue) {
  // Far outside the calendar's range anyway; keeps the conversions below exact.
  if (!std::isfinite(dateValue) || std::fabs(dateValue) > 3.0e6) return std::nullopt;
  const double wholeDays = std::trunc(dateValue);
  std::int64_t day = static_cast<std::int64_t>(wholeDays);
  std::int64_t seconds = std::llround(std::fabs(dateValue - wholeDays) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // rounded up to midnight: the next calendar day
    seconds -= kSecondsPerDay;
    ++day;
  }
  CalendarTime fields;
  const std::int64_t unixDays = kEpochDays + day;
  CivilFromDays(unixDays, fields);
  if (fields.year < 100 || fields.year > 9999) return std::nullopt;
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  fields.second = static_cast<int>(seconds % 60);
  fields.millisecond = 0;
  // 1970-01-01 was a Thursday.
  fields.dayOfWeek = static_cast<int>(((unixDays + 4) % 7 + 7) % 7);
  return fields;
}

double ToDateValue(const CalendarTime& fields) {
  const double day = static_cast<double>(DaysFromCivil(fields.year, fields.month, fields.day) - kEpochDays);
  const double time =
      (fields.hour * 3600.0 + fields.minute * 60.0 + fields.second + fields.millisecond / 1000.0) / kSecondsPerDay;
  return day >= 0 ? day + time : day - time;
}

}  // namespace qr::settings
