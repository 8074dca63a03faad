// Tick lists, labels and events of numeric, logarithmic and duration axes.
#include <gtest/gtest.h>

#include <cmath>

#include "ScaleFixture.h"

namespace kvb {
namespace {

using test::ScaleFixture;
using test::Steps;
using Strings = std::vector<std::string>;

void ExpectValues(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "entry " << i;
}

TEST_F(ScaleFixture, VerticalRecordsMinorThenMajorTicks) {
    scale->SetScaleType(sctYL);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 27);
    std::vector<double> expected = Steps(0, 100, 5);
    for (double v : Steps(0, 100, 20)) expected.push_back(v);
    ExpectValues(Recorded(), expected);
    EXPECT_EQ(labels, (Strings{"0", "20", "40", "60", "80", "100"}));
    // Major ticks: event after the mark, before the label.
    EXPECT_EQ(order.substr(21), "TLTLTLTLTLTL");
    // The event names the pixel where the mark starts: (axis column, row of the value).
    EXPECT_EQ(ticks[21].x, 20);
    EXPECT_EQ(ticks[21].y, 379);
    EXPECT_EQ(ticks.back().y, 20);
}

TEST_F(ScaleFixture, HorizontalRecordsEachPositionOnce) {
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 21);
    ExpectValues(Recorded(), Steps(0, 100, 5));
    // Major ticks: event after the label.
    EXPECT_EQ(order.substr(21), "LTLTLTLTLTLT");
    EXPECT_EQ(ticks[21].x, 20);
    EXPECT_EQ(ticks[21].y, 379);  // the axis row: 400 − 20 − 1

    scale->SetShortTicks(false);
    PaintEmbedded();
    ExpectValues(Recorded(), Steps(0, 100, 20));
}

TEST_F(ScaleFixture, FixedStepOfOneRecordsTheFirst250) {
    scale->SetRange(0, 300);
    scale->SetMinTicks(0);
    scale->SetShortTicks(false);
    PaintEmbedded();
    EXPECT_EQ(labels.size(), 301u);
    EXPECT_EQ(scale->NumTicks(), 250);
    EXPECT_EQ(scale->TickValue(250), 249);
}

TEST_F(ScaleFixture, TickListsByRange) {
    struct Case {
        double lo, hi;
        Integer minTicks;
        bool shortTicks;
        std::vector<double> recorded;
    };
    const Case cases[] = {
        {100, 0, 3, false, Steps(100, 0, -20)},
        {0, 5, 0, false, Steps(0, 5, 1)},
        {0, 5, 0, true, Steps(0, 5, 0.2)},
        // No multiple of 1 inside: the single tick at 1 lies beyond the axis end.
        {0.2, 0.8, 0, false, {1}},
        // MinTicks 0 on a reversed axis walks down and ends.
        {5.5, 0, 0, false, Steps(5, 0, -1)},
        {-7, 7, 3, false, Steps(-6, 6, 2)},
    };
    for (const auto& c : cases) {
        scale->SetRange(c.lo, c.hi);
        scale->SetMinTicks(c.minTicks);
        scale->SetShortTicks(c.shortTicks);
        PaintEmbedded();
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " MinTicks " << c.minTicks);
        ExpectValues(Recorded(), c.recorded);
    }
}

TEST_F(ScaleFixture, NumberLabels) {
    struct Case {
        double lo, hi;
        Integer decPlaces;
        const char* inscript;
        Strings labels;
    };
    const Case cases[] = {
        {0, 1, -2, "", {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}},
        {0, 1, -3, "", {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}},  // linear: automatic too
        {0, 256, -2, "", {"0", "50", "100", "150", "200", "250"}},
        {-7, 7, -2, "", {"-6.0", "-4.0", "-2.0", "0.0", "2.0", "4.0", "6.0"}},
        {0, 2000000, -2, "", {"0.0", " 5.0E+05", " 1.0E+06", " 1.5E+06", " 2.0E+06"}},
        {0, 1, 0, "", {"0", "", "", "", "", "1"}},
        {0, 100, 0, "&%", {"0%", "20%", "40%", "60%", "80%", "100%"}},
        {0, 1, 0, "&%", {"0%", "", "", "", "", "1%"}},
        {0, 100, -1, "", {" 0.0E+00", " 2.0E+01", " 4.0E+01", " 6.0E+01", " 8.0E+01", " 1.0E+02"}},
        {0, 100, 3, "$", {"$0.000", "$20.000", "$40.000", "$60.000", "$80.000", "$100.000"}},
    };
    for (const auto& c : cases) {
        scale->SetRange(c.lo, c.hi);
        scale->SetDecPlaces(c.decPlaces);
        scale->SetScaleInscript(c.inscript);
        PaintEmbedded();
        EXPECT_EQ(labels, c.labels) << c.lo << ".." << c.hi << " DecPlaces " << c.decPlaces;
    }
}

TEST_F(ScaleFixture, ZeroSnappingReachesTheEvents) {
    // 0.3 − 3 × 0.1 is a residue, not zero: a tick computed there is labelled and reported as 0.
    scale->SetRange(-0.3, 0.3);
    scale->SetShortTicks(false);
    PaintEmbedded();
    ASSERT_EQ(labels.size(), 7u);
    EXPECT_EQ(labels[3], "0.00");
    EXPECT_EQ(labelValues[3], 0.0);
    EXPECT_EQ(ticks[3].value, 0.0);
}

TEST_F(ScaleFixture, UserTextsByMajorTick) {
    scale->SetLabelType(ftUserText);
    scale->SetUserTickText("low|mid|high");
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"low", "mid", "high", "high", "high", "high"}));
}

TEST_F(ScaleFixture, NoFiguresDrawsTicksOnly) {
    scale->SetLabelType(ftNoFigs);
    PaintEmbedded();
    EXPECT_TRUE(labels.empty());
    EXPECT_EQ(scale->NumTicks(), 21);
}

TEST_F(ScaleFixture, EmptiedLabelKeepsItsTick) {
    scale->SetOnBeforeTickLabel([](TObject*, TScaleType, double, std::string& label) { label.clear(); });
    scale->SetShortTicks(false);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 6);
}

TEST_F(ScaleFixture, LogarithmicTicks) {
    struct Case {
        double lo, hi;
        Integer minTicks;
        bool shortTicks;
        TScaleType type;
        std::vector<double> recorded;
    };
    const Case cases[] = {
        {1, 1000, 3, true, sctXB, {1, 10, 100, 1000}},
        {1, 1000, 5, false, sctXB, {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}},
        {1, 100, 5, true, sctXB, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {1, 100, 5, false, sctYL, {1, 2, 5, 10, 20, 50, 100}},
        {1, 100, 5, true, sctYL, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {1000, 1, 3, false, sctYR, {1, 10, 100, 1000}},
        {0.01, 100, 3, false, sctXB, {0.01, 0.1, 1, 10, 100}},
        // Less than a decade: linear placement.
        {2, 15, 3, false, sctXB, {2, 4, 6, 8, 10, 12, 14}},
    };
    for (const auto& c : cases) {
        scale->SetRange(c.lo, c.hi);
        scale->SetMinTicks(c.minTicks);
        scale->SetShortTicks(c.shortTicks);
        scale->SetScaleType(c.type);
        scale->SetLogarithmic(true);
        PaintEmbedded();
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " MinTicks " << c.minTicks);
        ExpectValues(Recorded(), c.recorded);
    }
}

TEST_F(ScaleFixture, HorizontalLogMinorTicksFireWithoutShortTicks) {
    scale->SetRange(1, 100);
    scale->SetMinTicks(5);
    scale->SetShortTicks(false);
    scale->SetLogarithmic(true);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 7);
    EXPECT_EQ(ticks.size(), 19u);  // minor positions still reach OnScaleTickDrawn
    scale->SetScaleType(sctYL);
    PaintEmbedded();
    EXPECT_EQ(ticks.size(), 7u);  // vertical scales skip them altogether
}

TEST_F(ScaleFixture, LogarithmicLabels) {
    scale->SetRange(0.01, 100);
    scale->SetLogarithmic(true);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"0.01", "0.1", "1", "10", "100"}));

    scale->SetRange(1, 1e6);
    scale->SetDecPlaces(-3);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"0", "1", "2", "3", "4", "5", "6"}));
    scale->SetScaleInscript("10^&");
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"10^0", "10^1", "10^2", "10^3", "10^4", "10^5", "10^6"}));

    scale->SetRange(1, 1000);
    scale->SetMinTicks(5);
    scale->SetScaleInscript("");
    PaintEmbedded();  // decade exponents: the 2 and 5 ticks stay unlabelled
    EXPECT_EQ(labels, (Strings{"0", "", "", "1", "", "", "2", "", "", "3"}));

    scale->SetDecPlaces(-2);
    scale->SetLabelType(ftUserText);
    scale->SetUserTickText("a|b|c|d");
    scale->SetMinTicks(3);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{"a", "b", "c", "d"}));
}

TEST_F(ScaleFixture, DurationAxes) {
    scale->SetLabelType(ftTime);
    scale->SetRange(0, 3600);
    scale->SetShortTicks(false);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{" 00:00:00", " 00:20:00", " 00:40:00", " 01:00:00"}));
    scale->SetShortTicks(true);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 19);  // every 200 s; the major ones are not recorded again
    scale->SetScaleType(sctYL);
    PaintEmbedded();
    EXPECT_EQ(scale->NumTicks(), 23);

    scale->SetScaleType(sctXB);
    scale->SetMinTicks(0);  // counts as one interval: one step of an hour
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{" 00:00:00", " 01:00:00"}));
    scale->SetMinTicks(3);
    scale->SetRange(0, 1);
    PaintEmbedded();
    EXPECT_EQ(labels, (Strings{" 00:00:00.000", " 00:00:00.200", " 00:00:00.400", " 00:00:00.600",
                               " 00:00:00.800", " 00:00:01.000"}));

    // Reversed axes keep both end ticks, as rising ones do.
    scale->SetShortTicks(false);
    const struct { double lo, hi; Strings labels; } reversed[] = {
        {3600, 0, {" 01:00:00", " 00:40:00", " 00:20:00", " 00:00:00"}},
        {0, -3600, {" 00:00:00", "-00:20:00", "-00:40:00", "-01:00:00"}},
        {-3600, 0, {"-01:00:00", "-00:40:00", "-00:20:00", " 00:00:00"}},
    };
    for (const auto& c : reversed) {
        scale->SetRange(c.lo, c.hi);
        PaintEmbedded();
        EXPECT_EQ(labels, c.labels) << c.lo << ".." << c.hi;
    }
    scale->SetShortTicks(true);

    // Per tick beyond the table: numeric labels with the 4 decimals ftTime set.
    scale->SetRange(0, 1000000);
    PaintEmbedded();
    EXPECT_EQ(labels.front(), "0.0");  // a snapped zero on a range over 100000
    EXPECT_EQ(labels[1], "200000.0000");
    scale->SetDecPlaces(0);
    PaintEmbedded();
    EXPECT_EQ(labels[1], "200000");
}

}  // namespace
}  // namespace kvb
