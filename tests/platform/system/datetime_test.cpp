#include <gtest/gtest.h>

#include <limits>

#include "platform/system/System.h"

namespace kvb {
namespace {

TEST(Dates, EncodeAndDecodeTheCalendarEnds) {
    struct Case { Word y, m, d; TDateTime serial; } cases[] = {
        {1, 1, 1, -693593}, {1899, 12, 30, 0}, {9999, 12, 31, 2958465}, {1899, 12, 29, -1},
        {1850, 7, 4, -18076}, {2024, 1, 5, 45296}, {1900, 2, 28, 60}, {1900, 3, 1, 61},
        {2000, 2, 29, 36585},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
        Word y, m, d;
        DecodeDate(c.serial, y, m, d);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
}

TEST(Dates, LeapDays) {
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2000, 13), 0);
    TDateTime out = 0;
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, out));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, out));
    EXPECT_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2);
    EXPECT_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1);
}

TEST(Dates, InvalidDatesRaise) {
    EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(Dates, DecodeDropsTheTimeOfDayAndRejectsTheImpossible) {
    Word y, m, d;
    DecodeDate(-0.5, y, m, d);
    EXPECT_EQ((y * 10000 + m * 100 + d), 18991230);
    DecodeDate(-1.75, y, m, d);
    EXPECT_EQ((y * 10000 + m * 100 + d), 18991229);
    DecodeDate(45296.999, y, m, d);
    EXPECT_EQ((y * 10000 + m * 100 + d), 20240105);
    for (TDateTime bad : {-693594.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), -1e300}) {
        DecodeDate(bad, y, m, d);
        EXPECT_EQ(y + m + d, 0) << bad;
    }
}

TEST(Dates, TimesAndWeekdays) {
    Word h, n, s, z;
    DecodeTime(EncodeTime(14, 5, 30, 250), h, n, s, z);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + z, 140530250);
    DecodeTime(-1.75, h, n, s, z);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(DayOfWeek(0), 7);            // 1899-12-30 was a Saturday
    EXPECT_EQ(DayOfWeek(45296), 6);        // 2024-01-05 was a Friday
    EXPECT_EQ(DayOfWeek(-1), 6);
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);  // proleptic Gregorian Monday
}

TEST(Dates, FormatDateTimeTable) {
    const TDateTime day = EncodeDate(2024, 1, 5);
    const TDateTime t = day + EncodeTime(14, 5, 30, 250);
    struct Case { const char* format; TDateTime value; const char* text; } cases[] = {
        {"hh\":\"nn", t, "14:05"},
        {"h\"h\"", t, "14h"},
        {"ham/pm", t, "2pm"},
        {"h\"h\"nn\":\"ss", t, "14h05:30"},
        {"h\":\"nn\".\"ssam/pm", t, "2:05.30pm"},
        {"hh\":\"nn\":\"ss.zz", t, "14:05:30.250"},
        {"hh:mm", t, "14:05"},
        {"hh\"-\"mm", t, "14-05"},
        {"dd\"-\"mmm\"-\"yyyy", t, "05-Jan-2024"},
        {"mmm\"-\"yyyy", t, "Jan-2024"},
        {"mm\"/\"dd\"/\"yy", t, "01/05/24"},
        {"d/m/y", t, "5/1/24"},
        {"'at' h AM/PM", t, "at 2 PM"},
        {"ddd dddd mmmm", t, "Fri Friday January"},
        {"\"am/pm\" hh", t, "am/pm 14"},
        {"hham/pm", day, "12am"},
        {"hham/pm", day + 0.5, "12pm"},
        {"ham/pm", day + EncodeTime(23, 0, 0, 0), "11pm"},
        {"s z zz zzz", EncodeTime(0, 0, 7, 5), "7 5 05 005"},
        {"ss.zz", EncodeTime(0, 0, 7, 50), "07.50"},
        // Sign-and-magnitude: the integer part counts days back, the fraction is the time.
        {"yyyy-mm-dd hh:nn", -1.75, "1899-12-29 18:00"},
        {"yyyy-mm-dd hh:nn", -0.25, "1899-12-30 06:00"},
        {"dd\".\"mm\".\"yyyy hh:nn", -18076.5, "04.07.1850 12:00"},
        {"yyyy yy mmm dd", -693593, "0001 01 Jan 01"},
        {"dd.mm.yyyy", 2958465, "31.12.9999"},
        // A time that rounds up to midnight moves to the next day.
        {"yyyy-mm-dd hh:nn:ss", 0.9999999999, "1899-12-31 00:00:00"},
        {"yyyy-mm-dd", std::numeric_limits<double>::quiet_NaN(), "0000-00-00"},
        {"\"unterminated", t, "unterminated"},
        // The clock label formats at 1/100 s, with a few milliseconds.
        {"h\":\"nn\".\"ss.zzam/pm", day + EncodeTime(14, 5, 30, 70), "2:05.30.70pm"},
        {"hh\":\"nn\":\"ss.zz", day + EncodeTime(9, 5, 30, 5), "09:05:30.05"},
        {"h\":\"nnam/pm", day + EncodeTime(0, 7, 0, 0), "12:07am"},
        // Date formats without a year keep their separators.
        {"dd\"-\"mmm\"-\"", t, "05-Jan-"},
        {"\"-\"mmm\"-\"dd", t, "-Jan-05"},
        // Values as the axis labels hand them over for times before 1899-12-30: six hours
        // before it (-0.25) arrives as -1.75, 1899-12-28 12:00 (-1.5) as -2.5.
        {"ham/pm", -1.75, "6pm"},
        {"dd\".\"mm\".\"yyyy hh\":\"nn", -2.5, "28.12.1899 12:00"},
        {"dd\".\"mm\".\"yyyy hh\":\"nn", -2.0, "28.12.1899 00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.text) << c.format;
}

}  // namespace
}  // namespace kvb
