// The shape rasterisers' fast paths (row tables for ellipses, per-edge crossing tables for small
// polygons, incremental edge walks) against their rules evaluated pixel by pixel: many random
// shapes of every small size and some large ones, partly outside the bitmap, in copy and XOR
// modes, over a background that makes every double write show.
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

#include "raster_test_util.h"

namespace kvb {
namespace {

using Wide = __int128;

// The ellipse rule in half-pixel units about the box's centre, A and B the half-axes through
// the centres of the outermost pixels: a pixel belongs when its row or its column reaches it.
bool InEllipse(Int64 X1, Int64 Y1, Int64 X2, Int64 Y2, Int64 x, Int64 y) {
    if (X1 >= X2 || Y1 >= Y2 || x < X1 || x >= X2 || y < Y1 || y >= Y2) return false;
    const Wide A = X2 - X1 - 1, B = Y2 - Y1 - 1;
    const Wide U = Wide(2) * x + 1 - (X1 + X2), V = Wide(2) * y + 1 - (Y1 + Y2);
    const Wide aU = U < 0 ? -U : U, aV = V < 0 ? -V : V;
    const Wide um = aU > 0 ? aU - 1 : 0, vm = aV > 0 ? aV - 1 : 0;
    const Wide AB = A * A * B * B;
    return um * um * B * B + V * V * A * A <= AB || U * U * B * B + vm * vm * A * A <= AB;
}

struct Box4 {
    Int64 X1, Y1, X2, Y2;
    bool In(Int64 x, Int64 y) const { return InEllipse(X1, Y1, X2, Y2, x, y); }
};

// The outline's pixel set: width 1, the ellipse's pixels with a 4-neighbour outside it; wider,
// the ellipse of the box grown by width / 2 (the box itself inside the frame) less that of the
// box shrunk by the width.
bool InOutline(const Box4& b, Integer width, bool insideFrame, Int64 x, Int64 y) {
    if (width <= 1)
        return b.In(x, y) && (!b.In(x - 1, y) || !b.In(x + 1, y) || !b.In(x, y - 1) || !b.In(x, y + 1));
    const Int64 g = insideFrame ? 0 : width / 2;
    const Box4 outer{b.X1 - g, b.Y1 - g, b.X2 + g, b.Y2 + g};
    const Box4 inner{outer.X1 + width, outer.Y1 + width, outer.X2 - width, outer.Y2 - width};
    return outer.In(x, y) && !inner.In(x, y);
}

// A background of many colours, so that a pixel written twice in XOR mode shows. Written and
// read straight through the bitmap's rows: the tests go through millions of pixels.
void Scribble(TBitmap& bmp, std::mt19937& rng) {
    for (Integer y = 0; y < bmp.Height(); ++y)
        for (Integer x = 0; x < bmp.Width(); ++x) bmp.Bits()[y * bmp.Stride() + x] = ColorToPixel(static_cast<TColor>(rng() & 0xFFFFFFu));
}

std::vector<TColor> Pixels(const TBitmap& bmp) {
    std::vector<TColor> v;
    v.reserve(static_cast<std::size_t>(bmp.Width()) * bmp.Height());
    for (Integer y = 0; y < bmp.Height(); ++y)
        for (Integer x = 0; x < bmp.Width(); ++x) v.push_back(PixelToColor(bmp.Bits()[y * bmp.Stride() + x]));
    return v;
}

TColor Apply(TPenMode mode, TColor dst, TColor c) { return mode == pmXor ? dst ^ c : c; }

// The first pixel where two pictures differ, for the failure message.
std::string FirstDifference(const std::vector<TColor>& got, const std::vector<TColor>& want, Integer w) {
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            std::ostringstream s;
            s << "first difference at (" << Integer(i) % w << ", " << Integer(i) / w << ")";
            return s.str();
        }
    return {};
}

// A box of the drawn size, placed so that it meets the bitmap, often crossing its edges.
Int64 Place(std::mt19937& rng, Int64 size, Integer extent) {
    const Int64 lo = -size + 1, hi = extent - 1;
    return lo + static_cast<Int64>(rng() % static_cast<std::uint64_t>(hi - lo + 1));
}

TEST(RasterFastPath, EllipsesMatchTheRulePixelByPixel) {
    std::mt19937 rng(20240611);
    constexpr Integer W = 48, H = 40;
    TBitmap bmp;
    bmp.SetSize(W, H);
    TCanvas* c = bmp.Canvas();
    for (int n = 0; n < 1500; ++n) {
        // Mostly mark-sized boxes (row tables), some up to thousands of pixels (rows worked out
        // one by one) and a few beyond 65535 (the 128-bit rule).
        const int kind = n % 10;
        const Int64 range = kind < 7 ? 24 : kind < 9 ? 6000 : 200000;
        const Int64 bw = 1 + static_cast<Int64>(rng() % range), bh = 1 + static_cast<Int64>(rng() % range);
        const Int64 x1 = Place(rng, bw, W), y1 = Place(rng, bh, H);
        const Box4 box{x1, y1, x1 + bw, y1 + bh};
        const bool brush = rng() % 4 != 0;
        const TPenStyle style = rng() % 5 == 0 ? psClear : rng() % 3 == 0 ? psInsideFrame : psSolid;
        const Integer width = rng() % 3 == 0 ? 1 + static_cast<Integer>(rng() % 6) : 1;
        const TPenMode mode = rng() % 3 == 0 ? pmXor : pmCopy;
        const TColor brushColor = static_cast<TColor>(rng() & 0xFFFFFFu), penColor = static_cast<TColor>(rng() & 0xFFFFFFu);

        Scribble(bmp, rng);
        std::vector<TColor> want = Pixels(bmp);
        for (Integer y = 0; y < H; ++y)
            for (Integer x = 0; x < W; ++x) {
                TColor& p = want[static_cast<std::size_t>(y) * W + x];
                if (brush && box.In(x, y)) p = Apply(mode, p, brushColor);
                if (style != psClear && InOutline(box, width, style == psInsideFrame, x, y)) p = Apply(mode, p, penColor);
            }
        c->Brush()->SetStyle(brush ? bsSolid : bsClear);
        c->Brush()->SetColor(brushColor);
        c->Pen()->SetStyle(style);
        c->Pen()->SetWidth(width);
        c->Pen()->SetMode(mode);
        c->Pen()->SetColor(penColor);
        // Corners given either way round name the same box.
        if (n % 2 == 0)
            c->Ellipse(Integer(box.X1), Integer(box.Y1), Integer(box.X2), Integer(box.Y2));
        else
            c->Ellipse(Integer(box.X2), Integer(box.Y2), Integer(box.X1), Integer(box.Y1));
        const std::vector<TColor> got = Pixels(bmp);
        ASSERT_TRUE(got == want) << "ellipse " << box.X1 << "," << box.Y1 << " " << bw << "x" << bh
                                 << " brush " << brush << " pen style " << int(style) << " width " << width
                                 << " mode " << int(mode) << ": " << FirstDifference(got, want, W);
    }
}

// Two arcs between the same rays, one each way round, make up the whole outline; each lies on
// it. Arcs take their rows from the outline's row walk, so this checks it at random sizes.
TEST(RasterFastPath, ArcsBothWaysRoundMakeTheOutline) {
    std::mt19937 rng(7);
    constexpr Integer W = 40, H = 36;
    TBitmap bmp;
    bmp.SetSize(W, H);
    TCanvas* c = bmp.Canvas();
    c->Pen()->SetColor(clBlack);
    for (int n = 0; n < 400; ++n) {
        const Int64 range = n % 4 == 0 ? 3000 : 30;
        const Int64 bw = 1 + static_cast<Int64>(rng() % range), bh = 1 + static_cast<Int64>(rng() % range);
        const Int64 x1 = Place(rng, bw, W), y1 = Place(rng, bh, H);
        const Box4 box{x1, y1, x1 + bw, y1 + bh};
        const Integer width = n % 3 == 0 ? 1 + static_cast<Integer>(rng() % 5) : 1;
        const Integer sx = static_cast<Integer>(rng() % 80) - 20, sy = static_cast<Integer>(rng() % 80) - 20;
        const Integer ex = static_cast<Integer>(rng() % 80) - 20, ey = static_cast<Integer>(rng() % 80) - 20;
        c->Pen()->SetWidth(width);
        const auto draw = [&](Integer ax, Integer ay, Integer bx, Integer by) {
            c->Brush()->SetColor(clWhite);
            c->FillRect(Rect(0, 0, W, H));
            c->Arc(Integer(box.X1), Integer(box.Y1), Integer(box.X2), Integer(box.Y2), ax, ay, bx, by);
            return Pixels(bmp);
        };
        const std::vector<TColor> one = draw(sx, sy, ex, ey), other = draw(ex, ey, sx, sy);
        for (Integer y = 0; y < H; ++y)
            for (Integer x = 0; x < W; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * W + x;
                const bool on = InOutline(box, width, false, x, y);
                const bool a = one[i] == clBlack, b = other[i] == clBlack;
                ASSERT_EQ(a || b, on) << "arc " << box.X1 << "," << box.Y1 << " " << bw << "x" << bh << " width "
                                      << width << " at (" << x << ", " << y << ")";
                ASSERT_TRUE(on || (!a && !b));
            }
    }
}

// The polygon rule on scanline y: every edge that is not horizontal and spans YTop <= y < YBot
// crosses at the first lattice x at or right of the exact crossing; a pixel is inside when an
// odd number of crossings lie at or left of it.
std::vector<Wide> Crossings(const std::vector<TPoint>& pts, Int64 y) {
    std::vector<Wide> xs;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const TPoint a = pts[i], b = pts[(i + 1) % pts.size()];
        if (a.Y == b.Y) continue;
        const TPoint top = a.Y < b.Y ? a : b, bottom = a.Y < b.Y ? b : a;
        if (y < top.Y || y >= bottom.Y) continue;
        const Wide num = Wide(y - top.Y) * (Int64(bottom.X) - top.X), den = Int64(bottom.Y) - top.Y;
        Wide q = num / den;
        if (num % den != 0 && num > 0) ++q;
        xs.push_back(top.X + q);
    }
    return xs;
}
bool Inside(const std::vector<Wide>& crossings, Int64 x) {
    int n = 0;
    for (const Wide c : crossings) n += c <= x;
    return n % 2 == 1;
}

TEST(RasterFastPath, PolygonsMatchTheRulePixelByPixel) {
    std::mt19937 rng(99);
    constexpr Integer W = 64, H = 96;
    TBitmap bmp;
    bmp.SetSize(W, H);
    TCanvas* c = bmp.Canvas();
    c->Pen()->SetStyle(psClear);
    constexpr Integer kFar = 2147483647;
    for (int n = 0; n < 800; ++n) {
        // Few points near one spot (the per-edge crossing table), many points or tall shapes
        // (the sorted walk over rows), and points near the ends of the Integer range.
        const int kind = n % 8;
        const std::size_t count = kind < 5 ? 3 + rng() % 6 : 3 + rng() % 18;
        const Integer spread = kind < 4 ? 12 : kind < 7 ? 120 : 40;
        const Integer cx = static_cast<Integer>(rng() % (W + 20)) - 10, cy = static_cast<Integer>(rng() % (H + 20)) - 10;
        std::vector<TPoint> pts;
        for (std::size_t k = 0; k < count; ++k) {
            TPoint p{cx + static_cast<Integer>(rng() % (2 * spread + 1)) - spread,
                     cy + static_cast<Integer>(rng() % (2 * spread + 1)) - spread};
            if (kind == 7 && rng() % 3 == 0) {
                const Integer far[] = {kFar, -kFar - 1, 1 << 30, -(1 << 30)};
                if (rng() & 1) p.X = far[rng() % 4];
                if (rng() & 1) p.Y = far[rng() % 4];
            }
            pts.push_back(p);
        }
        const TPenMode mode = rng() % 3 == 0 ? pmXor : pmCopy;
        const TColor colour = static_cast<TColor>(rng() & 0xFFFFFFu);
        Scribble(bmp, rng);
        std::vector<TColor> want = Pixels(bmp);
        for (Integer y = 0; y < H; ++y) {
            const std::vector<Wide> crossings = Crossings(pts, y);
            for (Integer x = 0; x < W; ++x)
                if (Inside(crossings, x)) {
                    TColor& p = want[static_cast<std::size_t>(y) * W + x];
                    p = Apply(mode, p, colour);
                }
        }
        c->Pen()->SetMode(mode);
        c->Brush()->SetColor(colour);
        c->Polygon(pts);
        const std::vector<TColor> got = Pixels(bmp);
        std::ostringstream shape;
        for (const TPoint& p : pts) shape << " (" << p.X << ", " << p.Y << ")";
        ASSERT_TRUE(got == want) << "polygon" << shape.str() << " mode " << int(mode) << ": "
                                 << FirstDifference(got, want, W);
    }
}

}  // namespace
}  // namespace kvb
