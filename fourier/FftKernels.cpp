// The radix-2 transform, reordered for speed without changing a single rounding.
//
// The textbook loop walks each stage twiddle by twiddle, striding over the whole buffer for
// every twiddle. Here the twiddles of each stage come from a table filled once with the very
// same recurrence, so the butterflies of a stage are independent of each other and may run in
// any order: the buffer is swept block by block (all small stages of one cache-sized block
// before the next block), two stages at a time (a radix-4 pass doing the butterflies of stage h
// and then 2h on four values held in registers). Each butterfly still performs
//   tempr = wr*br - wi*bi,  tempi = wr*bi + wi*br,  b = a - temp,  a = a + temp
// as separate IEEE operations on the same operands; the vector forms only place independent
// butterflies, or the real and imaginary halves of one, side by side. The file is compiled
// without floating-point contraction and without the loop vectoriser, so the compiler cannot
// fuse a multiply and an add behind our back.
#include "fourier/FftKernels.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace kvb::fft {

namespace {

using Int = std::int32_t;

// Complex points per cache block: 64 KiB of data, well inside the second-level cache.
constexpr Int kBlock = 1 << 12;

// Bit-reversal permutation: the textbook loop swaps each pair (i, rev(i)) once, when the
// reversed index is the larger; the pairs are listed once per size, so the transform runs the
// same swaps without the data-dependent branches of computing them.

void BitReverse(double* d, const std::uint32_t* pairs, Int count) noexcept {
    for (Int p = 0; p < count; ++p) {
        double* a = d + 2 * static_cast<std::size_t>(pairs[2 * p]);
        double* b = d + 2 * static_cast<std::size_t>(pairs[2 * p + 1]);
        const __m128d x = _mm_loadu_pd(a);
        _mm_storeu_pd(a, _mm_loadu_pd(b));
        _mm_storeu_pd(b, x);
    }
}

// ---------------------------------------------------------------------------------------
// SSE2: one complex value per register, (re, im).

// Flips the sign of the real half (forward) or the imaginary half (conjugated twiddles), so that
// one addition yields (wr*br - wi*bi, wr*bi + wi*br) or, with -wi, (wr*br + wi*bi, wr*bi - wi*br).
// x + (-y) is, bit for bit, the IEEE subtraction x - y.
template <bool Conj>
inline __m128d SignMask128() noexcept {
    return Conj ? _mm_set_pd(-0.0, 0.0) : _mm_set_pd(0.0, -0.0);
}

template <bool Conj>
inline void Butterfly128(__m128d& a, __m128d& b, __m128d w) noexcept {
    const __m128d wr = _mm_unpacklo_pd(w, w);
    const __m128d wi = _mm_unpackhi_pd(w, w);
    const __m128d p1 = _mm_mul_pd(wr, b);
    const __m128d p2 = _mm_mul_pd(wi, _mm_shuffle_pd(b, b, 1));
    const __m128d t = _mm_add_pd(p1, _mm_xor_pd(p2, SignMask128<Conj>()));
    b = _mm_sub_pd(a, t);
    a = _mm_add_pd(a, t);
}

// Stage h alone over the complex points [lo, hi).
template <bool Conj>
void Single128(double* d, Int h, const double* tw, Int lo, Int hi) noexcept {
    for (Int base = lo; base < hi; base += 2 * h) {
        double* p = d + 2 * static_cast<std::ptrdiff_t>(base);
        for (Int t = 0; t < h; ++t) {
            __m128d a = _mm_loadu_pd(p + 2 * t);
            __m128d b = _mm_loadu_pd(p + 2 * (t + h));
            Butterfly128<Conj>(a, b, _mm_loadu_pd(tw + 2 * t));
            _mm_storeu_pd(p + 2 * t, a);
            _mm_storeu_pd(p + 2 * (t + h), b);
        }
    }
}

// Stages h and 2h over [lo, hi): for each t the four points t, t+h, t+2h, t+3h of a group of
// 4h go through stage h ((0,1) and (2,3), twiddle t) and then stage 2h ((0,2) with twiddle t,
// (1,3) with twiddle t+h), exactly the butterflies the two stages would do one after the other.
template <bool Conj>
void Pair128(double* d, Int h, const double* tw1, const double* tw2, Int lo, Int hi) noexcept {
    for (Int base = lo; base < hi; base += 4 * h) {
        double* p = d + 2 * static_cast<std::ptrdiff_t>(base);
        for (Int t = 0; t < h; ++t) {
            double* p0 = p + 2 * t;
            __m128d a = _mm_loadu_pd(p0);
            __m128d b = _mm_loadu_pd(p0 + 2 * h);
            __m128d c = _mm_loadu_pd(p0 + 4 * h);
            __m128d e = _mm_loadu_pd(p0 + 6 * h);
            const __m128d w1 = _mm_loadu_pd(tw1 + 2 * t);
            Butterfly128<Conj>(a, b, w1);
            Butterfly128<Conj>(c, e, w1);
            Butterfly128<Conj>(a, c, _mm_loadu_pd(tw2 + 2 * t));
            Butterfly128<Conj>(b, e, _mm_loadu_pd(tw2 + 2 * (t + h)));
            _mm_storeu_pd(p0, a);
            _mm_storeu_pd(p0 + 2 * h, b);
            _mm_storeu_pd(p0 + 4 * h, c);
            _mm_storeu_pd(p0 + 6 * h, e);
        }
    }
}

// ---------------------------------------------------------------------------------------
// AVX: two neighbouring butterflies (twiddles t and t+1) per register. Only the AVX (not FMA)
// instruction set is enabled here, so no fused operation can be formed.

#define KVB_AVX __attribute__((target("avx")))

template <bool Conj>
KVB_AVX inline __m256d SignMask256() noexcept {
    return Conj ? _mm256_set_pd(-0.0, 0.0, -0.0, 0.0) : _mm256_set_pd(0.0, -0.0, 0.0, -0.0);
}

template <bool Conj>
KVB_AVX inline void Butterfly256(__m256d& a, __m256d& b, __m256d w) noexcept {
    const __m256d wr = _mm256_movedup_pd(w);
    const __m256d wi = _mm256_permute_pd(w, 0xF);
    const __m256d p1 = _mm256_mul_pd(wr, b);
    const __m256d p2 = _mm256_mul_pd(wi, _mm256_permute_pd(b, 0x5));
    const __m256d t = _mm256_add_pd(p1, _mm256_xor_pd(p2, SignMask256<Conj>()));
    b = _mm256_sub_pd(a, t);
    a = _mm256_add_pd(a, t);
}

template <bool Conj>
KVB_AVX void Single256(double* d, Int h, const double* tw, Int lo, Int hi) noexcept {
    if (h < 2) {
        Single128<Conj>(d, h, tw, lo, hi);
        return;
    }
    for (Int base = lo; base < hi; base += 2 * h) {
        double* p = d + 2 * static_cast<std::ptrdiff_t>(base);
        for (Int t = 0; t < h; t += 2) {
            __m256d a = _mm256_loadu_pd(p + 2 * t);
            __m256d b = _mm256_loadu_pd(p + 2 * (t + h));
            Butterfly256<Conj>(a, b, _mm256_loadu_pd(tw + 2 * t));
            _mm256_storeu_pd(p + 2 * t, a);
            _mm256_storeu_pd(p + 2 * (t + h), b);
        }
    }
}

// Stages 1 and 2 on groups of four neighbouring points x0..x3: stage 1 pairs (x0,x1) and
// (x2,x3), stage 2 pairs (x0,x2) and (x1,x3); the halves are regrouped between the stages.
template <bool Conj>
KVB_AVX void FirstPair256(double* d, const double* tw1, const double* tw2, Int lo, Int hi) noexcept {
    const __m256d w1 = _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(tw1));
    const __m256d w2 = _mm256_loadu_pd(tw2);
    for (Int base = lo; base < hi; base += 4) {
        double* p = d + 2 * static_cast<std::ptrdiff_t>(base);
        const __m256d x01 = _mm256_loadu_pd(p);
        const __m256d x23 = _mm256_loadu_pd(p + 4);
        __m256d a = _mm256_permute2f128_pd(x01, x23, 0x20);  // x0, x2
        __m256d b = _mm256_permute2f128_pd(x01, x23, 0x31);  // x1, x3
        Butterfly256<Conj>(a, b, w1);
        __m256d c = _mm256_permute2f128_pd(a, b, 0x20);  // x0, x1
        __m256d e = _mm256_permute2f128_pd(a, b, 0x31);  // x2, x3
        Butterfly256<Conj>(c, e, w2);
        _mm256_storeu_pd(p, c);
        _mm256_storeu_pd(p + 4, e);
    }
}

template <bool Conj>
KVB_AVX void Pair256(double* d, Int h, const double* tw1, const double* tw2, Int lo, Int hi) noexcept {
    if (h < 2) {
        FirstPair256<Conj>(d, tw1, tw2, lo, hi);
        return;
    }
    for (Int base = lo; base < hi; base += 4 * h) {
        double* p = d + 2 * static_cast<std::ptrdiff_t>(base);
        for (Int t = 0; t < h; t += 2) {
            double* p0 = p + 2 * t;
            __m256d a = _mm256_loadu_pd(p0);
            __m256d b = _mm256_loadu_pd(p0 + 2 * h);
            __m256d c = _mm256_loadu_pd(p0 + 4 * h);
            __m256d e = _mm256_loadu_pd(p0 + 6 * h);
            const __m256d w1 = _mm256_loadu_pd(tw1 + 2 * t);
            Butterfly256<Conj>(a, b, w1);
            Butterfly256<Conj>(c, e, w1);
            Butterfly256<Conj>(a, c, _mm256_loadu_pd(tw2 + 2 * t));
            Butterfly256<Conj>(b, e, _mm256_loadu_pd(tw2 + 2 * (t + h)));
            _mm256_storeu_pd(p0, a);
            _mm256_storeu_pd(p0 + 2 * h, b);
            _mm256_storeu_pd(p0 + 4 * h, c);
            _mm256_storeu_pd(p0 + 6 * h, e);
        }
    }
}

#undef KVB_AVX

using SingleFn = void (*)(double*, Int, const double*, Int, Int) noexcept;
using PairFn = void (*)(double*, Int, const double*, const double*, Int, Int) noexcept;

bool HasAvx() noexcept {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}

template <bool Conj>
void Stages(double* d, Int n, const double* tw) noexcept {
    const bool avx = HasAvx();
    const SingleFn single = avx ? &Single256<Conj> : &Single128<Conj>;
    const PairFn pair = avx ? &Pair256<Conj> : &Pair128<Conj>;
    // The stage of half-size h has its twiddles at complex offset h-1.
    auto table = [tw](Int h) { return tw + 2 * static_cast<std::ptrdiff_t>(h - 1); };

    const Int block = std::min(n, kBlock);
    for (Int lo = 0; lo < n; lo += block) {
        Int h = 1;
        for (; 4 * h <= block; h *= 4) pair(d, h, table(h), table(2 * h), lo, lo + block);
        if (h < block) single(d, h, table(h), lo, lo + block);
    }
    for (Int h = block; h < n;) {
        if (4 * static_cast<std::int64_t>(h) <= n) {
            pair(d, h, table(h), table(2 * h), 0, n);
            h *= 4;
        } else {
            single(d, h, table(h), 0, n);
            h *= 2;
        }
    }
}

}  // namespace

bool FillTwiddles(double* table, Int n, int direction) noexcept {
    bool symmetric = true;
    for (Int h = 1; h < n; h *= 2) {
        const Int mmax = 2 * h;
        const double theta = direction * (2.0 * std::numbers::pi) / mmax;
        double wtemp = std::sin(theta / 2);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        if (std::sin(-(theta / 2)) != -wtemp || std::sin(-theta) != -wpi) symmetric = false;
        double wr = 1.0;
        double wi = 0.0;
        double* out = table + 2 * static_cast<std::ptrdiff_t>(h - 1);
        for (Int t = 0; t < h; ++t) {
            out[2 * t] = wr;
            out[2 * t + 1] = wi;
            wtemp = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
    }
    return symmetric;
}

Int FillSwaps(std::uint32_t* pairs, Int n) noexcept {
    Int count = 0;
    Int j = 0;
    for (Int i = 0; i < n; ++i) {
        if (j > i) {
            pairs[2 * count] = static_cast<std::uint32_t>(i);
            pairs[2 * count + 1] = static_cast<std::uint32_t>(j);
            ++count;
        }
        Int m = n >> 1;
        while (m >= 1 && (j & m) != 0) {
            j ^= m;
            m >>= 1;
        }
        j |= m;
    }
    return count;
}

void Transform(double* data, Int n, const Plan& plan, bool conjugate) noexcept {
    if (n <= 1) return;
    BitReverse(data, plan.swaps, plan.swapCount);
    if (conjugate)
        Stages<true>(data, n, plan.twiddles);
    else
        Stages<false>(data, n, plan.twiddles);
}

}  // namespace kvb::fft
