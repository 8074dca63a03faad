// Rounding helpers and the process-wide pseudo-random generator.
#include <cfenv>
#include <cmath>
#include <limits>

#include "platform/system/System.h"

namespace kvb {

namespace {

// The Int64 range as Extended bounds: 2^63 is exactly representable, so any value at or above
// it (and any value below -2^63) saturates instead of overflowing the conversion.
constexpr Extended kTwo63 = 9223372036854775808.0L;

Int64 Saturate(Extended integral) noexcept {
    if (std::isnan(integral)) return 0;
    if (integral >= kTwo63) return std::numeric_limits<Int64>::max();
    if (integral < -kTwo63) return std::numeric_limits<Int64>::min();
    return static_cast<Int64>(integral);
}

// The generator's state; the program seeds it once and draws continue the one sequence.
Cardinal gRandSeed = 0;

Cardinal NextState() noexcept {
    // Unsigned arithmetic wraps, which is exactly the mod 2^32 of the recurrence.
    gRandSeed = gRandSeed * 134775813u + 1u;
    return gRandSeed;
}

}  // namespace

Int64 Round(Extended value) noexcept {
    if (std::isnan(value)) return 0;
    // rint follows the current rounding mode; a caller may have changed it, and halves must
    // go to the even neighbour whatever that mode is.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const Extended r = std::rint(value);
    if (mode != FE_TONEAREST) std::fesetround(mode);
    return Saturate(r);
}

Extended Int(Extended value) noexcept { return std::trunc(value); }

Int64 Trunc(Extended value) noexcept { return Saturate(std::trunc(value)); }

Extended Frac(Extended value) noexcept {
    // An infinity has no fractional digits; inf - inf would make it NaN.
    if (std::isinf(value)) return 0.0L;
    return value - std::trunc(value);
}

Int64 Floor(Extended value) noexcept { return Saturate(std::floor(value)); }

Cardinal RandSeed() noexcept { return gRandSeed; }

void SetRandSeed(Cardinal seed) noexcept { gRandSeed = seed; }

Double Random() noexcept { return static_cast<Double>(NextState()) / 4294967296.0; }

Integer Random(Integer n) noexcept {
    const Cardinal state = NextState();
    if (n <= 0) return 0;
    return static_cast<Integer>((static_cast<std::uint64_t>(n) * state) >> 32);
}

}  // namespace kvb
