// Date/time axes: pass choice, tick lists, labels, date lines and the two messages.
#include <gtest/gtest.h>

#include "ScaleFixture.h"

namespace kvb {
namespace {

using test::ScaleFixture;
using Strings = std::vector<std::string>;

class DateTimeScale : public ScaleFixture {
protected:
    void SetUp() override {
        ScaleFixture::SetUp();
        scale->SetLabelType(ftDateTime);
        scale->SetShortTicks(true);
    }
    // Non-white pixels in a band of rows: where a message or labels were drawn.
    int InkInRows(Integer top, Integer bottom) {
        int n = 0;
        for (Integer y = top; y < bottom; ++y)
            for (Integer x = 0; x < bitmap.Width(); ++x) n += bitmap.Canvas()->Pixels(x, y) != clWhite;
        return n;
    }
    void PaintOnWhite() {
        bitmap.Canvas()->Brush()->SetStyle(bsSolid);  // a transparent paint leaves it clear
        bitmap.Canvas()->Brush()->SetColor(clWhite);
        bitmap.Canvas()->FillRect(Rect(0, 0, 400, 400));
        PaintEmbedded();
    }
    const double jan5 = EncodeDate(2024, 1, 5);
};

TEST_F(DateTimeScale, InvalidRangesDrawTheMessageOnly) {
    for (auto range : {std::pair{10.0, 5.0}, std::pair{0.0, 3000001.0}, std::pair{-693594.0, 0.0}}) {
        scale->SetRange(range.first, range.second);
        PaintOnWhite();
        EXPECT_EQ(scale->NumTicks(), 0);
        EXPECT_TRUE(labels.empty());
        EXPECT_GT(InkInRows(386, 400), 0);  // one line below the axis row, at Y + 7
    }
}

TEST_F(DateTimeScale, TwoSecondsHorizontalIsBelowOneSecond) {
    scale->SetRange(jan5 + 0.5, jan5 + 0.5 + 2.0 / 86400);
    PaintOnWhite();
    EXPECT_EQ(scale->NumTicks(), 0);
    EXPECT_GT(InkInRows(386, 400), 0);
}

TEST_F(DateTimeScale, TwoSecondsVerticalTicksHundredths) {
    scale->SetScaleType(sctYL);
    scale->SetRange(jan5 + 0.5, jan5 + 0.5 + 2.0 / 86400);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 21);  // every 0.1 s
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels[0], "12:00:00.00");
    EXPECT_EQ(labels[1], "05-Jan-2024");
    EXPECT_EQ(labels.size(), 6u);  // five time labels every 0.5 s and one date
}

TEST_F(DateTimeScale, OneDayFromMidnightByDateForTime) {
    scale->SetRange(jan5, jan5 + 1);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 13);  // every 2 hours
    EXPECT_EQ(labels, (Strings{"00:00", "05-Jan-2024", "08:00", "16:00", "00:00", "06-Jan-2024"}));
    const struct { TDateForTime mode; size_t count; } cases[] = {
        {dtNone, 4}, {dtOnePerChart, 5}, {dtOnePerDay, 6}, {dtAllTicks, 8}};
    for (const auto& c : cases) {
        scale->DateFormat()->SetDateForTime(c.mode);
        PaintEmbedded();
        EXPECT_EQ(labels.size(), c.count) << int(c.mode);
    }
    scale->DateFormat()->SetTimeFormat(tfAMPM);
    scale->DateFormat()->SetDateForTime(dtNone);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"12am", "8am", "4pm", "12am"}));
}

TEST_F(DateTimeScale, ClockTicksFromANegativeMidnight) {
    // 29 December 1899, 00:00 to 24:00: the first tick is at RangeLow itself.
    scale->SetShortTicks(false);
    scale->DateFormat()->SetDateForTime(dtNone);
    for (auto range : {std::pair{-1.0, 0.0}, std::pair{-1.25, -0.25}}) {
        scale->SetRange(range.first, range.second);
        PaintEmbedded();
        SCOPED_TRACE(range.first);
        const std::vector<double> expected = test::Steps(-1, range.second, 8.0 / 24);
        ASSERT_EQ(scale->NumTicks(), static_cast<Integer>(expected.size()));
        for (Integer i = 1; i <= scale->NumTicks(); ++i) EXPECT_NEAR(scale->TickValue(i), expected[i - 1], 1e-9);
    }
    EXPECT_EQ(labels, (Strings{"00:00", "08:00", "16:00"}));
}

TEST_F(DateTimeScale, TenDaysStepThreeFromFirstJanuary) {
    scale->SetRange(jan5, jan5 + 10);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 11);
    EXPECT_EQ(labels, (Strings{"07-Jan-2024", "10-Jan-2024", "13-Jan-2024"}));
}

TEST_F(DateTimeScale, DayTicksAcrossTheEpoch) {
    scale->SetRange(-5, 5);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 11);
    EXPECT_EQ(labels, (Strings{"27-Dec-1899", "30-Dec-1899", "02-Jan-1900"}));
}

TEST_F(DateTimeScale, TwoYearsInHalfYears) {
    const double start = EncodeDate(2023, 3, 10);
    scale->SetRange(start, start + 730);
    scale->SetShortTicks(false);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"Jul-2023", "Jan-2024", "Jul-2024", "Jan-2025"}));
    scale->SetShortTicks(true);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"Jul-2023", "Jan-2024", "Jul-2024", "Jan-2025"}));
    EXPECT_EQ(scale->NumTicks(), 24);  // the 1st of every month from April 2023 to March 2025
}

TEST_F(DateTimeScale, FiftyYearsInDecades) {
    const double start = EncodeDate(1990, 6, 1);
    scale->SetRange(start, start + 50 * 365.25);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"2000", "2010", "2020", "2030", "2040"}));
    EXPECT_EQ(scale->NumTicks(), 10);  // every 5 years from 1995
    scale->DateFormat()->SetYearLength(ylYY);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"00", "10", "20", "30", "40"}));
}

TEST_F(DateTimeScale, YearPassEndsWithTheCalendar) {
    scale->SetRange(2900000, 3000000);
    PaintEmbedded();
    ASSERT_GT(scale->NumTicks(), 0);
    for (double v : Recorded()) EXPECT_LE(v, MaxDateTime);
    scale->SetRange(2958466, 2990000);  // starts after 31 December 9999
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 0);
}

TEST_F(DateTimeScale, MinTicksZeroCountsAsOneInterval) {
    scale->SetMinTicks(0);
    scale->SetRange(jan5, jan5 + 10);  // ten days per interval: day pass with 7-day steps
    PaintEmbedded();
    EXPECT_GT(scale->NumTicks(), 0);
    EXPECT_LE(labels.size(), 2u);
}

}  // namespace
}  // namespace kvb
