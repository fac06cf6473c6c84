#include <windows.h>

#include <string>

#include "runtime/codepage.h"
#include "settings/date_format.h"
#include "settings/date_picture.h"

namespace qr::settings {
namespace {

SYSTEMTIME ToSystemTime(const CalendarTime& when) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(when.year);
  time.wMonth = static_cast<WORD>(when.month);
  time.wDay = static_cast<WORD>(when.day);
  time.wDayOfWeek = static_cast<WORD>(when.dayOfWeek);
  time.wHour = static_cast<WORD>(when.hour);
  time.wMinute = static_cast<WORD>(when.minute);
  time.wSecond = static_cast<WORD>(when.second);
  time.wMilliseconds = static_cast<WORD>(when.millisecond);
  return time;
}

// The wide functions take the picture as Unicode, so the result does not
// depend on the system's ANSI code page; the text comes back as GBK.
template <typename Formatter>
std::string FormatWide(std::string_view picture, Formatter format) {
  const std::u16string widePicture = codepage::GbkToUtf16(picture);
  const auto* pictureText = reinterpret_cast<const wchar_t*>(widePicture.c_str());
  const int length = format(pictureText, nullptr, 0);
  if (length <= 0) return {};
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  if (format(pictureText, result.data(), length) <= 0) return {};
  result.resize(static_cast<std::size_t>(length - 1));  // without the terminating zero
  return codepage::Utf16ToGbk(std::u16string(result.begin(), result.end()));
}

}  // namespace

namespace detail {

std::string PlatformDateText(const CalendarTime& when, std::string_view picture) {
  // The system refuses dates before 1601 that a date value can hold; our own
  // formatter renders them the same way the system renders later ones.
  if (when.year < 1601) return RenderDatePicture(when, picture);
  const SYSTEMTIME time = ToSystemTime(when);
  return FormatWide(picture, [&](const wchar_t* format, wchar_t* buffer, int size) {
    return GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, format, buffer, size);
  });
}

std::string PlatformTimeText(const CalendarTime& when, std::string_view picture, bool noSeconds) {
  const SYSTEMTIME time = ToSystemTime(when);
  const DWORD flags = noSeconds ? TIME_NOSECONDS : 0;
  return FormatWide(picture, [&](const wchar_t* format, wchar_t* buffer, int size) {
    return GetTimeFormatW(LOCALE_USER_DEFAULT, flags, &time, format, buffer, size);
  });
}

CalendarTime LocalNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  CalendarTime fields;
  fields.year = now.wYear;
  fields.month = now.wMonth;
  fields.day = now.wDay;
  fields.hour = now.wHour;
  fields.minute = now.wMinute;
  fields.second = now.wSecond;
  fields.millisecond = now.wMilliseconds;
  fields.dayOfWeek = now.wDayOfWeek;
  return fields;
}

}  // namespace detail

bool LocaleUsesTwentyFourHourClock() {
  wchar_t value[4] = {};
  // "1" is the 24-hour clock, "0" the 12-hour one; unreadable counts as 24-hour.
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, value, 4) <= 0) return true;
  return value[0] != L'0';
}

}  // namespace qr::settings
