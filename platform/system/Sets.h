// Small sets over one-byte enumerations (at most 64 values), the framework's "set of" types.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace kvb {

template <class E>
class TSet {
public:
    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> values) noexcept {
        for (E v : values) bits_ |= Bit(v);
    }
    static constexpr TSet FromBits(std::uint64_t bits) noexcept { TSet s; s.bits_ = bits; return s; }

    constexpr bool Contains(E v) const noexcept { return (bits_ & Bit(v)) != 0; }
    constexpr TSet& Include(E v) noexcept { bits_ |= Bit(v); return *this; }
    constexpr TSet& Exclude(E v) noexcept { bits_ &= ~Bit(v); return *this; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    constexpr std::uint64_t Bits() const noexcept { return bits_; }

    constexpr TSet operator+(TSet o) const noexcept { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const noexcept { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const noexcept { return FromBits(bits_ & o.bits_); }
    constexpr TSet operator+(E v) const noexcept { return FromBits(bits_ | Bit(v)); }
    constexpr TSet operator-(E v) const noexcept { return FromBits(bits_ & ~Bit(v)); }
    constexpr bool operator==(const TSet&) const noexcept = default;

private:
    static constexpr std::uint64_t Bit(E v) noexcept { return std::uint64_t{1} << static_cast<unsigned>(v); }
    std::uint64_t bits_ = 0;
};

}  // namespace kvb
