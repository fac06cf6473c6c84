#include "settings/date_format.h"

#include <array>

#include "runtime/text.h"

namespace qr::settings {
namespace {

// What a 50-byte buffer with its terminating zero holds.
constexpr std::size_t kHalfLimit = 49;
constexpr std::size_t kShortestPicture = 3;

struct StampPictures {
  std::string_view date;
  std::string_view time;
  std::string_view monthDay;
  std::string_view hourMinute;
  std::string_view minuteSecond;
};

// The dates of styles 0 to 2 end with a space that parts them from the time.
constexpr std::array<StampPictures, 4> kStyles = {{
    {"yyyy年MM月dd日 ", "hh时mm分ss秒", "MM月dd日", "hh时mm分", "mm分ss秒"},
    {"yyyy-MM-dd ", "hh:mm:ss", "MM-dd", "hh:mm", "mm:ss"},
    {"yyyy/MM/dd ", "hh/mm/ss", "MM/dd", "hh/mm", "mm/ss"},
    {"yyyyMMdd", "hhmmss", "MMdd", "hhmm", "mmss"},
}};

}  // namespace

namespace detail {

bool NamesTwelveHourClock(std::string_view strftimeFormat) {
  std::string_view rest = strftimeFormat;
  while (rest.size() >= 2) {
    if (rest[0] != '%') {
      rest.remove_prefix(1);
      continue;
    }
    rest.remove_prefix(1);
    // %EI and %OI are the same field in an alternative form.
    if ((rest[0] == 'E' || rest[0] == 'O') && rest.size() >= 2) rest.remove_prefix(1);
    if (rest[0] == 'I' || rest[0] == 'l' || rest[0] == 'r') return true;
    rest.remove_prefix(1);  // the conversion itself, so "%%I" names no field
  }
  return false;
}

}  // namespace detail

double NowAsDateValue() { return ToDateValue(detail::LocalNow()); }

std::string FormatDateTime(double when, std::string_view datePicture, std::string_view timePicture, int noSeconds) {
  const bool hasDate = datePicture.size() >= kShortestPicture;
  const bool hasTime = timePicture.size() >= kShortestPicture;
  if (!hasDate && !hasTime) return {};
  const auto fields = ToCalendarTime(when);
  if (!fields) return {};
  std::string result;
  if (hasDate) result = text::FirstBytes(detail::PlatformDateText(*fields, datePicture), kHalfLimit);
  if (hasTime) result += text::FirstBytes(detail::PlatformTimeText(*fields, timePicture, noSeconds == 1), kHalfLimit);
  return result;
}

std::string FormatStampText(std::optional<double> when, int style, int part) {
  return FormatStampText(when, style, part, LocaleUsesTwentyFourHourClock());
}

std::string FormatStampText(std::optional<double> when, int style, int part, bool twentyFourHour) {
  const StampPictures& pictures = kStyles[style >= 0 && style <= 3 ? style : 0];
  std::string_view datePicture = pictures.date;
  std::string_view timePicture = pictures.time;
  switch (part) {
    case 1:
      timePicture = {};
      break;
    case 2:
      datePicture = pictures.monthDay;
      timePicture = {};
      break;
    case 3:
      datePicture = {};
      break;
    case 4:
      datePicture = {};
      timePicture = pictures.hourMinute;
      break;
    case 5:
      datePicture = {};
      timePicture = pictures.minuteSecond;
      break;
    default:
      break;
  }
  const std::string time = twentyFourHour ? text::ReplaceAll(timePicture, "hh", "HH") : std::string(timePicture);
  const std::string result = FormatDateTime(when ? *when : NowAsDateValue(), datePicture, time, 0);
  return part == 1 ? text::Trim(result) : result;
}

}  // namespace qr::settings
