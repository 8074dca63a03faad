// TFastFourier: a non-visual component holding N complex points that it transforms in place
// with a radix-2 FFT, optionally weighted by one of ten windows first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/KVB_kvbbase.h"
#include "platform/classes/Classes.h"

namespace kvb {

enum TFastFourierWgtWin : std::uint8_t {
    fwRectangle, fwTriangle, fwCos2, fwGauss, fwHamming, fwBlackman, fwBlkmHarris,
    fwBlkmNuttall, fwTukey, fwUserDef
};
KVB_ENUM_NAMES(TFastFourierWgtWin, "fwRectangle", "fwTriangle", "fwCos2", "fwGauss", "fwHamming",
               "fwBlackman", "fwBlkmHarris", "fwBlkmNuttall", "fwTukey", "fwUserDef")

class TFastFourier : public TComponent {
    KVB_CLASS_INFO()
public:
    static constexpr Integer MaxSpectrumSize = 1 << 23;

    explicit TFastFourier(TComponent* AOwner);
    ~TFastFourier() override;

    // N, always a power of two in 1 … 2^23. Assigning resizes and zeroes the buffer (even for
    // the same size) and sets every user weight to 0.0; a value that is not an accepted power
    // of two raises EKVBFourierError and changes nothing.
    Integer SpectrumSize() const noexcept { return n_; }
    void SetSpectrumSize(Integer value);
    TFastFourierWgtWin WeightingWindow() const noexcept { return window_; }
    void SetWeightingWindow(TFastFourierWgtWin value) noexcept { window_ = value; }
    // Clamped to [0, 1]; NaN becomes 0.
    double TukeyAlpha() const noexcept { return tukeyAlpha_; }
    void SetTukeyAlpha(double value) noexcept;

    // Elements are numbered 1 … N; reads outside give 0.0 and writes outside are ignored.
    double RealAt(Integer k) const noexcept;
    void SetRealAt(Integer k, double value) noexcept;
    double ImagAt(Integer k) const noexcept;
    void SetImagAt(Integer k, double value) noexcept;
    // The factor fwUserDef applies to element k (1 … N), with the same absorption of indices.
    double UserWeight(Integer k) const noexcept;
    void SetUserWeight(Integer k, double value) noexcept;

    // Normalised magnitude of spectral line m (0 … N div 2; any other m gives 0.0). Lines are
    // numbered from 0: line m is element m+1.
    double MagnitudeOf(Integer m) const noexcept;

    // Weights the buffer with WeightingWindow, then transforms with a positive exponent.
    void ForwardTransform() noexcept;
    // Transforms with a negative exponent and divides by N; no window.
    void BackwardTransform() noexcept;
    // The in-place transform: a negative direction transforms backward (and divides by N), any
    // other value forward.
    void ComplexFFT(Integer direction) noexcept;

    // The interleaved buffer (real of element k at 2k−2, imaginary at 2k−1), 2·N doubles.
    const double* Data() const noexcept { return data_.get(); }

private:
    void ApplyWindow() noexcept;
    // Allocates all arrays for size n before anything is replaced, so a failed allocation
    // leaves the component as it was.
    void Reallocate(Integer n, double weightFill);
    [[noreturn]] void RaiseError(const char* what) const;

    Integer n_ = 0;
    TFastFourierWgtWin window_ = fwRectangle;
    double tukeyAlpha_ = 0.0;
    std::unique_ptr<double[]> data_;
    std::unique_ptr<double[]> weights_;
    // Twiddle factors of every stage, produced by the transform's own recurrence so the fast
    // loops give the same bits as the textbook loop order: N−1 complex values, stage by stage.
    std::unique_ptr<double[]> twiddles_;
    // Empty unless sin(−x) differs from −sin(x) for one of the stage angles on this machine; the
    // backward twiddles are then not the exact conjugates and get a table of their own.
    std::unique_ptr<double[]> backTwiddles_;
    // The pair swaps of the bit-reversal permutation, listed once per size.
    std::unique_ptr<std::uint32_t[]> swaps_;
    Integer swapCount_ = 0;
};

namespace fourier_testing {
// Lets `successes` more array allocations of TFastFourier succeed and makes the one after them
// fail as if the heap were exhausted; a negative value switches this off. Tests use it to reach
// the out-of-memory path at each allocation; nothing else calls it.
void FailAllocationAfter(int successes) noexcept;
}  // namespace fourier_testing

}  // namespace kvb
