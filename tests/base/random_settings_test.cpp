// Seeded random values, enumerations outside their lists included, written into the shared
// settings objects and copied between them: the layer stays within 1 … 16, a copy holds the
// source's values, and copying tells nobody.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>

#include "base/KVB_kvbbase.h"

namespace kvb {
namespace {

class RandomValues {
public:
    explicit RandomValues(std::uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    // Any byte: the enumerations' storage accepts all of them, listed or not.
    template <class E>
    E Enum() { return static_cast<E>(Int(0, 255)); }
    char Char() { return static_cast<char>(Int(-128, 127)); }
    Integer Extreme() {
        static const Integer values[] = {0, 1, 16, 17, -1, std::numeric_limits<Integer>::min(),
                                         std::numeric_limits<Integer>::max()};
        return Chance(50) ? values[Int(0, int(std::size(values)) - 1)] : Int(-100, 100);
    }
    double Number() {
        static const double values[] = {
            0.0, -0.0, 1e308, -1e308, 5e-324, std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
        return Chance(50) ? values[Int(0, int(std::size(values)) - 1)]
                          : std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
    }
    TColor Color() { return static_cast<TColor>(std::uniform_int_distribution<std::uint32_t>()(rng_)); }

private:
    std::mt19937 rng_;
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void Randomise(TDTLabel& d, RandomValues& r) {
    switch (r.Int(0, 6)) {
    case 0: d.SetTimeFormat(r.Enum<TTimeFormat>()); break;
    case 1: d.SetDateSeparator(r.Char()); break;
    case 2: d.SetTimeSeparator(r.Char()); break;
    case 3: d.SetYearLength(r.Enum<TYearLength>()); break;
    case 4: d.SetMonthName(r.Chance(50)); break;
    case 5: d.SetDateOrder(r.Enum<TDateOrder>()); break;
    default: d.SetDateForTime(r.Enum<TDateForTime>()); break;
    }
}

void ExpectSame(const TDTLabel& a, const TDTLabel& b) {
    EXPECT_EQ(a.TimeFormat(), b.TimeFormat());
    EXPECT_EQ(a.DateSeparator(), b.DateSeparator());
    EXPECT_EQ(a.TimeSeparator(), b.TimeSeparator());
    EXPECT_EQ(a.YearLength(), b.YearLength());
    EXPECT_EQ(a.MonthName(), b.MonthName());
    EXPECT_EQ(a.DateOrder(), b.DateOrder());
    EXPECT_EQ(a.DateForTime(), b.DateForTime());
}

void Randomise(TCrossHair& c, RandomValues& r) {
    switch (r.Int(0, 6)) {
    case 0: c.SetPosX(r.Number()); break;
    case 1: c.SetPosY(r.Number()); break;
    case 2: c.SetColor(r.Color()); break;
    case 3: c.SetMode(r.Enum<TCrossHMode>()); break;
    case 4: c.SetLineType(r.Enum<TPenStyle>()); break;
    case 5: c.SetLineWid(r.Extreme()); break;
    default: c.SetLayer(r.Extreme()); break;
    }
}

void ExpectSame(const TCrossHair& a, const TCrossHair& b) {
    EXPECT_TRUE(SameBits(a.PosX(), b.PosX()));
    EXPECT_TRUE(SameBits(a.PosY(), b.PosY()));
    EXPECT_EQ(a.Color(), b.Color());
    EXPECT_EQ(a.Mode(), b.Mode());
    EXPECT_EQ(a.LineType(), b.LineType());
    EXPECT_EQ(a.LineWid(), b.LineWid());
    EXPECT_EQ(a.Layer(), b.Layer());
}

// Several objects, each with its own counting handler; random writes, then random copies in
// both directions (Assign and AssignTo), the odd one onto itself.
template <class T>
void RunRandomObjects(std::uint32_t seed, void (*check)(const T&)) {
    RandomValues r(seed);
    constexpr int kCount = 4;
    T objects[kCount];
    int heard[kCount] = {};
    for (int i = 0; i < kCount; ++i)
        objects[i].SetOnChange([&heard, i, &objects](TObject* sender) {
            EXPECT_EQ(sender, &objects[i]) << "a handler heard about another object";
            ++heard[i];
        });
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        T& target = objects[r.Int(0, kCount - 1)];
        for (int w = r.Int(0, 4); w > 0; --w) Randomise(target, r);
        check(target);

        T& dest = objects[r.Int(0, kCount - 1)];
        const T& src = objects[r.Int(0, kCount - 1)];
        int before[kCount];
        std::copy(std::begin(heard), std::end(heard), before);
        if (r.Chance(50))
            dest.Assign(const_cast<T*>(&src));
        else
            const_cast<T&>(src).AssignTo(&dest);
        ExpectSame(dest, src);
        check(dest);
        for (int i = 0; i < kCount; ++i) ASSERT_EQ(heard[i], before[i]) << "a copy notified " << i;
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(SettingsRandom, DateLabelsKeepWhatTheyAreGivenAndCopyQuietly) {
    RunRandomObjects<TDTLabel>(11, [](const TDTLabel&) {});
}

TEST(SettingsRandom, CrossHairsKeepTheirLayerInRangeAndCopyQuietly) {
    RunRandomObjects<TCrossHair>(12, [](const TCrossHair& c) {
        // A fresh crosshair is on layer 0 until its chart sets one; once set it stays in range.
        if (c.Layer() != 0) {
            EXPECT_GE(c.Layer(), 1);
            EXPECT_LE(c.Layer(), 16);
        }
    });
}

}  // namespace
}  // namespace kvb
