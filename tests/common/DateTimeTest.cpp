#include <gtest/gtest.h>

#include <limits>

#include "common/uDateTime.h"
#include "common/uError.h"

using namespace tracemill;

TEST(DateTime, CalendarDaysCountFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1));
  EXPECT_FALSE(TryEncodeDate(2020, 13, 1));
  EXPECT_THROW(EncodeDate(2020, 4, 31), ConvertError);
  for (double day : {-693593.0, -1.0, 0.0, 36526.0, 45351.0, 2958465.0}) {
    const TDateTimeParts t = DecodeDateTime(day);
    EXPECT_EQ(EncodeDate(t.Year, t.Month, t.Day), day);
  }
}

TEST(DateTime, CenturyYearsAreLeapYearsOnlyEveryFourHundredYears) {
  const struct {
    int year;
    bool leap;
  } cases[] = {{1900, false}, {2000, true}, {2100, false}, {2024, true}, {2023, false}, {1600, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(IsLeapYear(c.year), c.leap);
    EXPECT_EQ(DaysInMonth(c.year, 2), c.leap ? 29 : 28);
    EXPECT_EQ(TryEncodeDate(c.year, 2, 29).has_value(), c.leap);
    // The day before March 1st, through the day count and back.
    const TDateTimeParts t = DecodeDateTime(EncodeDate(c.year, 3, 1) - 1);
    EXPECT_EQ(t.Month, 2);
    EXPECT_EQ(t.Day, c.leap ? 29 : 28);
    EXPECT_EQ(IncMonth(EncodeDate(c.year, 1, 31), 1), EncodeDate(c.year, 2, c.leap ? 29 : 28));
  }
}

TEST(DateTime, TimeOfDayIsTheFraction) {
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), ConvertError);
  EXPECT_FALSE(TryEncodeTime(1, 60, 0, 0));
  const TDateTimeParts t = DecodeDateTime(EncodeDate(2021, 3, 4) + EncodeTime(13, 45, 30, 250));
  EXPECT_EQ(t.Year, 2021);
  EXPECT_EQ(t.Month, 3);
  EXPECT_EQ(t.Day, 4);
  EXPECT_EQ(t.Hour, 13);
  EXPECT_EQ(t.Minute, 45);
  EXPECT_EQ(t.Second, 30);
  EXPECT_EQ(t.Millisecond, 250);
  // Before 1899-12-30 the fraction still counts forward within the day.
  const TDateTimeParts before = DecodeDateTime(-1.25);
  EXPECT_EQ(before.Day, 29);
  EXPECT_EQ(before.Hour, 6);
  // A fraction that rounds to a whole day moves to the next day.
  const TDateTimeParts carry = DecodeDateTime(1.9999999999);
  EXPECT_EQ(carry.Day, 1);  // 1900-01-01
  EXPECT_EQ(carry.Hour, 0);
}

TEST(DateTime, ValuesOutsideTheCalendarAreRejected) {
  EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()), ConvertError);
  EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::infinity()), ConvertError);
  EXPECT_THROW(DecodeDateTime(1e12), ConvertError);
  EXPECT_THROW(DayOfWeek(-1e12), ConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), ConvertError);
}

TEST(DateTime, WeekdaysAndMonthSteps) {
  EXPECT_EQ(DayOfWeek(0), 7);                          // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 2)), 1);     // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6);   // Friday
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15), -3), EncodeDate(2023, 12, 15));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15) + 0.5, 12), EncodeDate(2025, 3, 15) + 0.5);
}

TEST(DateTime, PictureFormats) {
  TFormatSettings s;
  s.DateSeparator = '-';
  s.TimeSeparator = '.';
  s.ShortDateFormat = "yyyy/mm/dd";
  s.LongTimeFormat = "hh:nn:ss";
  const double v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", v, s), "2024-03-05 14.07.09.045");
  EXPECT_EQ(FormatDateTime("d m yy h n s z", v, s), "5 3 24 14 7 9 45");
  EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", v, s), "Tue Tuesday Mar March");
  EXPECT_EQ(FormatDateTime("h:mm am/pm", v, s), "2.07 pm");
  EXPECT_EQ(FormatDateTime("hh A/P", EncodeTime(0, 30, 0, 0), s), "12 A");
  EXPECT_EQ(FormatDateTime("\"day\" d 'of' mmmm", v, s), "day 5 of March");
  EXPECT_EQ(FormatDateTime("ddddd", v, s), "2024-03-05");
  EXPECT_EQ(FormatDateTime("c", v, s), "2024-03-05 14.07.09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5), s), "2024-03-05");
  EXPECT_EQ(DateToStr(v, s), "2024-03-05");
  s.ShortDateFormat = "c";  // a date format that names itself ends quietly
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), s), "");
}
