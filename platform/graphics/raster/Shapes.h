// Whole filled-and-outlined shapes in one pass, for the canvas. Internal to platform/graphics.
#pragma once

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {

// Applies the ink to n pixels from p on (n may be 0 or less). The shapes' runs are mostly a few
// pixels long, where a call into a library fill costs more than the pixels themselves.
inline void PaintRun(std::uint32_t* p, Int64 n, const Ink& ink) noexcept {
    if (ink.Copy) {
        const std::uint32_t v = ink.Xor;
        for (Int64 i = 0; i < n; ++i) p[i] = v;
    } else {
        const std::uint32_t a = ink.And, x = ink.Xor;
        for (Int64 i = 0; i < n; ++i) p[i] = (p[i] & a) ^ x;
    }
}

// Fills the ellipse with *brush and outlines it with *pen (either may be null), exactly as
// FillEllipse followed by EllipseOutline, but working out each row of the shape once.
void DrawEllipse(const Target& t, const EllipseShape& e, const Ink* brush, const Ink* pen, Integer width,
                 bool insideFrame);

}  // namespace kvb::raster
