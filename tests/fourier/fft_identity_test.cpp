// The fast transform against the textbook recurrence, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "fourier/KVB_fourier.h"

namespace kvb {
namespace {

// The plain algorithm on positions 1..2N (d[p] is array element p-1), in the textbook loop
// order. Products go through volatile temporaries so that no build flag can fuse them into the
// following addition: the reference rounds every operation separately, whatever the compiler.
void ReferenceFFT(std::vector<double>& buf, int n, int direction) {
    double* d = buf.data() - 1;  // 1-based positions
    const int nn = 2 * n;
    int j = 1;
    for (int i = 1; i < nn; i += 2) {
        if (j > i) {
            std::swap(d[j], d[i]);
            std::swap(d[j + 1], d[i + 1]);
        }
        int m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
    int mmax = 2;
    while (nn > mmax) {
        const int istep = 2 * mmax;
        const double theta = direction * (2.0 * std::numbers::pi) / mmax;
        double wtemp = std::sin(theta / 2);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 1; m < mmax; m += 2) {
            for (int i = m; i <= nn; i += istep) {
                const int jj = i + mmax;
                volatile double p1 = wr * d[jj];
                volatile double p2 = wi * d[jj + 1];
                const double tempr = p1 - p2;
                volatile double p3 = wr * d[jj + 1];
                volatile double p4 = wi * d[jj];
                const double tempi = p3 + p4;
                d[jj] = d[i] - tempr;
                d[jj + 1] = d[i + 1] - tempi;
                d[i] = d[i] + tempr;
                d[i + 1] = d[i + 1] + tempi;
            }
            wtemp = wr;
            volatile double r1 = wr * wpr;
            volatile double r2 = wi * wpi;
            wr = r1 - r2 + wr;
            volatile double i1 = wi * wpr;
            volatile double i2 = wtemp * wpi;
            wi = i1 + i2 + wi;
        }
        mmax = istep;
    }
    if (direction < 0)
        for (int p = 1; p <= nn; ++p) d[p] = d[p] / n;
}

std::vector<double> RandomSignal(int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> dist(-10.0, 10.0);
    std::vector<double> v(2 * static_cast<std::size_t>(n));
    for (double& x : v) x = dist(gen);
    return v;
}

bool SameBits(const double* a, const double* b, std::size_t count) {
    return std::memcmp(a, b, count * sizeof(double)) == 0;
}

// Every size from 1 to 2^16, in both directions, from a random complex signal.
TEST(FastFourierIdentity, MatchesTextbookRecurrenceBitForBit) {
    TFastFourier fft(nullptr);
    for (int log = 0; log <= 16; ++log) {
        const int n = 1 << log;
        fft.SetSpectrumSize(n);
        for (int direction : {+1, -1}) {
            std::vector<double> input = RandomSignal(n, static_cast<unsigned>(n * 3 + direction));
            for (int k = 1; k <= n; ++k) {
                fft.SetRealAt(k, input[2 * k - 2]);
                fft.SetImagAt(k, input[2 * k - 1]);
            }
            std::vector<double> expected = input;
            ReferenceFFT(expected, n, direction);
            fft.ComplexFFT(direction);
            EXPECT_TRUE(SameBits(fft.Data(), expected.data(), expected.size()))
                << "N = " << n << ", direction " << direction;
        }
    }
}

// The demonstration's own path: a real signal forward, half the lines cleared, backward.
TEST(FastFourierIdentity, ForwardThenBackwardMatchesReference) {
    TFastFourier fft(nullptr);
    fft.SetSpectrumSize(1024);
    std::vector<double> ref(2048, 0.0);
    for (int k = 1; k <= 1024; ++k) {
        const double v = 3 * std::sin(0.12 * k) + 1.6 * std::cos(0.071 * k);
        fft.SetRealAt(k, v);
        ref[2 * k - 2] = v;
    }
    fft.ForwardTransform();
    ReferenceFFT(ref, 1024, +1);
    ASSERT_TRUE(SameBits(fft.Data(), ref.data(), ref.size()));
    for (int k = 100; k <= 926; ++k) {
        fft.SetRealAt(k, 0.0);
        fft.SetImagAt(k, 0.0);
        ref[2 * k - 2] = ref[2 * k - 1] = 0.0;
    }
    fft.BackwardTransform();
    ReferenceFFT(ref, 1024, -1);
    EXPECT_TRUE(SameBits(fft.Data(), ref.data(), ref.size()));
}

}  // namespace
}  // namespace kvb
