// Copies between bitmaps and canvases, the clip rectangle, and coordinates anywhere in the
// Integer range.
#include <climits>

#include "raster_test_util.h"

namespace kvb {
namespace {

using testing::MakeBitmap;

// A small picture with four colours: r g / b #.
std::unique_ptr<TBitmap> Quad() {
    auto src = MakeBitmap(2, 2);
    src->Canvas()->SetPixels(0, 0, clRed);
    src->Canvas()->SetPixels(1, 0, clLime);
    src->Canvas()->SetPixels(0, 1, clBlue);
    src->Canvas()->SetPixels(1, 1, clBlack);
    return src;
}

TEST(CanvasCopy, DrawCopiesOneToOneAndClips) {
    auto src = Quad();
    auto bmp = MakeBitmap(6, 4);
    bmp->Canvas()->Draw(1, 1, src.get());
    bmp->Canvas()->Draw(-1, -1, src.get());
    bmp->Canvas()->Draw(5, 3, src.get());
    bmp->Canvas()->Draw(INT_MAX, INT_MIN, src.get());
    bmp->Canvas()->Draw(0, 0, nullptr);
    EXPECT_PICTURE(*bmp, {
        "#.....",
        ".rg...",
        ".b#...",
        ".....r",
    });
}

TEST(CanvasCopy, StretchDrawTakesThePixelUnderEachCentre) {
    auto src = Quad();
    auto bmp = MakeBitmap(9, 4);
    bmp->Canvas()->StretchDraw(Rect(0, 0, 4, 4), src.get());
    // Three columns from two: centres at 1/3, 1, 5/3 of a source pixel pick 0, 1, 1.
    bmp->Canvas()->StretchDraw(Rect(5, 0, 8, 3), src.get());
    bmp->Canvas()->StretchDraw(Rect(9, 0, 5, 4), src.get());  // reversed: empty
    EXPECT_PICTURE(*bmp, {
        "rrgg.rgg.",
        "rrgg.b##.",
        "bb##.b##.",
        "bb##.....",
    });
    // Shrinking picks every other source pixel, starting with the second.
    auto big = MakeBitmap(4, 4);
    big->Canvas()->StretchDraw(Rect(0, 0, 4, 4), src.get());
    auto small = MakeBitmap(2, 2);
    small->Canvas()->Draw(0, 0, big.get());
    small->Canvas()->StretchDraw(Rect(0, 0, 2, 2), big.get());
    EXPECT_PICTURE(*small, {"rg", "b#"});
}

TEST(CanvasCopy, CopyRectWithinOneCanvasOverlapping) {
    auto bmp = MakeBitmap(6, 2);
    auto* c = bmp->Canvas();
    const TColor row[] = {clRed, clLime, clBlue, clBlack, clRed, clLime};
    for (Integer x = 0; x < 6; ++x) c->SetPixels(x, 0, row[x]);
    c->CopyRect(Rect(1, 0, 6, 1), c, Rect(0, 0, 5, 1));
    c->CopyRect(Rect(0, 1, 3, 2), c, Rect(4, 0, 7, 1));  // the source's last column is outside
    EXPECT_PICTURE(*bmp, {"rrgb#r", "#r...."});
}

TEST(CanvasClip, ClipRectStaysInsideTheSurface) {
    auto bmp = MakeBitmap(10, 8);
    auto* c = bmp->Canvas();
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 8));
    c->SetClipRect(Rect(-5, 2, 100, 6));
    EXPECT_EQ(c->ClipRect(), Rect(0, 2, 10, 6));
    c->SetClipRect(Rect(20, 20, 30, 30));
    EXPECT_EQ(c->ClipRect().Width(), 0);
    c->ResetClipRect();
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 8));
    c->SetClipRect(Rect(1, 1, 5, 5));
    bmp->SetSize(20, 4);  // a new size is a new device, without a clip
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 20, 4));
    TBitmap empty;
    EXPECT_EQ(empty.Canvas()->ClipRect(), Rect(0, 0, 0, 0));
}

TEST(CanvasClip, EveryPrimitiveStopsAtAllFourEdges) {
    auto bmp = MakeBitmap(12, 10);
    auto* c = bmp->Canvas();
    c->SetClipRect(Rect(2, 2, 10, 8));
    c->MoveTo(-5, 3);
    c->LineTo(40, 3);
    c->MoveTo(4, -20);
    c->LineTo(4, 20);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clRed);
    c->Rectangle(7, 5, 30, 30);
    c->Ellipse(-3, -3, 4, 4);
    c->SetPixels(1, 1, clBlue);  // outside the clip: ignored
    c->SetPixels(9, 2, clBlue);
    EXPECT_PICTURE(*bmp, {
        "............",
        "............",
        "..#.#....b..",
        "..########..",
        "....#.......",
        "....#..###..",
        "....#..#rr..",
        "....#..#rr..",
        "............",
        "............",
    });
}

TEST(CanvasClip, ClippingNeverChangesWhichPixelsALineCovers) {
    // Each line drawn through a small clip box must give the big picture's pixels there; a
    // pen pattern keeps counting the pixels clipped away.
    const TPoint ends[][2] = {{{-7, -3}, {31, 17}}, {{29, -2}, {-4, 19}}, {{3, 40}, {9, -30}},
                              {{-50, 9}, {61, 4}}, {{17, 17}, {-13, -1}}};
    for (TPenStyle style : {psSolid, psDashDot})
    for (const auto& e : ends) {
        SCOPED_TRACE(EnumInfo<TPenStyle>().Names[style]);
        auto whole = MakeBitmap(120, 120);
        whole->Canvas()->Pen()->SetStyle(style);
        whole->Canvas()->MoveTo(e[0].X + 50, e[0].Y + 50);
        whole->Canvas()->LineTo(e[1].X + 50, e[1].Y + 50);
        auto part = MakeBitmap(24, 16);
        part->Canvas()->Pen()->SetStyle(style);
        part->Canvas()->SetClipRect(Rect(3, 2, 21, 14));
        part->Canvas()->MoveTo(e[0].X, e[0].Y);
        part->Canvas()->LineTo(e[1].X, e[1].Y);
        for (Integer y = 0; y < 16; ++y)
            for (Integer x = 0; x < 24; ++x) {
                const bool inClip = x >= 3 && x < 21 && y >= 2 && y < 14;
                const TColor expected = inClip ? whole->Canvas()->Pixels(x + 50, y + 50) : clWhite;
                EXPECT_EQ(part->Canvas()->Pixels(x, y), expected) << x << "," << y;
            }
    }
}

TEST(CanvasBadInput, IntegerExtremesAreClippedNotWalked) {
    auto bmp = MakeBitmap(10, 10);
    auto* c = bmp->Canvas();
    c->MoveTo(INT_MIN, INT_MIN);
    c->LineTo(INT_MAX, INT_MAX);  // exactly diagonal: through (0,0) … (9,9)
    c->MoveTo(-2000000000, 5);
    c->LineTo(2000000000, 7);  // y = 6 exactly at x = 0, and within half a pixel across
    EXPECT_PICTURE(*bmp, {
        "#.........",
        ".#........",
        "..#.......",
        "...#......",
        "....#.....",
        ".....#....",
        "##########",
        ".......#..",
        "........#.",
        ".........#",
    });
    EXPECT_EQ(c->PenPos(), Point(2000000000, 7));
}

TEST(CanvasBadInput, HugeShapesAndWidthsEndQuickly) {
    auto bmp = MakeBitmap(16, 16);
    auto* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    for (Integer width : {1, 3, 1000, INT_MAX}) {
        c->Pen()->SetWidth(width);
        for (TPenStyle style : {psSolid, psDash, psInsideFrame}) {
            c->Pen()->SetStyle(style);
            c->Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
            c->Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
            c->Ellipse(INT_MIN, 3, INT_MAX, 9);
            c->Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, INT_MIN, INT_MIN);
            const TPoint poly[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}};
            c->Polygon(poly);
            c->Polyline(poly);
            c->MoveTo(INT_MAX, INT_MIN);
            c->LineTo(INT_MIN, INT_MAX);
            c->FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
            c->FrameRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
        }
    }
    auto src = MakeBitmap(3, 3);
    c->StretchDraw(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), src.get());
    c->CopyRect(Rect(INT_MIN, 0, INT_MAX, 16), src->Canvas(), Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    c->Draw(INT_MIN, INT_MAX, src.get());
    EXPECT_EQ(c->Pixels(INT_MIN, INT_MAX), 0xFFFFFFFFu);
}

TEST(CanvasBadInput, HugeEllipseCoversTheMiddleOfItsBox) {
    // The box's centre lies at (-0.5, -0.5), far from its rim: the whole surface is inside.
    auto bmp = MakeBitmap(8, 8);
    bmp->Canvas()->Pen()->SetStyle(psClear);
    bmp->Canvas()->Brush()->SetStyle(bsSolid);
    bmp->Canvas()->Brush()->SetColor(clBlack);
    bmp->Canvas()->Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    for (Integer y = 0; y < 8; ++y)
        for (Integer x = 0; x < 8; ++x) EXPECT_EQ(bmp->Canvas()->Pixels(x, y), clBlack);
}

TEST(CanvasBadInput, ZeroSizeBitmapsIgnoreDrawing) {
    TBitmap bmp;
    bmp.SetSize(-5, 10);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 10);
    auto* c = bmp.Canvas();
    c->LineTo(5, 5);
    c->Rectangle(0, 0, 5, 5);
    c->Ellipse(0, 0, 5, 5);
    const TPoint tri[] = {{0, 0}, {5, 0}, {0, 5}};
    c->Polygon(tri);
    c->FillRect(Rect(0, 0, 5, 5));
    c->SetPixels(0, 0, clRed);
    EXPECT_EQ(c->Pixels(0, 0), 0xFFFFFFFFu);
    auto target = MakeBitmap(4, 4);
    target->Canvas()->Draw(0, 0, &bmp);
    target->Canvas()->StretchDraw(Rect(0, 0, 4, 4), &bmp);
    target->Canvas()->CopyRect(Rect(0, 0, 4, 4), c, Rect(0, 0, 4, 4));
    EXPECT_PICTURE(*target, {"....", "....", "....", "...."});
}

}  // namespace
}  // namespace kvb
