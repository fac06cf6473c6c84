#include "settings/date_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "settings/date_picture.h"

namespace qr::settings {
namespace {

// Year, month, day, hour, minute, second.
double At(int year, int month, int day, int hour, int minute, int second) {
  return ToDateValue(CalendarTime{year, month, day, hour, minute, second});
}

const double kMorning = At(2020, 12, 15, 9, 30, 15);
const double kEvening = At(2020, 12, 15, 21, 30, 15);
constexpr bool k24 = true;
constexpr bool k12 = false;

TEST(FormatStampText, StylesAndPartsOnA24HourClock) {
  EXPECT_EQ(FormatStampText(kMorning, 1, 0, k24), "2020-12-15 09:30:15");
  EXPECT_EQ(FormatStampText(kEvening, 1, 0, k24), "2020-12-15 21:30:15");
  EXPECT_EQ(FormatStampText(kMorning, 2, 0, k24), "2020/12/15 09/30/15");
  EXPECT_EQ(FormatStampText(kMorning, 3, 0, k24), "20201215093015");
  EXPECT_EQ(FormatStampText(kMorning, 0, 0, k24), "2020年12月15日 09时30分15秒");
  EXPECT_EQ(FormatStampText(kMorning, 0, 1, k24), "2020年12月15日");
  EXPECT_EQ(FormatStampText(kMorning, 1, 1, k24), "2020-12-15");
  EXPECT_EQ(FormatStampText(kMorning, 0, 2, k24), "12月15日");
  EXPECT_EQ(FormatStampText(kEvening, 1, 3, k24), "21:30:15");
  EXPECT_EQ(FormatStampText(kEvening, 0, 4, k24), "21时30分");
  EXPECT_EQ(FormatStampText(kEvening, 3, 5, k24), "3015");
}

TEST(FormatStampText, UnknownStylesAndPartsActAsZero) {
  const std::string expected = FormatStampText(kMorning, 0, 0, k24);
  EXPECT_EQ(FormatStampText(kMorning, 7, 0, k24), expected);
  EXPECT_EQ(FormatStampText(kMorning, -1, 0, k24), expected);
  EXPECT_EQ(FormatStampText(kMorning, 0, 9, k24), expected);
  EXPECT_EQ(FormatStampText(kMorning, 0, -3, k24), expected);
}

TEST(FormatStampText, TwelveHourClockShowsTheSameHourMorningAndEvening) {
  EXPECT_EQ(FormatStampText(kMorning, 3, 0, k12), "20201215093015");
  EXPECT_EQ(FormatStampText(kEvening, 3, 0, k12), "20201215093015");
  EXPECT_EQ(FormatStampText(At(2020, 12, 15, 0, 5, 0), 1, 3, k12), "12:05:00");
  EXPECT_EQ(FormatStampText(At(2020, 12, 15, 12, 5, 0), 1, 3, k12), "12:05:00");
}

TEST(FormatStampText, WithoutAValueItShowsNow) {
  const std::string stamp = FormatStampText(std::nullopt, 3, 0, k24);
  ASSERT_EQ(stamp.size(), 14u) << stamp;
  EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
  EXPECT_GE(std::stoi(stamp.substr(0, 4)), 2024);
  EXPECT_EQ(FormatStampText(std::nullopt, 3, 0).size(), 14u);
}

TEST(FormatDateTime, ShortOrMissingPicturesGiveNoText) {
  const double when = At(2020, 12, 15, 9, 5, 7);
  EXPECT_EQ(FormatDateTime(when, "", "HH:mm"), "09:05");
  EXPECT_EQ(FormatDateTime(when, "", "HH"), "");
  EXPECT_EQ(FormatDateTime(when, "yy", "HH"), "");
  EXPECT_EQ(FormatDateTime(when), "");
  EXPECT_EQ(FormatDateTime(when, "yyyy", ""), "2020");
  EXPECT_EQ(FormatDateTime(when, "d/M/yy ", "h:m:s"), "15/12/20 9:5:7");
}

TEST(FormatDateTime, EveryDateOfTheRangeAndNothingBeyond) {
  EXPECT_EQ(FormatDateTime(At(1500, 1, 2, 9, 5, 0), "yyyy-MM-dd ", "HH:mm"), "1500-01-02 09:05");
  EXPECT_EQ(FormatDateTime(At(100, 1, 1, 0, 0, 0), "yyyy-MM-dd", ""), "0100-01-01");
  EXPECT_EQ(FormatDateTime(3.0e6, "yyyy-MM-dd", "HH:mm"), "");
  EXPECT_EQ(FormatDateTime(std::numeric_limits<double>::quiet_NaN(), "yyyy-MM-dd", "HH:mm"), "");
}

TEST(FormatDateTime, NoSecondsDropsTheSecondsAndTheirSeparator) {
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH:mm:ss", 1), "09:30");
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH:mm:ss", 2), "09:30:15");
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH:mm:ss", 0), "09:30:15");
  // The unit after the seconds goes with them; spaces and the next field stay.
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH时mm分ss秒", 1), "09时30");
  EXPECT_EQ(FormatDateTime(kMorning, "", "ss秒, HH", 1), " 09");
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH:mm:ss 秒", 1), "09:30 ");
  EXPECT_EQ(FormatDateTime(kMorning, "", "mm:ss-HH", 1), "3009");
}

TEST(FormatDateTime, ChineseCharactersAreCopiedWhole) {
  // The second bytes of 乵, 乻, 乭, 丮 and 亂 are 'm', 's', 'h', 'M' and 'y'.
  EXPECT_EQ(FormatDateTime(kMorning, "乵乻丮亂yyyy", ""), "乵乻丮亂2020");
  EXPECT_EQ(FormatDateTime(kMorning, "", "HH乭mm乻"), "09乭30乻");
  EXPECT_EQ(FormatDateTime(kMorning, "'yyyy' yyyy", ""), "yyyy 2020");
}

TEST(FormatDateTime, RunsOfNameLettersAreCopiedWhole) {
  // Month and day names are not rendered; their letters must not turn into numbers.
  const auto morning = *ToCalendarTime(kMorning);
  EXPECT_EQ(RenderDatePicture(morning, "MMM"), "MMM");
  EXPECT_EQ(RenderDatePicture(morning, "dddd, yyyy-MMMM"), "dddd, 2020-MMMM");
  EXPECT_EQ(RenderDatePicture(morning, "d-M"), "15-12");
  EXPECT_EQ(RenderTimePicture(morning, "HH:mm tt", false), "09:30 tt");
}

TEST(FormatDateTime, EachHalfIsCutTo49BytesAtACharacterBoundary) {
  std::string longPicture = "a";
  for (int i = 0; i < 30; ++i) longPicture += "年";
  const std::string cut = longPicture.substr(0, 49);  // "a" and 24 characters
  EXPECT_EQ(FormatDateTime(kMorning, longPicture, ""), cut);
  EXPECT_EQ(FormatDateTime(kMorning, longPicture + "x", longPicture), cut + cut);
  EXPECT_EQ(FormatDateTime(kMorning, "ab" + longPicture.substr(1), "").size(), 48u);
}

// On Windows the locale functions render the pictures; they must agree with
// our own formatter (the only one elsewhere) on everything the program uses.
TEST(FormatDateTime, PlatformRenderingMatchesOurOwn) {
  const auto morning = *ToCalendarTime(kMorning);
  const auto evening = *ToCalendarTime(At(2021, 3, 4, 21, 5, 7));
  for (const char* picture : {"yyyy年MM月dd日 ", "yyyy-MM-dd ", "yyyy/MM/dd ", "yyyyMMdd", "MM月dd日", "MM-dd", "MM/dd",
                              "MMdd", "d/M/yy", "y", "'yyyy'年"}) {
    for (const auto& when : {morning, evening}) {
      EXPECT_EQ(detail::PlatformDateText(when, picture), RenderDatePicture(when, picture)) << picture;
    }
  }
  for (const char* picture : {"hh时mm分ss秒", "HH时mm分ss秒", "hh:mm:ss", "HH:mm:ss", "hh/mm/ss", "hhmmss", "HHmmss",
                              "hh:mm", "HH:mm", "mm分ss秒", "mmss", "h:m:s", "H'h'"}) {
    for (const auto& when : {morning, evening}) {
      EXPECT_EQ(detail::PlatformTimeText(when, picture, false), RenderTimePicture(when, picture, false)) << picture;
    }
  }
  for (const char* picture : {"hh:mm:ss", "HH:mm:ss", "hh/mm/ss", "hhmmss", "hh时mm分ss秒", "ss:mm", "ss mm",
                              "mm:ss:hh", "hh:mm:ss 秒", "hh:mm:ss abc", "hh'a'ss'b'mm"}) {
    EXPECT_EQ(detail::PlatformTimeText(morning, picture, true), RenderTimePicture(morning, picture, true)) << picture;
  }
}

TEST(LocaleClock, TwelveHourFieldsOfATimeFormat) {
  EXPECT_TRUE(detail::NamesTwelveHourClock("%r"));
  EXPECT_TRUE(detail::NamesTwelveHourClock("%I:%M:%S %p"));
  EXPECT_TRUE(detail::NamesTwelveHourClock("%l:%M"));
  EXPECT_TRUE(detail::NamesTwelveHourClock("%OI时"));
  EXPECT_FALSE(detail::NamesTwelveHourClock("%H:%M:%S"));
  EXPECT_FALSE(detail::NamesTwelveHourClock("%H时%M分%S秒"));
  EXPECT_FALSE(detail::NamesTwelveHourClock("%%I %T"));
  EXPECT_FALSE(detail::NamesTwelveHourClock(""));
}

#ifndef _WIN32
TEST(LocaleClock, ChineseAndPlainLocalesUseTheTwentyFourHourClock) {
  const char* saved = std::getenv("LC_ALL");
  const std::string previous = saved ? saved : "";
  setenv("LC_ALL", "zh_CN.UTF-8", 1);
  EXPECT_TRUE(LocaleUsesTwentyFourHourClock());
  setenv("LC_ALL", "C", 1);
  EXPECT_TRUE(LocaleUsesTwentyFourHourClock());
  setenv("LC_ALL", "no_SUCH.locale", 1);
  EXPECT_TRUE(LocaleUsesTwentyFourHourClock());
  if (saved) {
    setenv("LC_ALL", previous.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}
#endif

}  // namespace
}  // namespace qr::settings
