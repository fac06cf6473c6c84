#include "settings/date_value.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace qr::settings {
namespace {

constexpr double kSecond = 1.0 / 86400;

// Fields by aggregate order: year, month, day, hour, minute, second.
using Fields = CalendarTime;

::testing::AssertionResult IsAt(double value, const CalendarTime& expected) {
  const auto fields = ToCalendarTime(value);
  if (!fields) return ::testing::AssertionFailure() << value << " did not convert";
  const auto text = [](const CalendarTime& f) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return std::string(buffer);
  };
  if (text(*fields) != text(expected)) return ::testing::AssertionFailure() << value << " is " << text(*fields);
  return ::testing::AssertionSuccess();
}

TEST(DateValue, KnownDaysAndTimes) {
  EXPECT_TRUE(IsAt(0.0, Fields(1899, 12, 30)));
  EXPECT_TRUE(IsAt(2.0, Fields(1900, 1, 1)));
  EXPECT_TRUE(IsAt(61.0, Fields(1900, 3, 1)));  // 1900 has no 29 February
  EXPECT_TRUE(IsAt(36585.0, Fields(2000, 2, 29)));
  EXPECT_TRUE(IsAt(44180.0 + (9 * 3600 + 30 * 60 + 15) * kSecond, Fields(2020, 12, 15, 9, 30, 15)));
  EXPECT_EQ(ToCalendarTime(44180.0)->dayOfWeek, 2);  // a Tuesday
  EXPECT_EQ(ToCalendarTime(0.0)->dayOfWeek, 6);      // a Saturday
  // Before the epoch the days count back and the fraction still forward.
  EXPECT_TRUE(IsAt(-1.25, Fields(1899, 12, 29, 6)));
  EXPECT_TRUE(IsAt(-0.5, Fields(1899, 12, 30, 12)));
  EXPECT_EQ(ToCalendarTime(-1.0)->dayOfWeek, 5);
}

TEST(DateValue, RoundsToTheNearestSecondAcrossMidnight) {
  EXPECT_TRUE(IsAt(0.5 + 0.4 * kSecond, Fields(1899, 12, 30, 12, 0, 0)));
  EXPECT_TRUE(IsAt(0.5 + 0.6 * kSecond, Fields(1899, 12, 30, 12, 0, 1)));
  EXPECT_TRUE(IsAt(1.0 - 0.2 * kSecond, Fields(1899, 12, 31)));
  EXPECT_TRUE(IsAt(-2.0 + 0.2 * kSecond, Fields(1899, 12, 30)));  // 1899-12-29 23:59:59.8
  EXPECT_TRUE(IsAt(44180.0 - 0.2 * kSecond, Fields(2020, 12, 15)));
}

TEST(DateValue, OutsideTheCalendarRangeFails) {
  EXPECT_TRUE(IsAt(-657434.0, Fields(100, 1, 1)));
  EXPECT_TRUE(IsAt(-657434.5, Fields(100, 1, 1, 12)));
  EXPECT_FALSE(ToCalendarTime(-657435.0));
  EXPECT_TRUE(IsAt(2958465.0 + 86399 * kSecond, Fields(9999, 12, 31, 23, 59, 59)));
  EXPECT_FALSE(ToCalendarTime(2958465.0 + 86399.7 * kSecond));  // rounds into the year 10000
  EXPECT_FALSE(ToCalendarTime(2958466.0));
  EXPECT_FALSE(ToCalendarTime(1e300));
  EXPECT_FALSE(ToCalendarTime(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(ToCalendarTime(-std::numeric_limits<double>::infinity()));
}

TEST(DateValue, FieldsRoundTrip) {
  const CalendarTime samples[] = {Fields(2020, 12, 15, 9, 30, 15), Fields(2000, 2, 29, 23, 59, 59),
                                  Fields(1899, 12, 29, 6, 0, 1),   Fields(1601, 1, 1),
                                  Fields(100, 1, 1, 0, 0, 1),      Fields(9999, 12, 31, 23, 59, 59)};
  for (const CalendarTime& sample : samples) EXPECT_TRUE(IsAt(ToDateValue(sample), sample));
  CalendarTime withMilliseconds = Fields(2020, 12, 15, 9, 30, 15);
  withMilliseconds.millisecond = 600;
  EXPECT_TRUE(IsAt(ToDateValue(withMilliseconds), Fields(2020, 12, 15, 9, 30, 16)));
  EXPECT_DOUBLE_EQ(ToDateValue(Fields(1899, 12, 29, 6)), -1.25);
}

}  // namespace
}  // namespace qr::settings
