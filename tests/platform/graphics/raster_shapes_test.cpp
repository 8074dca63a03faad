// Rectangles, ellipses, polygons and arcs against the pixel sets the rules give.
#include <algorithm>
#include <random>

#include "raster_test_util.h"

namespace kvb {
namespace {

using testing::MakeBitmap;

TEST(RasterShapes, RectangleWithSolidAndClearBrushAndClearPen) {
    auto bmp = MakeBitmap(16, 6);
    auto* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->Rectangle(1, 1, 6, 5);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(12, 5, 7, 1);  // corners given the other way round
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetStyle(psClear);
    c->Rectangle(13, 1, 15, 4);
    EXPECT_PICTURE(*bmp, {
        "................",
        ".#####.#####.rr.",
        ".#rrr#.#...#.rr.",
        ".#rrr#.#...#.rr.",
        ".#####.#####....",
        "................",
    });
}

TEST(RasterShapes, RectangleThinAndWide) {
    auto bmp = MakeBitmap(24, 12);
    auto* c = bmp->Canvas();
    c->Rectangle(1, 1, 2, 5);   // one pixel wide
    c->Rectangle(3, 1, 7, 2);   // one pixel high
    c->Rectangle(9, 9, 9, 11);  // no width: nothing
    c->Pen()->SetWidth(2);
    c->Rectangle(4, 4, 9, 9);  // centred on the one-pixel frame
    c->Pen()->SetWidth(3);
    c->Pen()->SetStyle(psInsideFrame);
    c->Rectangle(13, 1, 21, 9);  // inside the box
    EXPECT_PICTURE(*bmp, {
        "........................",
        ".#.####......########...",
        ".#...........########...",
        ".#.#######...########...",
        ".#.#######...###..###...",
        "...##...##...###..###...",
        "...##...##...########...",
        "...##...##...########...",
        "...#######...########...",
        "...#######..............",
        "........................",
        "........................",
    });
}

TEST(RasterShapes, FillRectAndFrameRectIgnorePenModeAndReversedRectangles) {
    auto bmp = MakeBitmap(10, 6);
    auto* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlue);
    c->Pen()->SetMode(pmXor);
    c->FillRect(Rect(2, 1, 7, 4));
    c->FillRect(Rect(9, 5, 8, 4));
    c->Brush()->SetColor(clRed);
    c->FrameRect(Rect(0, 4, 4, 6));  // a one-pixel frame in the brush colour
    c->Brush()->SetStyle(bsClear);
    c->FillRect(Rect(0, 0, 10, 6));
    c->FrameRect(Rect(0, 0, 10, 6));
    EXPECT_PICTURE(*bmp, {
        "..........",
        "..bbbbb...",
        "..bbbbb...",
        "..bbbbb...",
        "rrrr......",
        "rrrr......",
    });
}

TEST(RasterShapes, SmallEllipsesAreRoundMarks) {
    auto bmp = MakeBitmap(21, 9);
    auto* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->Ellipse(1, 1, 5, 5);
    c->Ellipse(6, 1, 11, 6);
    c->Ellipse(13, 1, 20, 8);
    EXPECT_PICTURE(*bmp, {
        ".....................",
        "..##...###.....###...",
        ".#rr#.#rrr#...#rrr#..",
        ".#rr#.#rrr#..#rrrrr#.",
        "..##..#rrr#..#rrrrr#.",
        ".......###...#rrrrr#.",
        "..............#rrr#..",
        "...............###...",
        ".....................",
    });
    // Without a pen the brush covers exactly the same pixels.
    auto filled = MakeBitmap(21, 9);
    filled->Canvas()->Pen()->SetStyle(psClear);
    filled->Canvas()->Brush()->SetStyle(bsSolid);
    filled->Canvas()->Brush()->SetColor(clBlack);
    filled->Canvas()->Ellipse(1, 1, 5, 5);
    filled->Canvas()->Ellipse(6, 1, 11, 6);
    filled->Canvas()->Ellipse(13, 1, 20, 8);
    for (Integer y = 0; y < 9; ++y)
        for (Integer x = 0; x < 21; ++x)
            EXPECT_EQ(filled->Canvas()->Pixels(x, y) == clBlack, bmp->Canvas()->Pixels(x, y) != clWhite) << x << "," << y;
}

TEST(RasterShapes, LargeEllipsesAreSymmetricInsideTheirBoxAndTouchEverySide) {
    struct Box { Integer x1, y1, x2, y2; };
    const Box boxes[] = {{3, 4, 204, 125}, {2, 2, 102, 102}, {5, 5, 25, 7}, {5, 5, 7, 45}, {1, 1, 4, 60}};
    for (const Box& b : boxes) {
        auto bmp = MakeBitmap(210, 130);
        bmp->Canvas()->Ellipse(b.x1, b.y1, b.x2, b.y2);
        bool top = false, bottom = false, left = false, right = false;
        for (Integer y = 0; y < 130; ++y)
            for (Integer x = 0; x < 210; ++x) {
                const bool on = bmp->Canvas()->Pixels(x, y) == clBlack;
                if (!on) continue;
                ASSERT_TRUE(x >= b.x1 && x < b.x2 && y >= b.y1 && y < b.y2) << x << "," << y;
                // Mirror images about both axes of the box.
                EXPECT_EQ(bmp->Canvas()->Pixels(b.x1 + b.x2 - 1 - x, y), clBlack);
                EXPECT_EQ(bmp->Canvas()->Pixels(x, b.y1 + b.y2 - 1 - y), clBlack);
                top |= y == b.y1;
                bottom |= y == b.y2 - 1;
                left |= x == b.x1;
                right |= x == b.x2 - 1;
            }
        EXPECT_TRUE(top && bottom && left && right) << b.x1 << "," << b.y1 << "," << b.x2 << "," << b.y2;
    }
}

TEST(RasterShapes, WideEllipseRings) {
    auto bmp = MakeBitmap(20, 10);
    auto* c = bmp->Canvas();
    c->Pen()->SetWidth(2);
    c->Ellipse(2, 2, 8, 8);  // grown by one: the ring of the 8 x 8 box less the 4 x 4 one
    c->Pen()->SetStyle(psInsideFrame);
    c->Ellipse(11, 1, 19, 9);  // the 8 x 8 box itself less its 4 x 4 middle
    EXPECT_PICTURE(*bmp, {
        "....................",
        "...####......####...",
        "..######....######..",
        ".###..###..###..###.",
        ".##....##..##....##.",
        ".##....##..##....##.",
        ".###..###..###..###.",
        "..######....######..",
        "...####......####...",
        "....................",
    });
}

TEST(RasterShapes, PolygonFills) {
    struct Case {
        std::vector<TPoint> points;
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        // Triangle: the diagonal edge is a right edge, so points on it are left out.
        {{{0, 0}, {6, 0}, {0, 6}},
         {"######..", "#####...", "####....", "###.....", "##......", "#.......", "........"}},
        // Crossings between lattice points: rounded up on both sides, so that (3,1), inside the
        // first triangle, is filled, and (0,1), outside the second, is not.
        {{{0, 0}, {4, 0}, {0, 8}},
         {"####....", "####....", "###.....", "###.....", "##......", "##......", "#.......", "#......."}},
        {{{0, 0}, {4, 0}, {4, 8}},
         {"####....", ".###....", ".###....", "..##....", "..##....", "...#....", "...#....", "........"}},
        // Diamond of a mark: top-left edges in, bottom-right edges out.
        {{{2, 5}, {5, 8}, {8, 5}, {5, 2}},
         {"........", "........", "........", "....##..", "...####.", "..######", "...####.", "....##.."}},
        // Concave.
        {{{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}},
         {"######..", "######..", "##..##..", "##..##..", "##..##..", "##..##..", "........"}},
        // Self-intersecting bow tie: even-odd.
        {{{0, 0}, {6, 6}, {6, 0}, {0, 6}},
         {"........", "#....#..", "##..##..", "######..", "##..##..", "#....#..", "........"}},
        // Self-intersecting path round two overlapping squares: the overlap is a hole.
        {{{0, 0}, {6, 0}, {6, 6}, {2, 6}, {2, 2}, {8, 2}, {8, 8}, {0, 8}},
         {"######..", "######..", "##....##", "##....##", "##....##", "##....##", "########", "########"}},
    };
    for (const Case& k : cases) {
        auto bmp = MakeBitmap(8, static_cast<Integer>(k.picture.size()));
        bmp->Canvas()->Pen()->SetStyle(psClear);
        bmp->Canvas()->Brush()->SetStyle(bsSolid);
        bmp->Canvas()->Brush()->SetColor(clBlack);
        bmp->Canvas()->Polygon(k.points);
        EXPECT_PICTURE(*bmp, k.picture);
    }
}

TEST(RasterShapes, PolygonOutlineClosesItselfOverTheFill) {
    auto bmp = MakeBitmap(9, 9);
    auto* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    const TPoint pts[] = {{1, 1}, {7, 1}, {1, 7}};
    c->Polygon(pts);
    EXPECT_PICTURE(*bmp, {
        ".........",
        ".#######.",
        ".#rrrr#..",
        ".#rrr#...",
        ".#rr#....",
        ".#r#.....",
        ".##......",
        ".#.......",
        ".........",
    });
}

// Convex hull of random points (monotone chain), counter-clockwise, without collinear points.
std::vector<TPoint> ConvexHull(std::vector<TPoint> p) {
    std::sort(p.begin(), p.end(), [](TPoint a, TPoint b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); });
    p.erase(std::unique(p.begin(), p.end()), p.end());
    if (p.size() < 3) return p;
    auto cross = [](TPoint o, TPoint a, TPoint b) {
        return Int64(a.X - o.X) * (b.Y - o.Y) - Int64(a.Y - o.Y) * (b.X - o.X);
    };
    std::vector<TPoint> h(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
        h[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
        h[k++] = p[i];
    }
    h.resize(k - 1);
    return h;
}

TEST(RasterShapes, TriangleFansCoverTheirPolygonExactlyOnce) {
    std::mt19937 rng(20240601);
    const Integer W = 48, H = 40;
    int checked = 0;
    for (int n = 0; checked < 1000; ++n) {
        // Some polygons reach past the edges, so that clipped rows and columns take part.
        const Integer lo = n % 4 == 0 ? -15 : 0, span = n % 4 == 0 ? 80 : 48;
        std::vector<TPoint> pts;
        const int count = 3 + static_cast<int>(rng() % 8);
        for (int i = 0; i < count; ++i)
            pts.push_back({lo + static_cast<Integer>(rng() % span), lo + static_cast<Integer>(rng() % span)});
        const std::vector<TPoint> hull = ConvexHull(pts);
        if (hull.size() < 3) continue;
        ++checked;
        auto whole = MakeBitmap(W, H, clBlack);
        auto fan = MakeBitmap(W, H, clBlack);
        for (TBitmap* b : {whole.get(), fan.get()}) {
            b->Canvas()->Pen()->SetStyle(psClear);
            b->Canvas()->Pen()->SetMode(pmXor);
            b->Canvas()->Brush()->SetStyle(bsSolid);
            b->Canvas()->Brush()->SetColor(clWhite);
        }
        whole->Canvas()->Polygon(hull);
        for (std::size_t i = 1; i + 1 < hull.size(); ++i) {
            const TPoint tri[] = {hull[0], hull[i], hull[i + 1]};
            fan->Canvas()->Polygon(tri);
        }
        ASSERT_TRUE(std::equal(whole->Bits(), whole->Bits() + W * H, fan->Bits())) << "polygon " << n;
    }
}

// An 8 x 8 circle: its outline, with pixel centres at odd half-pixel offsets from the centre,
// so no pixel lies on an axis.
//   ..####..
//   .#....#.
//   #......#   (rows 2 to 5)
//   .#....#.
//   ..####..
TEST(RasterShapes, ArcsRunCounterClockwise) {
    struct Case {
        Integer x3, y3, x4, y4;
        std::vector<std::string> picture;
    };
    const Case cases[] = {
        // Right to up, up to left, left to down, down to right.
        {8, 4, 4, 0, {"....##..", "......#.", ".......#", ".......#", "........", "........", "........", "........"}},
        {4, 0, 0, 4, {"..##....", ".#......", "#.......", "#.......", "........", "........", "........", "........"}},
        {0, 4, 4, 8, {"........", "........", "........", "........", "#.......", "#.......", ".#......", "..##...."}},
        {4, 8, 8, 4, {"........", "........", "........", "........", ".......#", ".......#", "......#.", "....##.."}},
        // Across 0 degrees, from -45 to +45: the pixels on both rays belong to the arc.
        {8, 8, 8, 0, {"........", "......#.", ".......#", ".......#", ".......#", ".......#", "......#.", "........"}},
        // And the other way round: the rest of the outline, the ray pixels again included.
        {8, 0, 8, 8, {"..####..", ".#....#.", "#.......", "#.......", "#.......", "#.......", ".#....#.", "..####.."}},
        // Equal rays: the whole outline.
        {9, 4, 30, 4, {"..####..", ".#....#.", "#......#", "#......#", "#......#", "#......#", ".#....#.", "..####.."}},
    };
    for (const Case& k : cases) {
        auto bmp = MakeBitmap(8, 8);
        bmp->Canvas()->Brush()->SetStyle(bsSolid);  // an arc is never filled
        bmp->Canvas()->Arc(0, 0, 8, 8, k.x3, k.y3, k.x4, k.y4);
        EXPECT_PICTURE(*bmp, k.picture);
    }
}

}  // namespace
}  // namespace kvb
