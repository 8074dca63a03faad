// One-pixel lines: octants, the tie rule, end points, polylines, pen patterns and modes.
#include <climits>
#include <random>
#include <set>
#include <utility>

#include "raster_test_util.h"

namespace kvb {
namespace {

using testing::MakeBitmap;
using PixelSet = std::set<std::pair<Integer, Integer>>;

PixelSet Black(const TBitmap& bmp) {
    PixelSet s;
    for (Integer y = 0; y < bmp.Height(); ++y)
        for (Integer x = 0; x < bmp.Width(); ++x)
            if (bmp.Canvas()->Pixels(x, y) == clBlack) s.insert({x, y});
    return s;
}

TEST(RasterLines, AxisDirectionsLeaveOutTheEndAndMoveThePen) {
    struct Case { Integer x, y; PixelSet expected; };
    const Case cases[] = {
        {15, 10, {{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}}},
        {5, 10, {{10, 10}, {9, 10}, {8, 10}, {7, 10}, {6, 10}}},
        {10, 15, {{10, 10}, {10, 11}, {10, 12}, {10, 13}, {10, 14}}},
        {10, 5, {{10, 10}, {10, 9}, {10, 8}, {10, 7}, {10, 6}}},
    };
    for (const Case& c : cases) {
        auto bmp = MakeBitmap(21, 21);
        bmp->Canvas()->MoveTo(10, 10);
        bmp->Canvas()->LineTo(c.x, c.y);
        EXPECT_EQ(Black(*bmp), c.expected) << c.x << "," << c.y;
        EXPECT_EQ(bmp->Canvas()->PenPos(), Point(c.x, c.y));
    }
}

TEST(RasterLines, EightOctants) {
    // A line 5 across and 2 down: after i steps along x the ideal offset is 2i/5 = 0, .4, .8,
    // 1.2, 1.6, so the pixels are 0, 0, 1, 1, 2 off the start row. Every octant is a mirror image.
    const Integer minor[5] = {0, 0, 1, 1, 2};
    for (Integer sx : {1, -1})
        for (Integer sy : {1, -1})
            for (bool xMajor : {true, false}) {
                auto bmp = MakeBitmap(21, 21);
                const Integer dx = sx * (xMajor ? 5 : 2), dy = sy * (xMajor ? 2 : 5);
                bmp->Canvas()->MoveTo(10, 10);
                bmp->Canvas()->LineTo(10 + dx, 10 + dy);
                PixelSet expected;
                for (Integer i = 0; i < 5; ++i)
                    expected.insert(xMajor ? std::pair{10 + sx * i, 10 + sy * minor[i]}
                                           : std::pair{10 + sx * minor[i], 10 + sy * i});
                EXPECT_EQ(Black(*bmp), expected) << "dx " << dx << " dy " << dy;
                EXPECT_EQ(bmp->Canvas()->PenPos(), Point(10 + dx, 10 + dy));
            }
}

TEST(RasterLines, TiesGoToTheSmallerCoordinateInBothDirections) {
    // (0,0) -> (4,1) passes exactly half-way between rows 0 and 1 at x = 2: row 0 wins.
    auto fwd = MakeBitmap(6, 4);
    fwd->Canvas()->MoveTo(0, 0);
    fwd->Canvas()->LineTo(4, 1);
    EXPECT_EQ(Black(*fwd), (PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    auto back = MakeBitmap(6, 4);
    back->Canvas()->MoveTo(4, 1);
    back->Canvas()->LineTo(0, 0);
    EXPECT_EQ(Black(*back), (PixelSet{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
    // Steep: half-way between columns goes to the left one.
    auto steep = MakeBitmap(4, 6);
    steep->Canvas()->MoveTo(1, 4);
    steep->Canvas()->LineTo(0, 0);
    EXPECT_EQ(Black(*steep), (PixelSet{{1, 4}, {1, 3}, {0, 2}, {0, 1}}));
}

TEST(RasterLines, PolylineLeavesOutItsLastPointAndKeepsThePen) {
    auto bmp = MakeBitmap(10, 8);
    bmp->Canvas()->MoveTo(1, 7);
    const TPoint pts[] = {{2, 1}, {7, 1}, {7, 5}, {3, 5}};
    bmp->Canvas()->Polyline(pts);
    EXPECT_PICTURE(*bmp, {
        "..........",
        "..######..",
        ".......#..",
        ".......#..",
        ".......#..",
        "....####..",
        "..........",
        "..........",
    });
    EXPECT_EQ(bmp->Canvas()->PenPos(), Point(1, 7));
}

// Pixel k along a path is on when position k of the pattern (runs on/off, starting on) is on.
std::vector<bool> Expand(std::initializer_list<int> runs, int length) {
    std::vector<bool> one;
    bool on = true;
    for (int r : runs) {
        one.insert(one.end(), r, on);
        on = !on;
    }
    std::vector<bool> out;
    for (int k = 0; k < length; ++k) out.push_back(one[k % one.size()]);
    return out;
}

TEST(RasterLines, PenPatternsRunOnAcrossPolylineSegments) {
    struct Case { TPenStyle style; std::initializer_list<int> runs; };
    const Case cases[] = {
        {psSolid, {1}},
        {psDash, {18, 6}},
        {psDot, {3, 3}},
        {psDashDot, {9, 6, 3, 6}},
        {psDashDotDot, {9, 3, 3, 3, 3, 3}},
        {psInsideFrame, {1}},
    };
    // A path of short segments (7 pixels each) so that every pattern spans several of them.
    std::vector<TPoint> path;
    std::vector<std::pair<Integer, Integer>> order;  // the pixels of the path in drawing order
    Integer x = 1, y = 1;
    path.push_back({x, y});
    for (int leg = 0; leg < 8; ++leg) {
        for (int k = 0; k < 7; ++k) {
            order.push_back({x, y});
            if (leg % 2 == 0) ++x; else ++y;
        }
        path.push_back({x, y});
    }
    for (const Case& c : cases) {
        auto bmp = MakeBitmap(40, 40);
        bmp->Canvas()->Pen()->SetStyle(c.style);
        bmp->Canvas()->Polyline(path);
        const std::vector<bool> on = Expand(c.runs, static_cast<int>(order.size()));
        PixelSet expected;
        for (std::size_t k = 0; k < order.size(); ++k)
            if (on[k]) expected.insert(order[k]);
        EXPECT_EQ(Black(*bmp), expected) << EnumInfo<TPenStyle>().Names[c.style];

        // The same path as MoveTo and LineTo calls: the pattern carries on too.
        auto bmp2 = MakeBitmap(40, 40);
        bmp2->Canvas()->Pen()->SetStyle(c.style);
        bmp2->Canvas()->MoveTo(path[0].X, path[0].Y);
        for (std::size_t i = 1; i < path.size(); ++i) bmp2->Canvas()->LineTo(path[i].X, path[i].Y);
        EXPECT_EQ(Black(*bmp2), expected) << EnumInfo<TPenStyle>().Names[c.style];
    }
}

TEST(RasterLines, PatternGapsTakeTheSolidBrushAndMoveToRestarts) {
    auto bmp = MakeBitmap(30, 4);
    auto* c = bmp->Canvas();
    c->Pen()->SetStyle(psDot);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->MoveTo(0, 1);
    c->LineTo(8, 1);
    c->MoveTo(0, 2);  // starts the pattern again
    c->LineTo(4, 2);
    c->LineTo(8, 2);  // carries it on
    c->Brush()->SetStyle(bsClear);
    c->MoveTo(0, 3);
    c->LineTo(8, 3);
    EXPECT_PICTURE(*bmp, {
        "..............................",
        "###rrr##......................",
        "###rrr##......................",
        "###...##......................",
    });
}

TEST(RasterLines, PsClearDrawsNothingButMovesThePen) {
    auto bmp = MakeBitmap(10, 10);
    bmp->Canvas()->Pen()->SetStyle(psClear);
    bmp->Canvas()->LineTo(9, 9);
    EXPECT_TRUE(Black(*bmp).empty());
    EXPECT_EQ(bmp->Canvas()->PenPos(), Point(9, 9));
}

TEST(RasterLines, EveryPenModeActsChannelByChannel) {
    // Pen 0x0F33CC on 0x5555AA, worked out byte by byte.
    const TColor P = 0x0F33CC, D = 0x5555AA;
    struct Case { TPenMode mode; TColor expected; };
    const Case cases[] = {
        {pmBlack, 0x000000},       {pmWhite, 0xFFFFFF},      {pmNop, 0x5555AA},
        {pmNot, 0xAAAA55},         {pmCopy, 0x0F33CC},       {pmNotCopy, 0xF0CC33},
        {pmMergePenNot, 0xAFBBDD}, {pmMaskPenNot, 0x0A2244}, {pmMergeNotPen, 0xF5DDBB},
        {pmMaskNotPen, 0x504422},  {pmMerge, 0x5F77EE},      {pmNotMerge, 0xA08811},
        {pmMask, 0x051188},        {pmNotMask, 0xFAEE77},    {pmXor, 0x5A6666},
        {pmNotXor, 0xA59999},
    };
    for (const Case& c : cases) {
        auto bmp = MakeBitmap(4, 1, D);
        bmp->Canvas()->Pen()->SetColor(P);
        bmp->Canvas()->Pen()->SetMode(c.mode);
        bmp->Canvas()->MoveTo(0, 0);
        bmp->Canvas()->LineTo(3, 0);
        EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), c.expected) << EnumInfo<TPenMode>().Names[c.mode];
        EXPECT_EQ(bmp->Canvas()->Pixels(3, 0), D);
        EXPECT_EQ(bmp->Bits()[1] >> 24, 0xFFu) << "the stored pixel stays opaque";
    }
}

TEST(RasterLines, InvertingModesDrawnTwiceRestoreEveryPixel) {
    std::mt19937 rng(7);
    for (TPenMode mode : {pmXor, pmNot, pmNotXor}) {
        auto bmp = MakeBitmap(64, 48);
        for (Integer i = 0; i < 64 * 48; ++i) bmp->Bits()[i] = 0xFF000000u | (rng() & 0xFFFFFFu);
        const std::vector<std::uint32_t> before(bmp->Bits(), bmp->Bits() + 64 * 48);
        auto* c = bmp->Canvas();
        c->Pen()->SetMode(mode);
        c->Pen()->SetColor(0x3366CC);
        c->Brush()->SetColor(0xC0FFEE);
        for (int pass = 0; pass < 2; ++pass) {
            std::mt19937 shapes(11);
            auto coord = [&] { return static_cast<Integer>(shapes() % 90) - 13; };
            for (int i = 0; i < 20; ++i) {
                c->Pen()->SetStyle(static_cast<TPenStyle>(i % 5));
                c->Pen()->SetWidth(1 + i % 3);
                c->Brush()->SetStyle(i % 2 ? bsClear : bsSolid);
                c->MoveTo(coord(), coord());
                c->LineTo(coord(), coord());
                c->Rectangle(coord(), coord(), coord(), coord());
                c->Ellipse(coord(), coord(), coord(), coord());
                const TPoint poly[] = {{coord(), coord()}, {coord(), coord()}, {coord(), coord()}, {coord(), coord()}};
                c->Polyline(poly);
                c->Polygon(poly);
                c->Arc(coord(), coord(), coord(), coord(), coord(), coord(), coord(), coord());
            }
        }
        EXPECT_EQ(std::vector<std::uint32_t>(bmp->Bits(), bmp->Bits() + 64 * 48), before)
            << EnumInfo<TPenMode>().Names[mode];
    }
}

TEST(RasterLines, WidePensDrawSolidWithRoundEnds) {
    // Width 3: every pixel closer than 1.5 to the segment from (2,3) to (8,3); the round
    // ends reach one pixel beyond each end point on all three rows.
    auto bmp = MakeBitmap(11, 7);
    bmp->Canvas()->Pen()->SetWidth(3);
    bmp->Canvas()->Pen()->SetStyle(psDash);  // wide lines ignore the pattern
    bmp->Canvas()->MoveTo(2, 3);
    bmp->Canvas()->LineTo(8, 3);
    EXPECT_PICTURE(*bmp, {
        "...........",
        "...........",
        ".#########.",
        ".#########.",
        ".#########.",
        "...........",
        "...........",
    });
    EXPECT_EQ(bmp->Canvas()->PenPos(), Point(8, 3));
    // Width 2: the centre line runs half a pixel above and left of the pixel centres, so the
    // line covers rows 2 and 3 and the ends reach from x = 1 to x = 8.
    auto bmp2 = MakeBitmap(11, 7);
    bmp2->Canvas()->Pen()->SetWidth(2);
    bmp2->Canvas()->MoveTo(2, 3);
    bmp2->Canvas()->LineTo(8, 3);
    bmp2->Canvas()->MoveTo(10, 5);
    bmp2->Canvas()->LineTo(10, 6);
    EXPECT_PICTURE(*bmp2, {
        "...........",
        "...........",
        ".########..",
        ".########..",
        ".........##",
        ".........##",
        ".........##",
    });
}

TEST(RasterLines, WidePolylineJointsAreDrawnOnceInXor) {
    auto bmp = MakeBitmap(20, 20);
    auto* c = bmp->Canvas();
    c->Pen()->SetWidth(3);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);  // white XOR white = black
    const TPoint pts[] = {{3, 3}, {15, 3}, {15, 15}};
    c->Polyline(pts);
    // The two strokes overlap round the corner; merged, no pixel there is XORed back to white.
    for (Integer y = 2; y <= 4; ++y)
        for (Integer x = 14; x <= 16; ++x) EXPECT_EQ(c->Pixels(x, y), clBlack) << x << "," << y;
}

}  // namespace
}  // namespace kvb
