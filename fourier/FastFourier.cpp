#include <atomic>
#include <cmath>
#include <new>

#include "fourier/FftKernels.h"
#include "fourier/KVB_fourier.h"

namespace kvb {

namespace {

// Allocations left before the injected failure; negative when no failure is armed.
std::atomic<int> g_allocationsBeforeFailure{-1};

template <class T>
std::unique_ptr<T[]> AllocateArray(std::size_t count) {
    if (g_allocationsBeforeFailure.load(std::memory_order_relaxed) >= 0 &&
        g_allocationsBeforeFailure.fetch_sub(1, std::memory_order_relaxed) == 0)
        throw std::bad_alloc();
    return std::unique_ptr<T[]>(new T[count]);
}

constexpr Extended kPi = 3.141592653589793238462643383279502884L;

bool IsAcceptedSize(Integer value) noexcept {
    return value >= 1 && value <= TFastFourier::MaxSpectrumSize && (value & (value - 1)) == 0;
}

}  // namespace

namespace fourier_testing {
void FailAllocationAfter(int successes) noexcept { g_allocationsBeforeFailure.store(successes); }
}  // namespace fourier_testing

const TClassInfo& TFastFourier::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFastFourier>("TFastFourier", &TComponent::StaticClassInfo())
            .Creatable()
            .Int("SpectrumSize", &TFastFourier::SpectrumSize, &TFastFourier::SetSpectrumSize)
            .Enum("WeightingWindow", &TFastFourier::WeightingWindow, &TFastFourier::SetWeightingWindow)
            .Float("TukeyAlpha", &TFastFourier::TukeyAlpha, &TFastFourier::SetTukeyAlpha)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TFastFourier);

TFastFourier::TFastFourier(TComponent* AOwner) : TComponent(AOwner) {
    Reallocate(256, 1.0);
}

TFastFourier::~TFastFourier() = default;

void TFastFourier::RaiseError(const char* what) const {
    throw EKVBFourierError("Component \"" + Name() + "\": " + what);
}

void TFastFourier::Reallocate(Integer n, double weightFill) {
    const auto count = static_cast<std::size_t>(n);
    std::unique_ptr<double[]> data, weights, twiddles, backTwiddles;
    std::unique_ptr<std::uint32_t[]> swaps;
    Integer swapCount = 0;
    try {
        data = AllocateArray<double>(2 * count);
        weights = AllocateArray<double>(count);
        // One spare entry keeps the table non-empty for N = 1.
        twiddles = AllocateArray<double>(2 * count);
        if (!fft::FillTwiddles(twiddles.get(), n, +1)) {
            backTwiddles = AllocateArray<double>(2 * count);
            fft::FillTwiddles(backTwiddles.get(), n, -1);
        }
        swaps = AllocateArray<std::uint32_t>(count);
        swapCount = fft::FillSwaps(swaps.get(), n);
    } catch (const std::bad_alloc&) {
        RaiseError("not enough memory on heap");
    } catch (const EOutOfMemory&) {
        RaiseError("not enough memory on heap");
    }
    std::fill_n(data.get(), 2 * count, 0.0);
    std::fill_n(weights.get(), count, weightFill);
    data_ = std::move(data);
    weights_ = std::move(weights);
    twiddles_ = std::move(twiddles);
    backTwiddles_ = std::move(backTwiddles);
    swaps_ = std::move(swaps);
    swapCount_ = swapCount;
    n_ = n;
}

void TFastFourier::SetSpectrumSize(Integer value) {
    if (!IsAcceptedSize(value)) RaiseError("data length must be power of 2");
    Reallocate(value, 0.0);
}

void TFastFourier::SetTukeyAlpha(double value) noexcept {
    if (!(value >= 0.0))  // also catches NaN
        tukeyAlpha_ = 0.0;
    else if (value > 1.0)
        tukeyAlpha_ = 1.0;
    else
        tukeyAlpha_ = value;
}

double TFastFourier::RealAt(Integer k) const noexcept {
    return k >= 1 && k <= n_ ? data_[2 * static_cast<std::size_t>(k) - 2] : 0.0;
}
void TFastFourier::SetRealAt(Integer k, double value) noexcept {
    if (k >= 1 && k <= n_) data_[2 * static_cast<std::size_t>(k) - 2] = value;
}
double TFastFourier::ImagAt(Integer k) const noexcept {
    return k >= 1 && k <= n_ ? data_[2 * static_cast<std::size_t>(k) - 1] : 0.0;
}
void TFastFourier::SetImagAt(Integer k, double value) noexcept {
    if (k >= 1 && k <= n_) data_[2 * static_cast<std::size_t>(k) - 1] = value;
}
double TFastFourier::UserWeight(Integer k) const noexcept {
    return k >= 1 && k <= n_ ? weights_[static_cast<std::size_t>(k) - 1] : 0.0;
}
void TFastFourier::SetUserWeight(Integer k, double value) noexcept {
    if (k >= 1 && k <= n_) weights_[static_cast<std::size_t>(k) - 1] = value;
}

double TFastFourier::MagnitudeOf(Integer m) const noexcept {
    const double* d = data_.get();
    const double n = n_;
    if (m == 0) return std::sqrt(d[0] * d[0] + d[1] * d[1]) / n;
    if (m < 1 || m > n_ / 2) return 0.0;
    const std::size_t a = 2 * static_cast<std::size_t>(m);
    const std::size_t b = 2 * static_cast<std::size_t>(n_ - m);
    const double re = d[a] + d[b];
    const double im = d[a + 1] - d[b + 1];
    return std::sqrt(re * re + im * im) / n;
}

// Every window multiplies the real and the imaginary part of element k by one factor w, which
// is evaluated in extended precision and rounded to double once, so a window and a user weight
// of the same value act identically.
void TFastFourier::ApplyWindow() noexcept {
    double* d = data_.get();
    const Integer n = n_;
    const Extended nn = n;
    auto scale = [d](Integer k, double w) {
        d[2 * static_cast<std::size_t>(k) - 2] *= w;
        d[2 * static_cast<std::size_t>(k) - 1] *= w;
    };
    // Centred on element N/2: element N is at c = 0.5, element 1 at (1 − N/2)/N.
    auto centre = [nn](Integer k) { return (static_cast<Extended>(k) - nn / 2) / nn; };

    switch (window_) {
    case fwRectangle:
        return;
    case fwTriangle:
        for (Integer k = 1; k <= n / 2; ++k) {
            const double w = static_cast<double>(2 * static_cast<Extended>(k) / nn);
            scale(k, w);
            scale(n + 1 - k, w);
        }
        return;
    case fwCos2:
        for (Integer k = 1; k <= n; ++k) {
            const Extended c = std::cos(kPi * centre(k));
            scale(k, static_cast<double>(c * c));
        }
        return;
    case fwGauss:
        for (Integer k = 1; k <= n; ++k) {
            const Extended x = 6 * centre(k);
            scale(k, static_cast<double>(std::exp(-0.5L * x * x)));
        }
        return;
    case fwHamming:
        for (Integer k = 1; k <= n; ++k) {
            const Extended c = centre(k);
            scale(k, static_cast<double>(0.543478261L + 0.456521739L * std::cos(2 * kPi * c)));
        }
        return;
    case fwBlackman:
        for (Integer k = 1; k <= n; ++k) {
            const Extended c = centre(k);
            scale(k, static_cast<double>(0.42659L + 0.49656L * std::cos(2 * kPi * c) +
                                         0.076848L * std::cos(4 * kPi * c)));
        }
        return;
    case fwBlkmHarris:
        for (Integer k = 1; k <= n; ++k) {
            const Extended c = centre(k);
            scale(k, static_cast<double>(0.35875L + 0.48829L * std::cos(2 * kPi * c) +
                                         0.14128L * std::cos(4 * kPi * c) +
                                         0.01168L * std::cos(6 * kPi * c)));
        }
        return;
    case fwBlkmNuttall:
        for (Integer k = 1; k <= n; ++k) {
            const Extended c = centre(k);
            scale(k, static_cast<double>(0.3635819L + 0.4891775L * std::cos(2 * kPi * c) +
                                         0.1365995L * std::cos(4 * kPi * c) +
                                         0.0106411L * std::cos(6 * kPi * c)));
        }
        return;
    case fwTukey: {
        // Both tapered zones use the same expression in k (not k mirrored), as the window has
        // always been defined; with alpha = 0 no element is tapered and nothing divides by 0.
        const Extended alpha = tukeyAlpha_;
        const Extended a = nn * alpha / 2;
        for (Integer k = 1; k <= n; ++k) {
            if (k < a || k > nn - a)
                scale(k, static_cast<double>(0.5L * (1 - std::cos(2 * kPi * k / (alpha * nn)))));
        }
        return;
    }
    case fwUserDef:
        for (Integer k = 1; k <= n; ++k) scale(k, weights_[static_cast<std::size_t>(k) - 1]);
        return;
    }
}

void TFastFourier::ForwardTransform() noexcept {
    ApplyWindow();
    ComplexFFT(+1);
}

void TFastFourier::BackwardTransform() noexcept { ComplexFFT(-1); }

void TFastFourier::ComplexFFT(Integer direction) noexcept {
    double* d = data_.get();
    const bool backward = direction < 0;
    fft::Plan plan{twiddles_.get(), swaps_.get(), swapCount_};
    if (backward && backTwiddles_) {
        plan.twiddles = backTwiddles_.get();
        fft::Transform(d, n_, plan, false);
    } else {
        fft::Transform(d, n_, plan, backward);
    }
    if (backward) {
        const double n = n_;
        const std::size_t count = 2 * static_cast<std::size_t>(n_);
        for (std::size_t i = 0; i < count; ++i) d[i] /= n;
    }
}

}  // namespace kvb
