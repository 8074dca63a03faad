// The scale's arithmetic without a canvas: step rule, decimals, number texts, user texts,
// inscripts, durations, date formats, step tables and the drag computation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scale/ScaleMath.h"

namespace kvb {
namespace {

struct StepCase {
    Integer minTicks;
    double low, high;
    long double first, step;
    Word subDiv;
};

TEST(NiceTickStep, Examples) {
    const StepCase cases[] = {
        {3, 0, 100, 0, 20, 4},     {3, 0, 1, 0, 0.2L, 4},    {3, 0, 256, 0, 50, 5},
        {3, 5, 0, 5, -1, 5},       {5, 0, 1, 0, 0.1L, 5},    {2, 0, 10, 0, 2, 4},
        {3, 100, 0, 100, -20, 4},  {3, -7, 7, -6, 2, 4},     {0, 0, 300, 0, 1, 1},
        {0, 0, 5, 0, 1, 5},        {0, 0.2, 0.8, 1, 1, 5},   {3, 3, 3, 3, 0, 1},
        {10, 0, 1, 0, 0.1L, 5},    {3, -0.5, 0.5, -0.4L, 0.2L, 4},
        // MinTicks 0 on a reversed axis walks down from the first integer not above Low.
        {0, 5.5, 0, 5, -1, 5},     {0, 300, 0, 300, -1, 1},
    };
    for (const auto& c : cases) {
        Extended first = -99, step = -99;
        Word sub = 0;
        NiceTickStep(c.minTicks, c.low, c.high, first, step, sub);
        SCOPED_TRACE(testing::Message() << c.minTicks << " " << c.low << ".." << c.high);
        EXPECT_NEAR(static_cast<double>(first), static_cast<double>(c.first), 1e-12);
        EXPECT_NEAR(static_cast<double>(step), static_cast<double>(c.step), 1e-12);
        EXPECT_EQ(sub, c.subDiv);
    }
}

TEST(NiceTickStep, TieBreakAtTheNiceNumbers) {
    // x exactly 10^k keeps it; x exactly 2 or 5 × 10^k takes the next smaller nice number.
    const struct { double high; Integer minTicks; double step; } cases[] = {
        {10, 1, 10}, {100, 10, 10}, {20, 1, 10}, {50, 1, 20}, {0.5, 1, 0.2}, {2e-5, 2, 1e-5},
    };
    for (const auto& c : cases) {
        Extended first, step;
        Word sub;
        NiceTickStep(c.minTicks == 1 ? 2 : c.minTicks, 0, c.minTicks == 1 ? c.high * 2 : c.high, first, step, sub);
        EXPECT_NEAR(static_cast<double>(step), c.step, c.step * 1e-12) << c.high;
    }
}

// The rule worked through with the extended logarithm, for the mantissa decision alone.
long double ReferenceStep(long double x) {
    long double g = std::log10(x), h = g - std::trunc(g);
    if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
        h = 0;
        g = std::nearbyint(g);
    }
    if (g < 0 && h != 0) g -= 1;
    if (h < 0) h += 1;
    const long double m = h < std::log10(2.0L) + 1e-10L ? 1 : (h < std::log10(5.0L) + 1e-10L ? 2 : 5);
    return m * std::pow(10.0L, std::trunc(g));
}

TEST(NiceTickStep, DecidesAsTheExtendedLogarithmAtTheEdges) {
    // Ranges whose logarithm per tick lies within a few 1e-15 of the decision points.
    const long double points[] = {1e-10L, 1 - 1e-10L, std::log10(2.0L) + 1e-10L, std::log10(5.0L) + 1e-10L};
    for (long double p : points)
        for (int k : {-7, 0, 4})
            for (int i = -40; i <= 40; ++i) {
                const long double x = std::pow(10.0L, k + p + i * 2.5e-16L);
                Extended first, step;
                Word sub;
                NiceTickStep(2, 0, static_cast<double>(x * 2), first, step, sub);
                const long double xd = static_cast<long double>(static_cast<double>(x * 2)) / 2;
                EXPECT_EQ(step, ReferenceStep(xd)) << static_cast<double>(p) << " " << k << " " << i;
            }
}

TEST(NiceTickStep, EndsOnExtremeRanges) {
    const double big = std::numeric_limits<double>::max();
    const double values[] = {0, 1e300, -1e300, 5e-324, -5e-324, 18446744073709551616.0 + 8192, big, -big};
    for (double lo : values)
        for (double hi : values)
            for (Integer m : {0, 2, 3, 10}) {
                Extended first, step;
                Word sub;
                NiceTickStep(m, lo, hi, first, step, sub);  // must simply return
                EXPECT_TRUE(sub == 1 || sub == 4 || sub == 5);
            }
}

TEST(AutoDecPlaces, Linear) {
    const struct { double d; Integer dec; } cases[] = {
        {50, 0}, {10, 1}, {5, 1}, {3, 2}, {1, 2}, {0.1, 3}, {0.01, 4}, {0.001, 5}, {100, 0},
        {99.9, 0}, {1000000, -1}, {2000000, -1}, {0.0001, -1}, {0.00011, 6}, {14, 1}, {256, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AutoDecPlacesLinear(0, c.d), c.dec) << c.d;
        EXPECT_EQ(AutoDecPlacesLinear(c.d, 0), c.dec) << "reversed " << c.d;
    }
}

TEST(AutoDecPlaces, Logarithmic) {
    EXPECT_EQ(AutoDecPlacesLog(0.01, 100), 3);
    EXPECT_EQ(AutoDecPlacesLog(100, 0.01), 3);
    EXPECT_EQ(AutoDecPlacesLog(1, 1000), 0);
    EXPECT_EQ(AutoDecPlacesLog(0.5, 50), 1);
    EXPECT_EQ(AutoDecPlacesLog(1, 2000000), -1);
    EXPECT_EQ(AutoDecPlacesLog(1e-5, 1e-5 + 1e-6), -1);
}

TEST(FormatTickNumber, FixedAndScientific) {
    const struct { long double v; Integer n; const char* text; } cases[] = {
        {2.5L, 0, "3"},          {-0.125L, 2, "-0.13"},    {20, 1, "20.0"},
        {0.5L, 0, "1"},          {-0.5L, 0, "-1"},          {0.4L, 0, "0"},
        {0, 2, "0.00"},          {-0.001L, 2, "0.00"},      {0.009L, 2, "0.01"},
        {123456.789L, 2, "123456.79"}, {1e20L, 0, "100000000000000000000"},
        {9.9996L, 3, "10.000"},  {-6, 1, "-6.0"},           {0.2L, 2, "0.20"},
        // The decimal expansion of the binary value is rounded, not the typed decimal.
        {1.005, 2, "1.00"},
        {500000, -1, " 5.0E+05"}, {-2e-5L, -1, "-2.0E-05"}, {1500, -1, " 1.5E+03"},
        {0, -1, " 0.0E+00"},     {9.96e5L, -1, " 1.0E+06"}, {1e99L, -1, " 1.0E+99"},
        {9.96e99L, -1, "********"}, {1e100L, -1, "********"}, {-1e-100L, -1, "********"},
        {1.25L, -1, " 1.3E+00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTickNumber(c.v, c.n), c.text) << static_cast<double>(c.v) << " " << c.n;
}

TEST(FormatTickNumber, NonFinite) {
    EXPECT_EQ(FormatTickNumber(std::numeric_limits<long double>::quiet_NaN(), 2), "NAN");
    EXPECT_EQ(FormatTickNumber(-std::numeric_limits<long double>::infinity(), -1), "-INF");
}

TEST(TickLabels, Linear) {
    struct Case { long double v; double lo, hi; Integer dec, eff; const char* text; long double after; };
    const Case cases[] = {
        {1e-17L, 0, 1, -2, 2, "0.00", 0},                  // rounding residue snapped to zero
        {0, 0, 2000000, -2, -1, "0.0", 0},                 // wide range: "0.0"
        {0, 0, 2000000, 0, 0, "0", 0},
        {500000, 0, 2000000, -2, -1, " 5.0E+05", 500000},
        {0.2L, 0, 1, 0, 0, "", 0.2L},                      // integer axis leaves 0.2 unlabelled
        {1, 0, 1, 0, 0, "1", 1},
        {-6, -7, 7, -2, 1, "-6.0", -6},
        {123456789.123456L, 0, 1e9, 12, 12, "123456789.1234", 123456789.123456L},
        {0, 0, 1000, 3, 3, "0.000", 0},
    };
    for (const auto& c : cases) {
        Extended v = c.v;
        EXPECT_EQ(LinearTickLabel(v, c.lo, c.hi, c.dec, c.eff), c.text) << static_cast<double>(c.v);
        EXPECT_EQ(v, c.after);
    }
}

TEST(TickLabels, Logarithmic) {
    const struct { long double v; Integer mult, dec, eff; const char* text; } cases[] = {
        {0.01L, 1, -2, 3, "0.01"}, {0.1L, 1, -2, 3, "0.1"}, {1, 1, -2, 3, "1"},
        {10, 1, -2, 3, "10"},      {100, 1, -2, 3, "100"},  {20, 2, -2, 3, "20"},
        {1e6L, 1, -3, -3, "6"},    {1, 1, -3, -3, "0"},     {0.01L, 1, -3, -3, "-2"},
        {2000, 2, -3, -3, ""},     {5000, 5, -3, -3, ""},
        {1, 1, 3, 3, "1.000"},     // trailing zeros go only with DecPlaces −2
        {1e7L, 1, -2, -1, " 1.0E+07"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogTickLabel(c.v, c.mult, c.dec, c.eff), c.text) << static_cast<double>(c.v);
}

TEST(TickLabels, UserTextsAndInscripts) {
    const struct { const char* text; Integer n; const char* item; } picks[] = {
        {"a|b|c", 1, "a"}, {"a|b|c", 3, "c"}, {"a|b|c", 5, "c"}, {"a|b|c", 0, ""},
        {"a|b|c", -1, ""}, {"a||c", 2, ""},   {"a|b|", 3, ""},   {"a|b|", 9, ""},
        {"", 1, ""},       {"single", 4, "single"},
    };
    for (const auto& p : picks) EXPECT_EQ(PickUserTickText(p.text, p.n), p.item) << p.text << " " << p.n;
    const char* expected[] = {"low", "mid", "high", "high", "high", "high"};
    for (Integer n = 1; n <= 6; ++n) EXPECT_EQ(PickUserTickText("low|mid|high", n), expected[n - 1]);

    EXPECT_EQ(ApplyInscript("50", "&%"), "50%");
    EXPECT_EQ(ApplyInscript("50", "$"), "$50");
    EXPECT_EQ(ApplyInscript("", "&%"), "");
    EXPECT_EQ(ApplyInscript("50", ""), "50");
    EXPECT_EQ(ApplyInscript("6", "10^&"), "10^6");
    EXPECT_EQ(ApplyInscript("7", "a&b&c"), "a7b&c");
}

TEST(Durations, Texts) {
    const struct { long double v; bool ms; const char* text; } cases[] = {
        {0, false, " 00:00:00"},        {1200, false, " 00:20:00"},   {2400, false, " 00:40:00"},
        {3600, false, " 01:00:00"},     {0.2L, true, " 00:00:00.200"}, {0.6L, true, " 00:00:00.600"},
        {-61.5L, true, "-00:01:01.500"}, {360000, false, " 100:00:00"}, {-3599, false, "-00:59:59"},
        // Residues of tick arithmetic read as the tick they belong to.
        {0.9999999L, true, " 00:00:01.000"}, {199.9999999L, false, " 00:03:20"},
        {-1e-9L, true, " 00:00:00.000"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDuration(c.v, c.ms), c.text) << static_cast<double>(c.v);
}

TEST(Durations, TableIndex) {
    EXPECT_EQ(DurationIndex(1200), 21);
    EXPECT_EQ(DurationIndex(1.0L / 3), 8);
    EXPECT_EQ(DurationIndex(1000000.0L / 3), 28);
    EXPECT_EQ(DurationIndex(0.0005L), 0);
    EXPECT_EQ(DurationIndex(0.001L), 1);
    EXPECT_EQ(DurationIndex(86399), 27);
}

TEST(DateTime, SerialCorrection) {
    EXPECT_DOUBLE_EQ(DateTimeForFormat(-0.25L), -1.75);
    EXPECT_DOUBLE_EQ(DateTimeForFormat(-1), -1);
    EXPECT_DOUBLE_EQ(DateTimeForFormat(-1.25L), -2.75);
    EXPECT_DOUBLE_EQ(DateTimeForFormat(2.5L), 2.5);
    EXPECT_DOUBLE_EQ(DateTimeForFormat(5e-9L), 0);
    EXPECT_DOUBLE_EQ(DateTimeForFormat(-5e-9L), 0);
    EXPECT_EQ(FormatDT("yyyy-mm-dd hh:nn", -0.25L), "1899-12-29 18:00");
}

TEST(DateTime, ClockFormats) {
    const double t = EncodeDate(2024, 1, 5) + (14 * 3600 + 5 * 60 + 30) / 86400.0;
    const struct { TClockUnit unit; TTimeFormat tf; const char* text; } cases[] = {
        {cuHour, tfHHMMSS, "14:05"},   {cuHour, tfHHhMM, "14h"},       {cuHour, tfAMPM, "2pm"},
        {cuMinute, tfHHMMSS, "14:05"}, {cuMinute, tfHHhMM, "14h05"},   {cuMinute, tfAMPM, "2:05pm"},
        {cuSecond, tfHHMMSS, "14:05:30"}, {cuSecond, tfHHhMM, "14h05:30"}, {cuSecond, tfAMPM, "2:05.30pm"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDT(ClockFormat(c.unit, c.tf, ':'), t), c.text) << int(c.unit) << int(c.tf);
    EXPECT_EQ(FormatDT(ClockFormat(cuSecond, tfHHMMSS, '"'), t), "14\"05\"30");
}

TEST(DateTime, DateFormats) {
    const double d = EncodeDate(2024, 1, 5);
    EXPECT_EQ(FormatDT(DayTickFormat(doDDMMYY, true, ylYYYY, '-'), d), "05-Jan-2024");
    EXPECT_EQ(FormatDT(MonthTickFormat(doDDMMYY, true, ylYYYY, '-'), d), "Jan-2024");
    EXPECT_EQ(FormatDT(DayTickFormat(doDDMMYY, true, ylNone, '-'), d), "05-Jan-");
    EXPECT_EQ(FormatDT(DayTickFormat(doYYMMDD, true, ylNone, '-'), d), "-Jan-05");
    EXPECT_EQ(FormatDT(DayTickFormat(doMMDDYY, false, ylYY, '/'), d), "01/05/24");
    EXPECT_EQ(FormatDT(MonthTickFormat(doYYMMDD, false, ylYYYY, '.'), d), "2024.01");
    EXPECT_EQ(FormatDT(DateLineFormat(doYYMMDD, true, ylNone, '-'), d), "Jan-05");
    EXPECT_EQ(FormatDT(DateLineFormat(doDDMMYY, true, ylNone, '-'), d), "05-Jan");
    EXPECT_EQ(FormatDT(DateLineFormat(doMMDDYY, false, ylYYYY, '-'), d), "01-05-2024");
}

TEST(DateTime, PassChoice) {
    const double twoSeconds = 2.0 / 86400 / 3;
    EXPECT_EQ(ChooseDateTimePass(twoSeconds, true), dpClockHundredths);
    EXPECT_EQ(ChooseDateTimePass(twoSeconds, false), dpBelowOneSecond);
    EXPECT_EQ(ChooseDateTimePass(1e-8, true), dpBelowOneSecond);
    EXPECT_EQ(ChooseDateTimePass(1.0 / 3, true), dpClockHours);
    EXPECT_EQ(ChooseDateTimePass(10.0 / 3, false), dpDays);
    EXPECT_EQ(ChooseDateTimePass(730.0 / 3, false), dpMonths);
    EXPECT_EQ(ChooseDateTimePass(366, false), dpMonths);
    EXPECT_EQ(ChooseDateTimePass(18262.0 / 3, true), dpYears);
    EXPECT_EQ(ChooseDateTimePass(0.01, false), dpClockMinutes);
    EXPECT_EQ(ChooseDateTimePass(0.0005, false), dpClockSeconds);
    EXPECT_EQ(StepIndex(HourSteps, 6, 1.0 / 3 * 24), 5);
    EXPECT_EQ(StepIndex(DaySteps, 6, 10.0 / 3), 3);
    EXPECT_EQ(StepIndex(MonthSteps, 5, 730.0 / 30.4375 / 3), 5);
    EXPECT_EQ(StepIndex(HourSteps, 6, 0.5), 1);
}

TEST(DateTime, YearSteps) {
    const struct { double xy; bool shortTicks; Integer step, minor; } cases[] = {
        {50 * 365.25 / 3 / 365.25, true, 10, 5}, {50.0 / 3, false, 10, 10}, {1, true, 1, 1},
        {0.3, true, 1, 1}, {3, true, 2, 1}, {7, true, 5, 1}, {70, true, 50, 10}, {250, true, 200, 100},
    };
    for (const auto& c : cases) {
        Integer step = 0, minor = 0;
        YearSteps(c.xy, c.shortTicks, step, minor);
        EXPECT_EQ(step, c.step) << c.xy;
        EXPECT_EQ(minor, c.minor) << c.xy;
    }
}

TEST(Mapping, LinearLogAndClamps) {
    TScaleMapping m{3.59, 20, false, true, 400};
    EXPECT_EQ(m.Map(0), 20);
    EXPECT_EQ(m.Map(100), 379);
    EXPECT_EQ(m.Map(1e300), 2147483647);
    EXPECT_EQ(m.Map(-1e300), -2147483647);
    EXPECT_EQ(m.Map(std::nan("")), 0);
    TScaleMapping half{1, 0.5, false, true, 400};
    EXPECT_EQ(half.Map(0), 0);  // 0.5 rounds to even
    EXPECT_EQ(half.Map(1), 2);  // 1.5 too
    // The mapping's own rounding agrees with Round, halves included, on both signs.
    TScaleMapping unit{1, 0, false, true, 400};
    for (double v = -1000.25; v <= 1000.25; v += 0.25) EXPECT_EQ(unit.Map(v), Round(v)) << v;
    for (double v : {2147483646.5, -2147483646.5, 1e9 + 0.5, 0.49999999999999994, -0.5000000000000001})
        EXPECT_EQ(unit.Map(v), Round(v)) << v;
    // Decided on the extended value, not on a double rounded onto the half or past it.
    const struct { long double v; Integer r; } near[] = {
        {0.5L - 0x1p-60L, 0}, {2.5L + 0x1p-60L, 3}, {-2.5L - 0x1p-60L, -3}, {199.5L - 0x1p-55L, 199},
        {4.0L - 0x1p-60L, 4}, {-4.0L + 0x1p-60L, -4}, {2147483646.5L - 0x1p-32L, 2147483646},
    };
    for (const auto& c : near) EXPECT_EQ(TScaleMapping::RoundHalfEven(c.v), c.r) << static_cast<double>(c.v);
    TScaleMapping lg{359 / std::log(1000.0), 20, true, true, 400};
    EXPECT_EQ(lg.Map(1), 20);
    EXPECT_EQ(lg.Map(1000), 379);
    EXPECT_EQ(lg.Map(0), 0);
    lg.Ascending = false;
    EXPECT_EQ(lg.Map(-5), 400);
}

struct DragCase {
    Integer x, y, sx, sy;
    TMouseActMode action;
    TScaleType type;
    bool log;
    double lo, hi;
    bool ok;
    double newLow, newHigh;
};

TEST(ComputeZoomPan, Examples) {
    // A 400 × 400 scale with margins of 20 (axis length 360).
    const DragCase cases[] = {
        {136, 50, 100, 50, maPan, sctXB, false, 0, 100, true, -10, 90},
        {200, 50, 290, 50, maZoom, sctXB, false, 0, 100, true, 0, 150},
        {140, 50, 100, 50, maZoomDrag, sctXB, false, 0, 100, true, 5, 95},
        {50, 136, 50, 100, maPan, sctYL, false, 0, 100, true, 10, 110},
        {20, 50, 200, 50, maPan, sctXT, true, 1, 100, true, 10, 1000},
        {50, 50, 80, 50, maNone, sctXB, false, 0, 100, false, 0, 0},
        {50, 50, 80, 50, maRubberBand, sctXB, false, 0, 100, false, 0, 0},
        // Left half grabbed, pointer on the right margin: r = 0, the move is ignored.
        {380, 50, 100, 50, maZoom, sctXB, false, 0, 100, false, 0, 0},
        // Logarithmic drags with an end ≤ 0 are ignored.
        {120, 50, 100, 50, maPan, sctXB, true, -1, 100, false, 0, 0},
        {120, 50, 100, 50, maZoomDrag, sctYR, true, 0, 100, false, 0, 0},
        // A zoom out past the largest double is ignored; the width itself (2e308) is fine
        // in the extended arithmetic.
        {60, 50, 100, 50, maZoomDrag, sctXB, false, -1.7e308, 1.7e308, false, 0, 0},
        {120, 50, 100, 50, maZoomDrag, sctXB, false, -1e308, 1e308, true, -0.95e308, 0.95e308},
        {136, 50, 100, 50, maPan, sctXB, false, -1e308, 1e308, true, -1.2e308, 0.8e308},
    };
    for (const auto& c : cases) {
        double lo = 0, hi = 0;
        const bool ok = ComputeZoomPan(c.x, c.y, c.sx, c.sy, 400, 400, 20, 20, 20, 20, c.lo, c.hi,
                                       c.action, c.type, c.log, c.lo, c.hi, lo, hi);
        SCOPED_TRACE(testing::Message() << int(c.action) << " " << int(c.type) << " log " << c.log);
        EXPECT_EQ(ok, c.ok);
        if (ok && c.ok) {
            EXPECT_NEAR(lo, c.newLow, 1e-9 * std::max(1.0, std::fabs(c.newLow)));
            EXPECT_NEAR(hi, c.newHigh, 1e-9 * std::max(1.0, std::fabs(c.newHigh)));
        }
    }
}

TEST(ComputeZoomPan, BackAtTheStartGivesTheStartRange) {
    for (TMouseActMode a : {maPan, maZoom, maZoomDrag})
        for (TScaleType t : {sctXB, sctXT, sctYL, sctYR})
            for (bool lg : {false, true})
                for (Integer s : {60, 300}) {
                    double lo = 0, hi = 0;
                    ASSERT_TRUE(ComputeZoomPan(s, s, s, s, 400, 400, 20, 20, 20, 20, 2, 50, a, t, lg, 2, 50, lo, hi));
                    EXPECT_NEAR(lo, 2, 1e-12);
                    EXPECT_NEAR(hi, 50, 1e-12);
                }
}

TEST(ComputeZoomPan, ZoomKeepsTheGrabbedValueUnderThePointer) {
    double lo, hi;
    ASSERT_TRUE(ComputeZoomPan(200, 0, 290, 0, 400, 400, 20, 20, 20, 20, 0, 100, maZoom, sctXB, false, 0, 100, lo, hi));
    // 75 was 270 of the 360 axis pixels from the left end (x = 290); it is now at x = 200.
    EXPECT_NEAR((75 - lo) / (hi - lo) * 360 + 20, 200, 1e-9);
}

}  // namespace
}  // namespace kvb
