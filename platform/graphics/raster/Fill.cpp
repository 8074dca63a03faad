// Inks and span fills: the few loops every primitive ends in.
#include <algorithm>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {

Ink Ink::For(TPenMode mode, std::uint32_t pixel) noexcept {
    // f0 and f1 are the results for a destination of all zeros and all ones; a bit of the
    // result keeps the destination where they differ and is f0 where they agree.
    const std::uint32_t P = pixel, ones = 0xFFFFFFFFu;
    std::uint32_t f0 = P, f1 = P;
    switch (mode) {
        case pmBlack: f0 = 0; f1 = 0; break;
        case pmWhite: f0 = ones; f1 = ones; break;
        case pmNop: f0 = 0; f1 = ones; break;
        case pmNot: f0 = ones; f1 = 0; break;
        case pmCopy: f0 = P; f1 = P; break;
        case pmNotCopy: f0 = ~P; f1 = ~P; break;
        case pmMergePenNot: f0 = ones; f1 = P; break;   // P | ~D
        case pmMaskPenNot: f0 = P; f1 = 0; break;       // P & ~D
        case pmMergeNotPen: f0 = ~P; f1 = ones; break;  // ~P | D
        case pmMaskNotPen: f0 = 0; f1 = ~P; break;      // ~P & D
        case pmMerge: f0 = P; f1 = ones; break;         // P | D
        case pmNotMerge: f0 = ~P; f1 = 0; break;        // ~(P | D)
        case pmMask: f0 = 0; f1 = P; break;             // P & D
        case pmNotMask: f0 = ones; f1 = ~P; break;      // ~(P & D)
        case pmXor: f0 = P; f1 = ~P; break;             // P ^ D
        case pmNotXor: f0 = ~P; f1 = P; break;          // ~(P ^ D)
    }
    Ink ink;
    ink.And = (f0 ^ f1) & 0x00FFFFFFu;
    ink.Xor = (f0 & 0x00FFFFFFu) | 0xFF000000u;
    ink.Copy = ink.And == 0;
    return ink;
}

void FillSpan(std::uint32_t* p, Int64 count, const Ink& ink) noexcept {
    if (count <= 0) return;
    if (ink.Copy) {
        std::fill_n(p, count, ink.Xor);
        return;
    }
    const std::uint32_t a = ink.And, x = ink.Xor;
    for (Int64 i = 0; i < count; ++i) p[i] = (p[i] & a) ^ x;
}

void FillRowClipped(const Target& t, Int64 y, Int64 x0, Int64 x1, const Ink& ink) noexcept {
    if (t.Bits == nullptr || y < t.Clip.Y0 || y >= t.Clip.Y1) return;
    x0 = std::max(x0, t.Clip.X0);
    x1 = std::min(x1, t.Clip.X1 - 1);
    if (x0 > x1) return;
    FillSpan(t.At(x0, y), x1 - x0 + 1, ink);
}

void FillBox(const Target& t, const Box& box, const Ink& ink) noexcept {
    if (t.Bits == nullptr) return;
    const Box b = Intersect(box, t.Clip);
    if (b.Empty()) return;
    for (Int64 y = b.Y0; y < b.Y1; ++y) FillSpan(t.At(b.X0, y), b.X1 - b.X0, ink);
}

Pattern PatternFor(TPenStyle style) noexcept {
    // Runs of "on" and "off" pixels, starting with "on".
    auto build = [](std::initializer_list<int> runs) {
        Pattern p;
        bool on = true;
        for (int run : runs) {
            for (int i = 0; i < run; ++i, ++p.Length)
                if (on) p.OnBits |= 1u << p.Length;
            on = !on;
        }
        return p;
    };
    switch (style) {
        case psDash: return build({18, 6});
        case psDot: return build({3, 3});
        case psDashDot: return build({9, 6, 3, 6});
        case psDashDotDot: return build({9, 3, 3, 3, 3, 3});
        default: return {};
    }
}

}  // namespace kvb::raster
