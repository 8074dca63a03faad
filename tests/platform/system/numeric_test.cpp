#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "platform/system/System.h"

namespace kvb {
namespace {

constexpr Int64 kMax = std::numeric_limits<Int64>::max();
constexpr Int64 kMin = std::numeric_limits<Int64>::min();
const Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
const Extended kInf = std::numeric_limits<Extended>::infinity();

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    struct Case { Extended in; Int64 out; } cases[] = {
        {0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {3.5L, 4}, {-0.5L, 0}, {-1.5L, -2}, {-2.5L, -2},
        {2.4999999L, 2}, {2.5000001L, 3}, {-2.5000001L, -3}, {1e18L + 0.5L, 1000000000000000000LL},
    };
    for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << static_cast<double>(c.in);
}

TEST(Rounding, SaturatesAndMapsNaNToZero) {
    EXPECT_EQ(Round(1e30L), kMax);
    EXPECT_EQ(Round(-1e30L), kMin);
    EXPECT_EQ(Round(kInf), kMax);
    EXPECT_EQ(Round(-kInf), kMin);
    EXPECT_EQ(Round(kNaN), 0);
    EXPECT_EQ(Trunc(kNaN), 0);
    EXPECT_EQ(Floor(kNaN), 0);
    EXPECT_EQ(Trunc(9.3e18L), kMax);
    EXPECT_EQ(Floor(-9.3e18L), kMin);
    // -2^63 itself is representable and must not saturate as an overflow.
    EXPECT_EQ(Floor(-9223372036854775808.0L), kMin);
}

TEST(Rounding, IntTruncFracFloor) {
    EXPECT_EQ(Int(-2.7L), -2.0L);
    EXPECT_EQ(Int(2.7L), 2.0L);
    EXPECT_EQ(Trunc(-2.7L), -2);
    EXPECT_EQ(Floor(-2.7L), -3);
    EXPECT_EQ(Floor(2.7L), 2);
    EXPECT_EQ(Floor(-3.0L), -3);
    EXPECT_EQ(Frac(-2.75L), -0.75L);
    EXPECT_EQ(Frac(2.75L), 0.75L);
    EXPECT_EQ(Frac(kInf), 0.0L);
}

// Values below were computed by hand from state := state * 134775813 + 1 (mod 2^32).
TEST(RandomGenerator, DrawsFromSeed1234) {
    SetRandSeed(1234);
    EXPECT_EQ(Random(255), 184);
    EXPECT_EQ(RandSeed(), 3104595995u);
    EXPECT_EQ(Random(255), 214);
    EXPECT_EQ(RandSeed(), 3617836168u);
    EXPECT_EQ(Random(255), 79);
    EXPECT_EQ(Random(255), 0);
    EXPECT_EQ(Random(255), 78);

    SetRandSeed(1234);
    EXPECT_EQ(Random(), 3104595995.0 / 4294967296.0);
    EXPECT_EQ(Random(), 3617836168.0 / 4294967296.0);
    EXPECT_DOUBLE_EQ(Random(), 0.31215087533928454);
}

TEST(RandomGenerator, NonPositiveRangeGivesZeroButAdvances) {
    SetRandSeed(1234);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(RandSeed(), 3617836168u);
    // The largest range uses the full 64-bit product without overflow.
    SetRandSeed(1234);
    EXPECT_EQ(Random(std::numeric_limits<Integer>::max()),
              static_cast<Integer>((std::uint64_t(2147483647) * 3104595995u) >> 32));
}

// The start-up sequence of the demo: a permutation of 1..255, three real draws, then the
// first noise sample of the first cycle.
TEST(RandomGenerator, StartUpPermutationAndFirstSample) {
    SetRandSeed(1234);
    std::set<Integer> placed;
    int draws = 0;
    for (int place = 0; place < 255; ++place) {
        Integer v;
        do {
            v = Random(255) + 1;
            ++draws;
        } while (placed.count(v) != 0);
        placed.insert(v);
    }
    EXPECT_EQ(draws, 1446);
    EXPECT_EQ(placed.size(), 255u);
    EXPECT_EQ(*placed.begin(), 1);
    EXPECT_EQ(*placed.rbegin(), 255);
    for (int k = 0; k < 3; ++k) Random();
    const Extended r = Random();
    EXPECT_EQ(RandSeed(), 3414490976u);
    const Extended v = 3 * std::sin(0.12L) + 1.6L * std::cos(0.071L) + (r - 0.5L) * 4;
    EXPECT_EQ(Round(v * 10000), 31351);
    const Extended r2 = Random();
    const Extended v2 = 3 * std::sin(0.24L) + 1.6L * std::cos(0.142L) + (r2 - 0.5L) * 4;
    EXPECT_EQ(Round(v2 * 10000), 24263);
}

TEST(FileNames, ExtractFileName) {
    EXPECT_EQ(ExtractFileName("/home/user/picture.bmp"), "picture.bmp");
    EXPECT_EQ(ExtractFileName("C:\\images\\back.bmp"), "back.bmp");
    EXPECT_EQ(ExtractFileName("plain.bmp"), "plain.bmp");
    EXPECT_EQ(ExtractFileName("folder/"), "");
    EXPECT_EQ(ExtractFileName(""), "");
}

}  // namespace
}  // namespace kvb
