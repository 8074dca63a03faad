// Seeded random settings and samples, each followed by the transforms: nothing may crash or hang,
// a refused size must leave the component as it was, and the size stays a power of two.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "fourier/KVB_fourier.h"

namespace kvb {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class RandomInput {
public:
    explicit RandomInput(std::uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

    double Number() {
        static const double special[] = {
            0.0, -0.0, 1.0, -1.0, 0.5, 1e308, -1e308, 5e-324, -5e-324, 2.2e-308, 1e-310,
            std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
            kNaN, kInf, -kInf,
        };
        switch (Int(0, 2)) {
        case 0: return special[Int(0, int(std::size(special)) - 1)];
        case 1: return std::uniform_real_distribution<double>(-1e3, 1e3)(rng_);
        default: return (Chance(50) ? 1 : -1) * std::pow(10.0, Int(-320, 308));
        }
    }

    // Mostly accepted sizes up to 2^12; the rest are values the component must refuse.
    Integer Size() {
        static const Integer refused[] = {
            0, -1, -256, 3, 6, 1000, 4097, (1 << 23) + 1, 1 << 24, 1 << 30,
            std::numeric_limits<Integer>::max(), std::numeric_limits<Integer>::min(),
        };
        if (Chance(70)) return Integer{1} << Int(0, 12);
        return refused[Int(0, int(std::size(refused)) - 1)];
    }

    // Indices around and far beyond 1 … n.
    Integer Index(Integer n) {
        switch (Int(0, 4)) {
        case 0: return Int(-3, 0);
        case 1: return n + Int(1, 3);
        case 2: return Chance(50) ? std::numeric_limits<Integer>::max() : std::numeric_limits<Integer>::min();
        default: return Int(1, n);
        }
    }

private:
    std::mt19937 rng_;
};

bool IsAcceptedSize(Integer n) { return n >= 1 && n <= TFastFourier::MaxSpectrumSize && (n & (n - 1)) == 0; }

std::vector<double> Snapshot(const TFastFourier& f) {
    return {f.Data(), f.Data() + 2 * static_cast<std::size_t>(f.SpectrumSize())};
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(FourierRandom, SettingsSamplesAndTransforms) {
    RandomInput r(20261211);
    TFastFourier f(nullptr);
    for (int round = 0; round < 1500; ++round) {
        SCOPED_TRACE(round);

        const Integer before = f.SpectrumSize();
        const Integer size = r.Size();
        if (IsAcceptedSize(size)) {
            f.SetSpectrumSize(size);
            ASSERT_EQ(f.SpectrumSize(), size);
            for (Integer k = 1; k <= size; k += std::max<Integer>(1, size / 8)) {
                ASSERT_EQ(f.RealAt(k), 0.0);
                ASSERT_EQ(f.ImagAt(k), 0.0);
                ASSERT_EQ(f.UserWeight(k), 0.0);
            }
        } else {
            const std::vector<double> data = Snapshot(f);
            EXPECT_THROW(f.SetSpectrumSize(size), EKVBFourierError) << size;
            ASSERT_EQ(f.SpectrumSize(), before);
            ASSERT_TRUE(SameBits(Snapshot(f), data)) << "a refused size changed the samples";
        }
        const Integer n = f.SpectrumSize();
        ASSERT_TRUE(IsAcceptedSize(n));

        f.SetWeightingWindow(static_cast<TFastFourierWgtWin>(r.Int(0, 9)));
        f.SetTukeyAlpha(r.Number());
        ASSERT_GE(f.TukeyAlpha(), 0.0);
        ASSERT_LE(f.TukeyAlpha(), 1.0);

        // Mostly tame samples, so the round trip below can be checked; now and then the
        // special values, which need only pass through without harm.
        const bool tame = r.Chance(60);
        for (Integer k = 1; k <= n; ++k) {
            f.SetRealAt(k, tame ? r.Int(-1000, 1000) / 8.0 : r.Number());
            f.SetImagAt(k, tame ? r.Int(-1000, 1000) / 8.0 : r.Number());
            if (r.Chance(20)) f.SetUserWeight(k, r.Number());
        }

        // Reads outside give 0.0 and writes outside touch nothing.
        const std::vector<double> data = Snapshot(f);
        for (int probe = 0; probe < 6; ++probe) {
            Integer k = r.Index(n);
            if (k >= 1 && k <= n) k = 0;
            ASSERT_EQ(f.RealAt(k), 0.0) << k;
            ASSERT_EQ(f.ImagAt(k), 0.0) << k;
            ASSERT_EQ(f.UserWeight(k), 0.0) << k;
            f.SetRealAt(k, r.Number());
            f.SetImagAt(k, r.Number());
            f.SetUserWeight(k, r.Number());
        }
        ASSERT_TRUE(SameBits(Snapshot(f), data)) << "a write outside 1 … N landed in the buffer";

        if (tame) {
            // The plain forward transform followed by the backward one gives the samples back.
            f.SetWeightingWindow(fwRectangle);
            f.ForwardTransform();
            for (int probe = 0; probe < 4; ++probe) {
                const double m = f.MagnitudeOf(r.Int(0, n / 2));
                ASSERT_TRUE(std::isfinite(m));
                ASSERT_GE(m, 0.0);
            }
            f.BackwardTransform();
            const double tolerance = 1e-9 * 125.0 * std::log2(2.0 * n);
            for (Integer k = 1; k <= n; ++k) {
                ASSERT_NEAR(f.RealAt(k), data[2 * (k - 1)], tolerance) << k;
                ASSERT_NEAR(f.ImagAt(k), data[2 * (k - 1) + 1], tolerance) << k;
            }
        } else {
            switch (r.Int(0, 2)) {
            case 0: f.ForwardTransform(); break;
            case 1: f.BackwardTransform(); break;
            default: f.ComplexFFT(r.Chance(50) ? r.Int(-5, 5) : std::numeric_limits<Integer>::min()); break;
            }
            for (int probe = 0; probe < 4; ++probe) {
                const double m = f.MagnitudeOf(r.Int(0, n / 2));
                ASSERT_FALSE(m < 0.0) << "a magnitude is never negative";
            }
        }
        for (int probe = 0; probe < 4; ++probe) {
            Integer m = r.Index(n);
            if (m >= 0 && m <= n / 2) m = n / 2 + 1;
            ASSERT_EQ(f.MagnitudeOf(m), 0.0) << m;
        }
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace kvb
