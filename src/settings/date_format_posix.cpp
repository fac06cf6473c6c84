#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include <string_view>

#include "settings/date_format.h"
#include "settings/date_picture.h"

namespace qr::settings {

namespace detail {

std::string PlatformDateText(const CalendarTime& when, std::string_view picture) {
  return RenderDatePicture(when, picture);
}

std::string PlatformTimeText(const CalendarTime& when, std::string_view picture, bool noSeconds) {
  return RenderTimePicture(when, picture, noSeconds);
}

CalendarTime LocalNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  CalendarTime fields;
  fields.year = local.tm_year + 1900;
  fields.month = local.tm_mon + 1;
  fields.day = local.tm_mday;
  fields.hour = local.tm_hour;
  fields.minute = local.tm_min;
  fields.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second stays in its minute
  fields.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  fields.dayOfWeek = local.tm_wday;
  return fields;
}

}  // namespace detail

bool LocaleUsesTwentyFourHourClock() {
  // The user's time format comes from LC_ALL / LC_TIME / LANG.
  const locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return true;
  const char* format = nl_langinfo_l(T_FMT, user);
  const bool twentyFourHour = !detail::NamesTwelveHourClock(format ? format : "");
  freelocale(user);
  return twentyFourHour;
}

}  // namespace qr::settings
