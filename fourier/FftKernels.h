// The transform's inner loops, kept apart from the component so the component stays readable and
// the loops can be tested and measured on raw buffers.
#pragma once

#include <cstdint>

namespace kvb::fft {

// Fills the twiddle table of an n-point transform (n a power of two): n−1 complex values
// (wr, wi), stage by stage, the stage of half-size h at complex offset h−1, each produced by
// the stage's sine recurrence in the order the textbook loop visits them. Returns false when
// the stage angles are not sign-symmetric under sin (sin(−x) ≠ −sin(x) for one of them), in
// which case the conjugated table is not the table of the backward transform and the caller
// must fill that one separately with direction −1.
bool FillTwiddles(double* table, std::int32_t n, int direction) noexcept;

// Fills the swaps of the bit-reversal permutation of n points, as pairs (i, j) with i < j, into
// pairs (room for n values is enough) and returns the number of pairs.
std::int32_t FillSwaps(std::uint32_t* pairs, std::int32_t n) noexcept;

// What a transform of one size needs, prepared when the buffer is allocated.
struct Plan {
    const double* twiddles = nullptr;     // from FillTwiddles with direction +1
    const std::uint32_t* swaps = nullptr; // from FillSwaps
    std::int32_t swapCount = 0;
};

// In-place radix-2 decimation-in-time transform of n interleaved complex values with the given
// twiddle table (built with direction +1). With conjugate set the table's imaginary parts are
// used negated, which is exactly the table of direction −1 when FillTwiddles returned true.
// Every butterfly performs the same floating-point operations, with the same operands, as the
// textbook loop; only the order in which independent butterflies run differs.
void Transform(double* data, std::int32_t n, const Plan& plan, bool conjugate) noexcept;

}  // namespace kvb::fft
