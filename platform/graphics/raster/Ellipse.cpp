// Ellipses, their outlines and arcs.
//
// The rule. Work in half-pixel units around the box's centre: a pixel's centre is at
// (U, V) = (2x + 1 - (X1 + X2), 2y + 1 - (Y1 + Y2)), and the ellipse runs through the centres of
// the four outermost pixels of the box, with half-axes A = W - 1 and B = H - 1 (W, H: the box in
// pixels). A row of pixels covers the centres up to the one nearest to where the ellipse crosses
// the row, a column likewise up to the one nearest to where it crosses the column, a tie going
// outwards; a pixel belongs to the ellipse when its row or its column covers it:
//
//   max(0, |U| - 1)^2 B^2 + V^2 A^2 <= A^2 B^2   or   U^2 B^2 + max(0, |V| - 1)^2 A^2 <= A^2 B^2.
//
// This is what the midpoint algorithm traces (stepping along x where the curve is flat and
// along y where it is steep), written so that any row can be computed on its own: every row
// and column of the box is touched, the shape is symmetric about both axes, and a 4 x 4, 5 x 5
// or 7 x 7 box gives the familiar round marks. All products fit in 128 unsigned bits even for
// boxes spanning the whole Integer range.
#include <algorithm>
#include <cmath>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {
namespace {

using U128 = unsigned __int128;
using Wide = __int128;

std::uint64_t ISqrt(std::uint64_t v) noexcept {
    std::uint64_t r = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(v)));
    while (r > 0 && U128(r) * r > v) --r;
    while (U128(r + 1) * (r + 1) <= v) ++r;
    return r;
}

// The span of row y of e, or an empty span (left > right) outside it.
struct RowSpan {
    Int64 L = 1, R = 0;
    bool Empty() const noexcept { return L > R; }
};
RowSpan SpanOf(const EllipseShape& e, Int64 y) noexcept {
    RowSpan s;
    if (!e.Empty()) e.Span(y, s.L, s.R);
    return s;
}

// Outline pixels of row y of an ellipse one pixel wide: the span less the pixels whose four
// neighbours are all inside.
template <class Emit>
void OutlineRow(const EllipseShape& e, Int64 y, Emit emit) {
    const RowSpan s = SpanOf(e, y);
    if (s.Empty()) return;
    const RowSpan up = SpanOf(e, y - 1), down = SpanOf(e, y + 1);
    if (up.Empty() || down.Empty()) {
        emit(s.L, s.R);
        return;
    }
    const Int64 il = std::max({s.L + 1, up.L, down.L}), ir = std::min({s.R - 1, up.R, down.R});
    if (il > ir) {
        emit(s.L, s.R);
        return;
    }
    emit(s.L, il - 1);
    emit(ir + 1, s.R);
}

// The ring between two ellipses, row by row: outer span less inner span.
template <class Emit>
void RingRow(const EllipseShape& outer, const EllipseShape& inner, Int64 y, Emit emit) {
    const RowSpan s = SpanOf(outer, y);
    if (s.Empty()) return;
    const RowSpan in = SpanOf(inner, y);
    if (in.Empty()) {
        emit(s.L, s.R);
        return;
    }
    emit(s.L, in.L - 1);
    emit(in.R + 1, s.R);
}

// Calls emit(y, left, right) for every outline run, rows limited to the clip box.
template <class Emit>
void ForEachOutlineRun(const Target& t, const EllipseShape& e, Integer width, bool insideFrame, Emit emit) {
    if (width <= 1) {
        const Int64 y0 = std::max(e.Y1, t.Clip.Y0), y1 = std::min(e.Y2, t.Clip.Y1);
        for (Int64 y = y0; y < y1; ++y) OutlineRow(e, y, [&](Int64 l, Int64 r) { emit(y, l, r); });
        return;
    }
    const Int64 grow = insideFrame ? 0 : width / 2;
    const EllipseShape outer{e.X1 - grow, e.Y1 - grow, e.X2 + grow, e.Y2 + grow};
    const EllipseShape inner{outer.X1 + width, outer.Y1 + width, outer.X2 - width, outer.Y2 - width};
    const Int64 y0 = std::max(outer.Y1, t.Clip.Y0), y1 = std::min(outer.Y2, t.Clip.Y1);
    for (Int64 y = y0; y < y1; ++y) RingRow(outer, inner, y, [&](Int64 l, Int64 r) { emit(y, l, r); });
}

// Exact angular comparison in the usual mathematical orientation (y up).
struct Vec {
    Wide X, Y;
};
Wide Cross(const Vec& a, const Vec& b) noexcept { return a.X * b.Y - a.Y * b.X; }
Wide Dot(const Vec& a, const Vec& b) noexcept { return a.X * b.X + a.Y * b.Y; }

// Half 0: counter-clockwise angle from s in [0, pi); half 1: in [pi, 2 pi).
int HalfFrom(const Vec& s, const Vec& v) noexcept {
    const Wide c = Cross(s, v);
    return (c > 0 || (c == 0 && Dot(s, v) > 0)) ? 0 : 1;
}

}  // namespace

bool EllipseShape::Span(Int64 y, Int64& left, Int64& right) const noexcept {
    if (Empty() || y < Y1 || y >= Y2) return false;
    const std::uint64_t A = static_cast<std::uint64_t>(X2 - X1 - 1);
    const std::uint64_t B = static_cast<std::uint64_t>(Y2 - Y1 - 1);
    const Int64 V = 2 * y + 1 - (Y1 + Y2);
    const std::uint64_t aV = static_cast<std::uint64_t>(V < 0 ? -V : V);
    std::uint64_t u = A;
    if (B > 0 && ((A | B) >> 32) != 0) {
        // Only a wide pen round a box already spanning the whole Integer range gets here; the
        // products would pass 128 bits, and a few ulps no longer show on any surface.
        using Real = long double;
        const Real a = Real(A), b = Real(B), v = Real(aV), vm = aV > 0 ? Real(aV - 1) : Real(0);
        const Real t1 = a * std::sqrt(std::max(Real(0), 1 - (v / b) * (v / b)));
        const Real t2 = a * std::sqrt(std::max(Real(0), 1 - (vm / b) * (vm / b)));
        u = std::min<std::uint64_t>(A, std::max(static_cast<std::uint64_t>(t1) + 1, static_cast<std::uint64_t>(t2)));
        if ((u ^ A) & 1u) --u;
    } else if (B > 0) {
        const U128 A2 = U128(A) * A, B2 = U128(B) * B;
        // Row rule: (|U| - 1)^2 <= A^2 (B^2 - V^2) / B^2.
        const std::uint64_t t1 = ISqrt(static_cast<std::uint64_t>(A2 * (B2 - U128(aV) * aV) / B2));
        // Column rule: U^2 <= A^2 (B^2 - (|V| - 1)^2) / B^2.
        const std::uint64_t vm = aV > 0 ? aV - 1 : 0;
        const std::uint64_t t2 = ISqrt(static_cast<std::uint64_t>(A2 * (B2 - U128(vm) * vm) / B2));
        u = std::min(A, std::max(t1 + 1, t2));
        if ((u ^ A) & 1u) --u;  // the centres of this box sit at U of A's parity
    }
    const Int64 c = X1 + X2 - 1;
    left = (c - static_cast<Int64>(u)) / 2;
    right = (c + static_cast<Int64>(u)) / 2;
    return true;
}

void FillEllipse(const Target& t, const EllipseShape& e, const Ink& ink) noexcept {
    if (t.Empty() || e.Empty()) return;
    const Int64 y0 = std::max(e.Y1, t.Clip.Y0), y1 = std::min(e.Y2, t.Clip.Y1);
    for (Int64 y = y0; y < y1; ++y) {
        Int64 l, r;
        if (e.Span(y, l, r)) FillRowClipped(t, y, l, r, ink);
    }
}

void EllipseOutline(const Target& t, const EllipseShape& e, Integer width, bool insideFrame,
                    const Ink& ink) {
    if (t.Empty() || e.Empty()) return;
    ForEachOutlineRun(t, e, width, insideFrame,
                      [&](Int64 y, Int64 l, Int64 r) { FillRowClipped(t, y, l, r, ink); });
}

void EllipseArc(const Target& t, const EllipseShape& e, Integer width, Int64 sx, Int64 sy,
                Int64 ex, Int64 ey, const Ink& ink) {
    if (t.Empty() || e.Empty()) return;
    const Int64 cx = e.X1 + e.X2, cy = e.Y1 + e.Y2;  // the centre, doubled
    // Rays in half-pixel units, y turned upwards; a ray from the centre to the centre itself
    // points to the right.
    Vec s{Wide(2) * sx - cx, -(Wide(2) * sy - cy)}, f{Wide(2) * ex - cx, -(Wide(2) * ey - cy)};
    if (s.X == 0 && s.Y == 0) s = {1, 0};
    if (f.X == 0 && f.Y == 0) f = {1, 0};
    if (Cross(s, f) == 0 && Dot(s, f) > 0) {
        EllipseOutline(t, e, width, false, ink);
        return;
    }
    const int fHalf = HalfFrom(s, f);
    auto inSweep = [&](Int64 x, Int64 y) {
        const Vec p{Wide(2) * x + 1 - cx, -(Wide(2) * y + 1 - cy)};
        if (p.X == 0 && p.Y == 0) return true;
        const int h = HalfFrom(s, p);
        if (h != fHalf) return h < fHalf;
        return Cross(p, f) >= 0;
    };
    ForEachOutlineRun(t, e, width, false, [&](Int64 y, Int64 l, Int64 r) {
        l = std::max(l, t.Clip.X0);
        r = std::min(r, t.Clip.X1 - 1);
        for (Int64 x = l; x <= r; ++x)
            if (inSweep(x, y)) {
                std::uint32_t* p = t.At(x, y);
                *p = ink.Apply(*p);
            }
    });
}

}  // namespace kvb::raster
