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
#include "platform/graphics/raster/Shapes.h"

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

// The rows of one ellipse as insets: row y covers X1 + k .. X2 - 1 - k. For half-axes below
// 2^16 every product of the rule fits in 64 bits. A box of moderate size gets all its insets
// at once by walking down the rule's square roots, which only shrink from the middle row out,
// so the whole table costs about W + H steps of a multiplication and a comparison; the lower
// half mirrors the upper one. Larger boxes, where clipping may leave only a few of many rows,
// work out each row on its own, with the square root taken in double precision and then
// corrected to the exact integer. Boxes past 2^16 go through EllipseShape::Span.
class RowInsets {
public:
    explicit RowInsets(const EllipseShape& e) noexcept : e_(e) {
        if (e.Empty()) return;
        A_ = static_cast<std::uint64_t>(e.X2 - e.X1 - 1);
        B_ = static_cast<std::uint64_t>(e.Y2 - e.Y1 - 1);
        exact64_ = A_ <= kMaxAxis && B_ <= kMaxAxis;
        if (!exact64_) return;
        A2_ = A_ * A_;
        B2_ = B_ * B_;
        A2B2_ = A2_ * B2_;
        if (B_ > 0) invB2_ = 1.0 / static_cast<double>(B2_);
        table_ = B_ / 2 < kTableRows && A_ <= kTableWidth;
        if (table_) Tabulate();
    }

    // The inset of row y, or -1 for a row outside the box.
    Int64 At(Int64 y) const noexcept {
        if (e_.Empty() || y < e_.Y1 || y >= e_.Y2) return -1;
        if (table_) return half_[std::min(y - e_.Y1, e_.Y2 - 1 - y)];
        if (!exact64_) {
            Int64 l, r;
            e_.Span(y, l, r);
            return l - e_.X1;
        }
        if (B_ == 0) return 0;
        const Int64 V = 2 * y + 1 - (e_.Y1 + e_.Y2);
        const std::uint64_t v = static_cast<std::uint64_t>(V < 0 ? -V : V);
        return Inset(Reach(v), Reach(v > 0 ? v - 1 : 0));
    }

private:
    // With A, B <= kMaxAxis, (A + 1)^2 B^2 < 2^64.
    static constexpr std::uint64_t kMaxAxis = 65534;
    // Tables up to this many rows per half and this width (bounding the walk).
    static constexpr std::uint64_t kTableRows = 256, kTableWidth = 4096;

    // The inset of a row at |V| = v from the reaches of the row rule at v and of the column
    // rule at v - 1 (see the top of the file).
    std::int32_t Inset(std::uint64_t rowReach, std::uint64_t columnReach) const noexcept {
        std::uint64_t u = std::min(A_, std::max(rowReach + 1, columnReach));
        if ((u ^ A_) & 1u) --u;  // the centres of this box sit at U of A's parity
        return static_cast<std::int32_t>((A_ - u) / 2);
    }

    // The largest t with t^2 B^2 <= A^2 (B^2 - v^2), for v <= B: the integer square root of
    // A^2 (B^2 - v^2) / B^2 without the division.
    std::uint64_t Reach(std::uint64_t v) const noexcept {
        const std::uint64_t x = A2B2_ - A2_ * v * v;
        std::uint64_t t = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(x) * invB2_));
        if (t > A_) t = A_;
        while (t > 0 && t * t * B2_ > x) --t;
        while (t < A_ && (t + 1) * (t + 1) * B2_ <= x) ++t;
        return t;
    }

    // Fills half_ for the rows from the top to the middle: the reach for v = 0, 1, ..., B in
    // turn, each row's inset taken when v reaches the row's |V|.
    void Tabulate() noexcept {
        if (B_ == 0) {
            half_[0] = 0;
            return;
        }
        std::uint64_t t = A_, previous = A_;
        for (std::uint64_t v = 0; v <= B_; ++v) {
            const std::uint64_t x = A2B2_ - A2_ * v * v;
            while (t * t * B2_ > x) --t;
            if (((v ^ B_) & 1u) == 0) half_[(B_ - v) / 2] = Inset(t, previous);
            previous = t;
        }
    }

    EllipseShape e_;
    std::uint64_t A_ = 0, B_ = 0, A2_ = 0, B2_ = 0, A2B2_ = 0;
    double invB2_ = 0;
    bool exact64_ = false, table_ = false;
    std::int32_t half_[kTableRows];
};

// Applies the ink to row y from l to r inclusive, clipped left and right; the row itself is
// inside the clip box.
inline void Run(const Target& t, Int64 y, Int64 l, Int64 r, const Ink& ink) noexcept {
    if (l < t.Clip.X0) l = t.Clip.X0;
    if (r >= t.Clip.X1) r = t.Clip.X1 - 1;
    if (l <= r) PaintRun(t.At(l, y), r - l + 1, ink);
}

// Visits the rows of an ellipse within the clip box, top to bottom, calling
// row(y, l, r, il, ir) with the span l..r and the pixels il..ir of it whose four neighbours
// are all inside (il > ir when there are none): the rest of the span is the outline one pixel
// wide. Each row's inset is worked out once and kept while it serves as the row above or below.
template <class Row>
void ForEachThinRow(const Target& t, const EllipseShape& e, Row row) {
    const RowInsets insets(e);
    const Int64 y0 = std::max(e.Y1, t.Clip.Y0), y1 = std::min(e.Y2, t.Clip.Y1);
    if (y0 >= y1) return;
    Int64 up = insets.At(y0 - 1), k = insets.At(y0);
    for (Int64 y = y0; y < y1; ++y) {
        const Int64 down = insets.At(y + 1);
        const Int64 m = (up < 0 || down < 0) ? e.X2 : std::max({k + 1, up, down});
        row(y, e.X1 + k, e.X2 - 1 - k, e.X1 + m, e.X2 - 1 - m);
        up = k;
        k = down;
    }
}

// The outline runs of an ellipse, emit(y, left, right) row by row within the clip box: for
// width 1 the span less its inside pixels, for a wider pen the ring between the ellipse of
// the box grown by width / 2 (insideFrame: the box itself) and that of the box shrunk by the
// width. When brush is given, each row is first filled with it; filling and outlining row by
// row keeps the order in which every pixel is touched, fill first, so any pen mode gives the
// same result as filling the whole shape before outlining it.
template <class Emit>
void ForEachOutlineRun(const Target& t, const EllipseShape& e, const Ink* brush, Integer width,
                       bool insideFrame, Emit emit) {
    if (width <= 1) {
        ForEachThinRow(t, e, [&](Int64 y, Int64 l, Int64 r, Int64 il, Int64 ir) {
            if (brush != nullptr) Run(t, y, l, r, *brush);
            if (il > ir) {
                emit(y, l, r);
            } else {
                emit(y, l, il - 1);
                emit(y, ir + 1, r);
            }
        });
        return;
    }
    const Int64 grow = insideFrame ? 0 : width / 2;
    const EllipseShape outer{e.X1 - grow, e.Y1 - grow, e.X2 + grow, e.Y2 + grow};
    const EllipseShape inner{outer.X1 + width, outer.Y1 + width, outer.X2 - width, outer.Y2 - width};
    const RowInsets fill(e), out(outer), in(inner);
    const Int64 y0 = std::max(outer.Y1, t.Clip.Y0), y1 = std::min(outer.Y2, t.Clip.Y1);
    for (Int64 y = y0; y < y1; ++y) {
        if (brush != nullptr) {
            const Int64 k = fill.At(y);
            if (k >= 0) Run(t, y, e.X1 + k, e.X2 - 1 - k, *brush);
        }
        const Int64 ko = out.At(y);
        if (ko < 0) continue;
        const Int64 ki = in.At(y);
        if (ki < 0) {
            emit(y, outer.X1 + ko, outer.X2 - 1 - ko);
        } else {
            emit(y, outer.X1 + ko, inner.X1 + ki - 1);
            emit(y, inner.X2 - ki, outer.X2 - 1 - ko);
        }
    }
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
    DrawEllipse(t, e, &ink, nullptr, 1, false);
}

void EllipseOutline(const Target& t, const EllipseShape& e, Integer width, bool insideFrame,
                    const Ink& ink) {
    DrawEllipse(t, e, nullptr, &ink, width, insideFrame);
}

void DrawEllipse(const Target& t, const EllipseShape& e, const Ink* brush, const Ink* pen, Integer width,
                 bool insideFrame) {
    if (t.Empty() || e.Empty() || (brush == nullptr && pen == nullptr)) return;
    if (pen == nullptr) {
        const RowInsets insets(e);
        const Ink ink = *brush;
        const Int64 y0 = std::max(e.Y1, t.Clip.Y0), y1 = std::min(e.Y2, t.Clip.Y1);
        for (Int64 y = y0; y < y1; ++y) {
            const Int64 k = insets.At(y);
            Run(t, y, e.X1 + k, e.X2 - 1 - k, ink);
        }
        return;
    }
    const Ink ink = *pen;
    if (brush != nullptr && brush->Copy && width <= 1) {
        // A copied fill leaves the same colour under every outline pixel, so the outline's
        // result there is known beforehand: each pixel is written once, left to right.
        const Ink fill = *brush, rim = Ink::Copying(ink.Apply(fill.Xor));
        ForEachThinRow(t, e, [&](Int64 y, Int64 l, Int64 r, Int64 il, Int64 ir) {
            if (il > ir) {
                Run(t, y, l, r, rim);
                return;
            }
            Run(t, y, l, il - 1, rim);
            Run(t, y, il, ir, fill);
            Run(t, y, ir + 1, r, rim);
        });
        return;
    }
    ForEachOutlineRun(t, e, brush, width, insideFrame, [&](Int64 y, Int64 l, Int64 r) { Run(t, y, l, r, ink); });
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
    ForEachOutlineRun(t, e, nullptr, width, false, [&](Int64 y, Int64 l, Int64 r) {
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
