#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "fourier/KVB_fourier.h"

namespace kvb {
namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;

std::vector<double> Snapshot(const TFastFourier& f) {
    return std::vector<double>(f.Data(), f.Data() + 2 * static_cast<std::size_t>(f.SpectrumSize()));
}

// A fixture with the demonstration's component name, so messages read as the user sees them.
class FastFourier : public ::testing::Test {
protected:
    FastFourier() { fft.SetName("FFT1"); }
    void FillRamp() {
        for (int k = 1; k <= fft.SpectrumSize(); ++k) {
            fft.SetRealAt(k, 1.0 + 0.25 * k);
            fft.SetImagAt(k, -0.5 * k);
        }
    }
    TFastFourier fft{nullptr};
};

TEST_F(FastFourier, ConstructionDefaults) {
    EXPECT_EQ(fft.SpectrumSize(), 256);
    EXPECT_EQ(fft.WeightingWindow(), fwRectangle);
    EXPECT_EQ(fft.TukeyAlpha(), 0.0);
    for (int k = 1; k <= 256; ++k) {
        EXPECT_EQ(fft.RealAt(k), 0.0);
        EXPECT_EQ(fft.ImagAt(k), 0.0);
        EXPECT_EQ(fft.UserWeight(k), 1.0);
    }
}

TEST_F(FastFourier, PublishedPropertiesInOrder) {
    const TClassInfo& info = TFastFourier::StaticClassInfo();
    ASSERT_EQ(info.OwnProps.size(), 3u);
    EXPECT_EQ(info.OwnProps[0].Name, "SpectrumSize");
    EXPECT_EQ(info.OwnProps[1].Name, "WeightingWindow");
    EXPECT_EQ(info.OwnProps[2].Name, "TukeyAlpha");
    EXPECT_EQ(FindClass("TFastFourier"), &info);
    ASSERT_TRUE(info.Create);
    TComponent owner(nullptr);
    TComponent* made = info.Create(&owner);
    EXPECT_EQ(made->Owner(), &owner);
    info.FindProp("WeightingWindow")->SetOrd(made, fwHamming);
    EXPECT_EQ(static_cast<TFastFourier*>(made)->WeightingWindow(), fwHamming);
}

TEST_F(FastFourier, ResizingClearsBufferAndUserWeights) {
    fft.SetSpectrumSize(1024);
    FillRamp();
    fft.SetSpectrumSize(1024);  // the same size clears again
    EXPECT_EQ(fft.SpectrumSize(), 1024);
    for (int k = 1; k <= 1024; ++k) {
        ASSERT_EQ(fft.RealAt(k), 0.0);
        ASSERT_EQ(fft.ImagAt(k), 0.0);
        ASSERT_EQ(fft.UserWeight(k), 0.0);
    }
    fft.SetSpectrumSize(1);
    EXPECT_EQ(fft.SpectrumSize(), 1);
    fft.SetSpectrumSize(TFastFourier::MaxSpectrumSize);
    EXPECT_EQ(fft.SpectrumSize(), 1 << 23);
}

TEST_F(FastFourier, RejectedSizesChangeNothing) {
    fft.SetSpectrumSize(16);
    FillRamp();
    fft.SetUserWeight(3, 0.75);
    const std::vector<double> before = Snapshot(fft);
    for (Integer bad : {0, 3, 1000, -4, 1 << 24, std::numeric_limits<Integer>::min()}) {
        try {
            fft.SetSpectrumSize(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EKVBFourierError& e) {
            EXPECT_EQ(e.Message(), "Component \"FFT1\": data length must be power of 2") << bad;
        }
        EXPECT_EQ(fft.SpectrumSize(), 16);
        EXPECT_EQ(Snapshot(fft), before);
        EXPECT_EQ(fft.UserWeight(3), 0.75);
    }
}

TEST_F(FastFourier, AllocationFailureReportsAndKeepsComponentUsable) {
    fft.SetSpectrumSize(8);
    FillRamp();
    const std::vector<double> before = Snapshot(fft);
    for (int successes : {0, 1, 2, 3}) {  // buffer, user weights, twiddles, swap list
        fourier_testing::FailAllocationAfter(successes);
        try {
            fft.SetSpectrumSize(1024);
            ADD_FAILURE() << "no error";
        } catch (const EKVBFourierError& e) {
            EXPECT_EQ(e.Message(), "Component \"FFT1\": not enough memory on heap");
        }
        EXPECT_EQ(fft.SpectrumSize(), 8) << successes;
        EXPECT_EQ(Snapshot(fft), before);
    }
    // Still usable: a round trip works and a later resize succeeds.
    fft.ForwardTransform();
    fft.BackwardTransform();
    for (int k = 1; k <= 8; ++k) EXPECT_NEAR(fft.RealAt(k), before[2 * k - 2], 1e-12);
    fft.SetSpectrumSize(1024);
    EXPECT_EQ(fft.SpectrumSize(), 1024);
}

TEST(FastFourierConstruction, AllocationFailureRaisesMemoryError) {
    TComponent owner(nullptr);
    fourier_testing::FailAllocationAfter(0);
    EXPECT_THROW(TFastFourier{&owner}, EKVBFourierError);
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(FastFourier, OutOfRangeIndicesAreAbsorbed) {
    fft.SetSpectrumSize(8);
    FillRamp();
    const std::vector<double> before = Snapshot(fft);
    for (Integer k : {0, 9, -1, std::numeric_limits<Integer>::max(), std::numeric_limits<Integer>::min()}) {
        EXPECT_EQ(fft.RealAt(k), 0.0);
        EXPECT_EQ(fft.ImagAt(k), 0.0);
        EXPECT_EQ(fft.UserWeight(k), 0.0);
        fft.SetRealAt(k, 5.0);
        fft.SetImagAt(k, 5.0);
        fft.SetUserWeight(k, 5.0);
    }
    EXPECT_EQ(Snapshot(fft), before);
    for (Integer m : {-1, 5, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()})
        EXPECT_EQ(fft.MagnitudeOf(m), 0.0) << m;
}

TEST_F(FastFourier, ElementLayoutIsInterleaved) {
    fft.SetSpectrumSize(4);
    fft.SetRealAt(2, 1.5);
    fft.SetImagAt(2, -2.5);
    EXPECT_EQ(fft.Data()[2], 1.5);
    EXPECT_EQ(fft.Data()[3], -2.5);
    EXPECT_EQ(fft.ImagAt(2), -2.5);
}

TEST_F(FastFourier, SingleElementTransformsAreIdentity) {
    fft.SetSpectrumSize(1);
    fft.SetRealAt(1, 2.5);
    fft.SetImagAt(1, -1.25);
    fft.ForwardTransform();
    EXPECT_EQ(fft.RealAt(1), 2.5);
    EXPECT_EQ(fft.ImagAt(1), -1.25);
    fft.BackwardTransform();
    EXPECT_EQ(fft.RealAt(1), 2.5);
    EXPECT_EQ(fft.ImagAt(1), -1.25);
    EXPECT_EQ(fft.MagnitudeOf(0), std::sqrt(2.5 * 2.5 + 1.25 * 1.25));
}

TEST_F(FastFourier, SineGivesItsAmplitudeAtItsLine) {
    const int n = 256;
    fft.SetSpectrumSize(n);
    double sum = 0;
    for (int k = 1; k <= n; ++k) {
        const double v = 3 * std::sin(2 * std::numbers::pi * 20 * k / n) + 0.75;
        fft.SetRealAt(k, v);
        sum += v;
    }
    fft.ForwardTransform();
    EXPECT_NEAR(fft.MagnitudeOf(20), 3.0, 1e-12);
    EXPECT_NEAR(fft.MagnitudeOf(0), sum / n, 1e-12);
    for (int m = 1; m <= n / 2; ++m)
        if (m != 20) EXPECT_NEAR(fft.MagnitudeOf(m), 0.0, 1e-12) << m;
}

TEST_F(FastFourier, ExponentSignAndMirrorPairing) {
    // x[k] = e^{+2πi·k/N}: with a positive exponent in the forward sum the energy lands on
    // line N−1, and MagnitudeOf(1) pairs line 1 with its mirror N−1.
    const int n = 16;
    fft.SetSpectrumSize(n);
    for (int k = 0; k < n; ++k) {
        fft.SetRealAt(k + 1, std::cos(2 * std::numbers::pi * k / n));
        fft.SetImagAt(k + 1, std::sin(2 * std::numbers::pi * k / n));
    }
    fft.ComplexFFT(+1);
    EXPECT_NEAR(fft.RealAt(n), n, 1e-12);
    EXPECT_NEAR(fft.RealAt(2), 0.0, 1e-12);
    EXPECT_NEAR(fft.MagnitudeOf(1), 1.0, 1e-12);
    // Line N/2 is paired with itself.
    fft.SetSpectrumSize(8);
    fft.SetRealAt(5, -3.0);
    EXPECT_EQ(fft.MagnitudeOf(4), 2 * 3.0 / 8);
}

TEST_F(FastFourier, RoundTripRestoresInput) {
    fft.SetSpectrumSize(512);
    FillRamp();
    const std::vector<double> before = Snapshot(fft);
    fft.ForwardTransform();
    fft.BackwardTransform();
    const std::vector<double> after = Snapshot(fft);
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_NEAR(after[i], before[i], 1e-11) << i;
}

TEST_F(FastFourier, NonFiniteSamplesPassThrough) {
    fft.SetSpectrumSize(64);
    FillRamp();
    fft.SetRealAt(3, std::numeric_limits<double>::quiet_NaN());
    fft.SetImagAt(7, std::numeric_limits<double>::infinity());
    fft.SetRealAt(9, -std::numeric_limits<double>::infinity());
    for (auto w : {fwRectangle, fwHamming, fwTukey, fwUserDef}) {
        fft.SetWeightingWindow(w);
        fft.ForwardTransform();
        fft.BackwardTransform();
    }
    EXPECT_TRUE(std::isnan(fft.RealAt(1)));
    EXPECT_TRUE(std::isnan(fft.MagnitudeOf(1)));
}

TEST_F(FastFourier, TukeyAlphaIsClamped) {
    struct Case { double in, out; };
    for (Case c : {Case{-0.5, 0.0}, Case{2.0, 1.0}, Case{0.3, 0.3}, Case{1.0, 1.0},
                   Case{std::numeric_limits<double>::quiet_NaN(), 0.0},
                   Case{std::numeric_limits<double>::infinity(), 1.0},
                   Case{-std::numeric_limits<double>::infinity(), 0.0}}) {
        fft.SetTukeyAlpha(0.5);
        fft.SetTukeyAlpha(c.in);
        EXPECT_EQ(fft.TukeyAlpha(), c.out) << c.in;
    }
}

// The factor each window must apply to element k of N, from the window formulas.
Extended ExpectedFactor(TFastFourierWgtWin w, int k, int n, Extended alpha) {
    const Extended c = (static_cast<Extended>(k) - static_cast<Extended>(n) / 2) / n;
    switch (w) {
    case fwRectangle: return 1;
    case fwTriangle: {
        const int kk = k <= n / 2 ? k : n + 1 - k;
        return static_cast<Extended>(2 * kk) / n;
    }
    case fwCos2: return std::pow(std::cos(kPi * c), 2);
    case fwGauss: return std::exp(-0.5L * std::pow(6 * c, 2));
    case fwHamming: return 0.543478261L + 0.456521739L * std::cos(2 * kPi * c);
    case fwBlackman:
        return 0.42659L + 0.49656L * std::cos(2 * kPi * c) + 0.076848L * std::cos(4 * kPi * c);
    case fwBlkmHarris:
        return 0.35875L + 0.48829L * std::cos(2 * kPi * c) + 0.14128L * std::cos(4 * kPi * c) +
               0.01168L * std::cos(6 * kPi * c);
    case fwBlkmNuttall:
        return 0.3635819L + 0.4891775L * std::cos(2 * kPi * c) + 0.1365995L * std::cos(4 * kPi * c) +
               0.0106411L * std::cos(6 * kPi * c);
    case fwTukey: {
        const Extended a = n * alpha / 2;
        if (k < a || k > n - a) return 0.5L * (1 - std::cos(2 * kPi * k / (alpha * n)));
        return 1;
    }
    case fwUserDef: return 1;
    }
    return 1;
}

// Applies the window alone by transforming forward and back (the backward transform undoes
// the unwindowed forward one up to rounding).
std::vector<double> WindowFactors(TFastFourier& fft, TFastFourierWgtWin w, double alpha) {
    const int n = fft.SpectrumSize();
    fft.SetWeightingWindow(w);
    fft.SetTukeyAlpha(alpha);
    for (int k = 1; k <= n; ++k) {
        fft.SetRealAt(k, 1.0);
        fft.SetImagAt(k, -2.0);
    }
    fft.ForwardTransform();
    fft.BackwardTransform();
    std::vector<double> f(n);
    for (int k = 1; k <= n; ++k) {
        f[k - 1] = fft.RealAt(k);
        EXPECT_NEAR(fft.ImagAt(k), -2.0 * f[k - 1], 1e-13) << "imaginary part weighted alike";
    }
    return f;
}

TEST_F(FastFourier, WindowsFollowTheirFormulas) {
    for (int n : {8, 16}) {
        fft.SetSpectrumSize(n);
        for (int k = 1; k <= n; ++k) fft.SetUserWeight(k, 0.1 * k);
        for (int w = fwRectangle; w <= fwUserDef; ++w) {
            const auto win = static_cast<TFastFourierWgtWin>(w);
            for (double alpha : {0.0, 0.5, 1.0}) {
                if (win != fwTukey && alpha != 0.0) continue;
                const std::vector<double> f = WindowFactors(fft, win, alpha);
                for (int k = 1; k <= n; ++k) {
                    const Extended want = win == fwUserDef ? 0.1 * k : ExpectedFactor(win, k, n, alpha);
                    EXPECT_NEAR(f[k - 1], static_cast<double>(want), 1e-14)
                        << EnumInfo<TFastFourierWgtWin>().Names[w] << " N=" << n << " k=" << k
                        << " alpha=" << alpha;
                }
            }
        }
    }
}

TEST_F(FastFourier, WindowSpotValues) {
    fft.SetSpectrumSize(8);
    // Triangle: ends get 2/N, the middle pair 1.
    std::vector<double> f = WindowFactors(fft, fwTriangle, 0);
    EXPECT_NEAR(f[0], 0.25, 1e-15);
    EXPECT_NEAR(f[7], 0.25, 1e-15);
    EXPECT_NEAR(f[3], 1.0, 1e-15);
    EXPECT_NEAR(f[4], 1.0, 1e-15);
    // Centred on N/2: element N is at c = 0.5, where cos² vanishes; element N/2 is the peak.
    f = WindowFactors(fft, fwCos2, 0);
    EXPECT_NEAR(f[7], 0.0, 1e-15);
    EXPECT_NEAR(f[3], 1.0, 1e-15);
    // Tukey with alpha 1 is the Hann taper over all elements.
    f = WindowFactors(fft, fwTukey, 1.0);
    for (int k = 1; k <= 8; ++k) EXPECT_NEAR(f[k - 1], 0.5 * (1 - std::cos(2 * std::numbers::pi * k / 8)), 1e-14);
}

TEST_F(FastFourier, TukeyTaperIsNotMirroredForFractionalReciprocal) {
    // alpha = 0.3, N = 16: a = 2.4, so k = 1, 2 and k = 14, 15, 16 are tapered, all with the
    // same expression in k: the right-hand zone is not the mirror image of the left-hand one.
    fft.SetSpectrumSize(16);
    const std::vector<double> f = WindowFactors(fft, fwTukey, 0.3);
    auto hann = [](int k) { return 0.5 * (1 - std::cos(2 * std::numbers::pi * k / (0.3 * 16))); };
    for (int k : {1, 2, 14, 15, 16}) EXPECT_NEAR(f[k - 1], hann(k), 1e-13) << k;
    for (int k = 3; k <= 13; ++k) EXPECT_NEAR(f[k - 1], 1.0, 1e-14) << k;
    EXPECT_GT(std::abs(f[0] - f[15]), 0.1);
    EXPECT_GT(std::abs(f[1] - f[14]), 0.1);
}

TEST_F(FastFourier, TukeyWithZeroAlphaChangesNothing) {
    fft.SetSpectrumSize(32);
    FillRamp();
    std::vector<double> expected = Snapshot(fft);
    fft.SetWeightingWindow(fwTukey);
    fft.SetTukeyAlpha(0.0);
    fft.ForwardTransform();
    TFastFourier plain(nullptr);
    plain.SetSpectrumSize(32);
    for (int k = 1; k <= 32; ++k) {
        plain.SetRealAt(k, expected[2 * k - 2]);
        plain.SetImagAt(k, expected[2 * k - 1]);
    }
    plain.ForwardTransform();
    EXPECT_EQ(Snapshot(fft), Snapshot(plain));
}

TEST_F(FastFourier, UserWeightsAfterConstructionAndAfterResize) {
    // Straight after construction every user weight is 1: the data is untouched.
    FillRamp();
    std::vector<double> withUser, plain;
    fft.SetWeightingWindow(fwUserDef);
    fft.ForwardTransform();
    withUser = Snapshot(fft);
    fft.SetSpectrumSize(256);
    fft.SetWeightingWindow(fwRectangle);
    FillRamp();
    fft.ForwardTransform();
    plain = Snapshot(fft);
    EXPECT_EQ(withUser, plain);
    // After any resize they are 0: the forward transform sees only zeros.
    fft.SetSpectrumSize(256);
    FillRamp();
    fft.SetWeightingWindow(fwUserDef);
    fft.ForwardTransform();
    for (int k = 1; k <= 256; ++k) {
        ASSERT_EQ(fft.RealAt(k), 0.0);
        ASSERT_EQ(fft.ImagAt(k), 0.0);
    }
}

}  // namespace
}  // namespace kvb
