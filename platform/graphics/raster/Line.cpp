// One-pixel lines: exact Bresenham, clipped analytically so that a line's cost depends on the
// pixels it leaves inside the clip box, never on how far its end points lie outside.
#include <algorithm>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {
namespace {

using Wide = __int128;

Wide FloorDiv(Wide a, Wide b) noexcept {  // b > 0
    Wide q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}
Wide CeilDiv(Wide a, Wide b) noexcept { return -FloorDiv(-a, b); }

// A line reduced to its walk: Count pixels from P, one major step each, plus a minor step
// whenever the error term E reaches TwoMaj. FirstStep is the index of the first pixel drawn
// among the line's pixels (those before it were clipped away).
struct Walk {
    std::uint32_t* P = nullptr;
    Int64 Count = 0, FirstStep = 0;
    Int64 MajStep = 0, MinStep = 0;
    Int64 E = 0, TwoMaj = 0, TwoMin = 0;
};

// With n = max(|dx|, |dy|) major steps, the minor offset after i steps is
//   r(i) = floor((2 i |dminor| + n - b) / 2n),
// the nearest pixel to the ideal line; b = 1 when the minor coordinate grows (a tie then
// rounds back towards the smaller coordinate) and 0 when it shrinks (a tie rounds on, again
// towards the smaller coordinate).
bool Prepare(const Target& t, Int64 x0, Int64 y0, Int64 x1, Int64 y1, Walk& w) noexcept {
    if (t.Empty()) return false;
    const Int64 dx = x1 - x0, dy = y1 - y0;
    const Int64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const Int64 n = std::max(adx, ady);
    if (n == 0) return false;
    const bool xMajor = adx >= ady;
    const Int64 M0 = xMajor ? x0 : y0, m0 = xMajor ? y0 : x0;
    const Int64 aMin = xMajor ? ady : adx;
    const Int64 sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const Int64 dMin = xMajor ? dy : dx;
    const Int64 sMin = dMin < 0 ? -1 : 1;
    const Int64 b = sMin > 0 ? 1 : 0;
    const Int64 rowStep = t.Stride;
    w.MajStep = sMaj * (xMajor ? 1 : rowStep);
    w.MinStep = sMin * (xMajor ? rowStep : 1);
    w.TwoMaj = 2 * n;
    w.TwoMin = 2 * aMin;

    const Box& c = t.Clip;
    if (c.Contains(x0, y0) && c.Contains(x1, y1)) {
        // Both ends inside: the whole line is, since the box is convex.
        w.Count = n;
        w.FirstStep = 0;
        w.E = n - b;
        w.P = t.At(x0, y0);
        return true;
    }

    const Int64 cMlo = xMajor ? c.X0 : c.Y0, cMhi = xMajor ? c.X1 : c.Y1;
    const Int64 cmlo = xMajor ? c.Y0 : c.X0, cmhi = xMajor ? c.Y1 : c.X1;
    Wide ilo = 0, ihi = n - 1;
    if (sMaj > 0) {
        ilo = std::max<Wide>(ilo, Wide(cMlo) - M0);
        ihi = std::min<Wide>(ihi, Wide(cMhi) - 1 - M0);
    } else {
        ilo = std::max<Wide>(ilo, Wide(M0) - (cMhi - 1));
        ihi = std::min<Wide>(ihi, Wide(M0) - cMlo);
    }
    if (ilo > ihi) return false;
    // The minor offsets r that land inside the box, then the steps i that give them.
    const Wide rlo = sMin > 0 ? Wide(cmlo) - m0 : Wide(m0) - (cmhi - 1);
    const Wide rhi = sMin > 0 ? Wide(cmhi) - 1 - m0 : Wide(m0) - cmlo;
    if (rhi < 0 || rlo > rhi) return false;
    if (aMin == 0) {
        if (rlo > 0) return false;
    } else {
        const Wide twoN = 2 * Wide(n), twoA = 2 * Wide(aMin);
        if (rlo > 0) ilo = std::max(ilo, CeilDiv(twoN * rlo - n + b, twoA));
        ihi = std::min(ihi, FloorDiv(twoN * (rhi + 1) - n + b - 1, twoA));
    }
    if (ilo > ihi) return false;
    const Wide num = 2 * ilo * aMin + n - b;
    const Int64 r = static_cast<Int64>(num / w.TwoMaj);
    w.E = static_cast<Int64>(num % w.TwoMaj);
    w.Count = static_cast<Int64>(ihi - ilo + 1);
    w.FirstStep = static_cast<Int64>(ilo);
    const Int64 M = M0 + sMaj * w.FirstStep, m = m0 + sMin * r;
    w.P = xMajor ? t.At(M, m) : t.At(m, M);
    return true;
}

template <class Plot>
void Run(Walk& w, Plot plot) noexcept {
    std::uint32_t* p = w.P;
    Int64 e = w.E;
    for (Int64 k = 0; k < w.Count; ++k) {
        plot(p, k);
        p += w.MajStep;
        e += w.TwoMin;
        if (e >= w.TwoMaj) {
            e -= w.TwoMaj;
            p += w.MinStep;
        }
    }
}

}  // namespace

void SolidCopyLine(const Target& t, Int64 x0, Int64 y0, Int64 x1, Int64 y1,
                   std::uint32_t pixel) noexcept {
    Walk w;
    if (!Prepare(t, x0, y0, x1, y1, w)) return;
    Run(w, [pixel](std::uint32_t* p, Int64) { *p = pixel; });
}

void Line(const Target& t, Int64 x0, Int64 y0, Int64 x1, Int64 y1, const LineStyle& style,
          Int64& phase) noexcept {
    const Int64 dx = x1 - x0, dy = y1 - y0;
    const Int64 n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    const Int64 startPhase = phase;
    if (style.Dashes.Length > 0) phase = (phase + n) % style.Dashes.Length;
    Walk w;
    if (!Prepare(t, x0, y0, x1, y1, w)) return;
    const Ink pen = style.Pen;
    if (style.Dashes.Length == 0) {
        if (pen.Copy)
            Run(w, [px = pen.Xor](std::uint32_t* p, Int64) { *p = px; });
        else
            Run(w, [pen](std::uint32_t* p, Int64) { *p = pen.Apply(*p); });
        return;
    }
    const Int64 len = style.Dashes.Length;
    const std::uint32_t on = style.Dashes.OnBits;
    Int64 pos = (startPhase + w.FirstStep % len) % len;
    const Ink* gap = style.Gap;
    Run(w, [&](std::uint32_t* p, Int64) {
        if ((on >> pos) & 1u)
            *p = pen.Apply(*p);
        else if (gap != nullptr)
            *p = gap->Apply(*p);
        if (++pos == len) pos = 0;
    });
}

}  // namespace kvb::raster
