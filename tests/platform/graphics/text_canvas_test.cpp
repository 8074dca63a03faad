#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/text/FontFace.h"
#include "support/Golden.h"

namespace kvb {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

struct Picture {
    explicit Picture(Integer w, Integer h, TColor background = clWhite) {
        bmp.SetSize(w, h);
        for (Integer y = 0; y < h; ++y)
            for (Integer x = 0; x < w; ++x) bmp.ScanLine(y)[x] = ColorToPixel(background);
        c = bmp.Canvas();
        c->Font()->SetName("MS Sans Serif");
        c->Font()->SetHeight(-13);
        c->Font()->SetColor(clBlack);
    }
    std::uint32_t At(Integer x, Integer y) const { return bmp.ScanLine(y)[x]; }
    // Bounding box of the pixels that differ from the given value (Right/Bottom exclusive).
    TRect InkBox(std::uint32_t background, int* count = nullptr) const {
        TRect r{std::numeric_limits<Integer>::max(), std::numeric_limits<Integer>::max(), -1, -1};
        int n = 0;
        for (Integer y = 0; y < bmp.Height(); ++y)
            for (Integer x = 0; x < bmp.Width(); ++x)
                if (At(x, y) != background) {
                    ++n;
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        if (count) *count = n;
        return r;
    }
    std::vector<std::uint32_t> Pixels() const {
        return std::vector<std::uint32_t>(bmp.Bits(), bmp.Bits() + bmp.Width() * bmp.Height());
    }
    TBitmap bmp;
    TCanvas* c = nullptr;
};

TEST(CanvasText, SolidBrushFillsExactlyTheCell) {
    Picture p(120, 40);
    p.c->Brush()->SetStyle(bsSolid);
    p.c->Brush()->SetColor(clYellow);
    const std::string s = "Hello, World";
    const Integer w = p.c->TextWidth(s), h = p.c->TextHeight(s);
    EXPECT_EQ(h, 15);
    p.c->TextOut(5, 7, s);
    // Every pixel that changed lies in the cell, and every pixel of the cell changed (glyph
    // blends between yellow and black are never white).
    EXPECT_EQ(p.InkBox(kWhite), Rect(5, 7, 5 + w, 7 + h));
    for (Integer y = 7; y < 7 + h; ++y)
        for (Integer x = 5; x < 5 + w; ++x) ASSERT_NE(p.At(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(p.c->PenPos(), Point(5 + w, 7));
}

TEST(CanvasText, ClearBrushInksInsideTheCellInTheFontColour) {
    Picture p(120, 40);
    p.c->Brush()->SetStyle(bsClear);
    p.c->Font()->SetColor(clBlue);
    const std::string s = "Hgjlpq|";
    const Integer w = p.c->TextWidth(s), h = p.c->TextHeight(s);
    p.c->TextOut(10, 12, s);
    int inked = 0;
    const TRect box = p.InkBox(kWhite, &inked);
    EXPECT_GT(inked, 40);
    EXPECT_GE(box.Left, 10);
    EXPECT_LE(box.Right, 10 + w);
    EXPECT_GE(box.Top, 12);
    EXPECT_LE(box.Bottom, 12 + h);
    // The ink uses most of the cell's height: ascenders near the top, descenders near the
    // bottom (so the cell and the glyphs agree about where the baseline is).
    EXPECT_LE(box.Top, 12 + 3);
    EXPECT_GE(box.Bottom, 12 + h - 2);
    int solid = 0;
    for (Integer y = 0; y < 40; ++y)
        for (Integer x = 0; x < 120; ++x) {
            const std::uint32_t px = p.At(x, y);
            if (px == kWhite) continue;
            // Blends of white and blue keep red equal to green and blue at full.
            ASSERT_EQ((px >> 16) & 0xFF, (px >> 8) & 0xFF);
            ASSERT_EQ(px & 0xFF, 0xFFu);
            solid += p.c->Pixels(x, y) == clBlue;
        }
    EXPECT_GT(solid, 10);
}

TEST(CanvasText, DrawingInPiecesEqualsDrawingAtOnce) {
    Picture whole(200, 30), pieces(200, 30);
    for (Picture* p : {&whole, &pieces}) {
        p->c->Brush()->SetStyle(bsClear);
        p->c->Font()->SetColor(clMaroon);
    }
    const std::string s = "Filtered Signal";
    whole.c->TextOut(3, 4, s);
    Integer x = 3;
    for (char ch : s) {
        pieces.c->TextOut(x, 4, std::string(1, ch));
        x += pieces.c->TextWidth(std::string(1, ch));
        EXPECT_EQ(pieces.c->PenPos().X, x);
    }
    EXPECT_EQ(x, 3 + whole.c->TextWidth(s));
    EXPECT_EQ(whole.Pixels(), pieces.Pixels());
}

TEST(CanvasText, StylesUnderlineAndStrikeOutAreFullRows) {
    Picture plain(100, 30), under(100, 30), strike(100, 30);
    const std::string s = "abc def";
    under.c->Font()->SetStyle({fsUnderline});
    strike.c->Font()->SetStyle({fsStrikeOut});
    for (Picture* p : {&plain, &under, &strike}) {
        p->c->Brush()->SetStyle(bsClear);
        p->c->TextOut(4, 5, s);
    }
    const Integer w = plain.c->TextWidth(s), h = plain.c->TextHeight(s);
    EXPECT_EQ(under.c->TextWidth(s), w);
    EXPECT_EQ(strike.c->TextHeight(s), h);
    auto fullRows = [&](const Picture& p) {
        std::vector<Integer> rows;
        for (Integer y = 0; y < 30; ++y) {
            bool full = true;
            for (Integer x = 4; x < 4 + w && full; ++x) full = p.c->Pixels(x, y) == clBlack;
            if (full && p.c->Pixels(3, y) == clWhite && p.c->Pixels(4 + w, y) == clWhite) rows.push_back(y);
        }
        return rows;
    };
    EXPECT_TRUE(fullRows(plain).empty());
    const auto u = fullRows(under);
    const auto k = fullRows(strike);
    ASSERT_EQ(u.size(), 1u);
    ASSERT_EQ(k.size(), 1u);
    const text::FontFace& face = plain.c->Font()->Face();
    const Integer baseline = 5 + face.Ascent();
    EXPECT_GE(u[0], baseline);            // below the baseline
    EXPECT_LT(u[0], 5 + h);               // inside the cell
    EXPECT_LT(k[0], baseline);            // above the baseline
    EXPECT_GT(k[0], baseline - face.Ascent() / 2 - 2);  // near the middle of the lower case
}

TEST(CanvasText, BoldAndItalicChangeTheGlyphs) {
    Picture regular(120, 30), bold(120, 30), italic(120, 30);
    bold.c->Font()->SetStyle({fsBold});
    italic.c->Font()->SetStyle({fsItalic});
    int inkRegular = 0, inkBold = 0, inkItalic = 0;
    for (Picture* p : {&regular, &bold, &italic}) {
        p->c->Brush()->SetStyle(bsClear);
        p->c->TextOut(2, 2, "Magnitude");
    }
    regular.InkBox(kWhite, &inkRegular);
    bold.InkBox(kWhite, &inkBold);
    italic.InkBox(kWhite, &inkItalic);
    EXPECT_GT(bold.c->TextWidth("Magnitude"), regular.c->TextWidth("Magnitude"));
    EXPECT_GT(inkBold, inkRegular);
    EXPECT_NE(italic.Pixels(), regular.Pixels());
    EXPECT_GT(inkItalic, 0);
}

TEST(CanvasText, ClippedToClipRectAndSurface) {
    Picture full(80, 30), clipped(80, 30);
    for (Picture* p : {&full, &clipped}) {
        p->c->Brush()->SetStyle(bsSolid);
        p->c->Brush()->SetColor(clAqua);
    }
    clipped.c->SetClipRect(Rect(20, 8, 50, 14));
    full.c->TextOut(6, 4, "Clipping text");
    clipped.c->TextOut(6, 4, "Clipping text");
    for (Integer y = 0; y < 30; ++y)
        for (Integer x = 0; x < 80; ++x) {
            const bool inside = x >= 20 && x < 50 && y >= 8 && y < 14;
            ASSERT_EQ(clipped.At(x, y), inside ? full.At(x, y) : kWhite) << x << "," << y;
        }
}

TEST(CanvasText, PartlyOutsideTheSurfaceDrawsTheVisiblePart) {
    // The same label drawn at (-7, -5) on a small bitmap and at (13, 15) on one 20 pixels
    // larger each way must show the same pixels where they overlap.
    Picture small(40, 20), large(60, 40);
    for (Picture* p : {&small, &large}) {
        p->c->Brush()->SetStyle(bsSolid);
        p->c->Brush()->SetColor(clSilver);
        p->c->Font()->SetColor(clGreen);
    }
    small.c->TextOut(-7, -5, "Wobble");
    large.c->TextOut(13, 15, "Wobble");
    for (Integer y = 0; y < 20; ++y)
        for (Integer x = 0; x < 40; ++x) ASSERT_EQ(small.At(x, y), large.At(x + 20, y + 20)) << x << "," << y;
}

TEST(CanvasText, ExtremeCoordinatesAndStringsAreSafe) {
    Picture p(30, 20);
    const Integer big = std::numeric_limits<Integer>::max(), small = std::numeric_limits<Integer>::min();
    for (TPoint at : {Point(big, big), Point(small, small), Point(big - 3, 0), Point(small, 5), Point(0, big)}) {
        p.c->TextOut(at.X, at.Y, "Extreme");
        EXPECT_EQ(p.c->PenPos().Y, at.Y);
    }
    EXPECT_EQ(p.c->PenPos().X, p.c->TextWidth("Extreme"));
    p.c->TextOut(big - 3, 0, "Extreme");
    EXPECT_EQ(p.c->PenPos().X, big);  // saturated, not wrapped
    int inked = 0;
    p.InkBox(kWhite, &inked);
    EXPECT_EQ(inked, 0);
    // Every 8-bit code, control characters included, has something to draw or skip.
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_GT(p.c->TextWidth(all), 0);
    p.c->TextOut(0, 0, all);
    p.c->TextOut(0, 0, "");
    EXPECT_EQ(p.c->PenPos(), Point(0, 0));
    EXPECT_EQ(p.c->TextWidth(""), 0);
}

TEST(CanvasText, CachedGlyphsAreNotRasterisedAgain) {
    Picture p(100, 30);
    p.c->TextOut(0, 0, "Signal");
    const std::size_t count = p.c->Font()->Face().RasterisedCount();
    for (int i = 0; i < 5; ++i) p.c->TextOut(i, i, "Signal");
    p.c->Font()->SetColor(clRed);  // colour is not part of the glyph
    p.c->TextOut(0, 0, "Signal");
    EXPECT_EQ(p.c->Font()->Face().RasterisedCount(), count);
}

// The families, sizes, styles and colours labels use, composed in one picture that pins the
// rendering of DejaVu.
TEST(CanvasText, GoldenSampleOfFontsAndStyles) {
    Picture p(200, 172, clBtnFace);
    TCanvas* c = p.c;
    c->Brush()->SetStyle(bsClear);
    struct Line { const char* name; Integer height; TFontStyles style; TColor color; const char* text; } lines[] = {
        {"MS Sans Serif", -11, {}, clBlack, "MS Sans Serif -11: 0.125 Signal"},
        {"MS Sans Serif", -13, {}, clNavy, "Height -13: Filtered Signal"},
        {"Arial", -13, {fsBold}, clMaroon, "Bold: Magnitude 256"},
        {"Tahoma", -13, {fsItalic}, clGreen, "Italic: cut-off frequency"},
        {"MS Sans Serif", -13, {fsUnderline, fsStrikeOut}, clBlack, "Underline + strike-out"},
        {"Courier New", -13, {}, clPurple, "Courier New 12:05:30.250"},
        {"Times New Roman", -15, {fsBold, fsItalic}, clTeal, "Times bold italic"},
        {"No Such Family", 20, {}, clBlack, "Cell 20: \x80 \xE9\xFC \x96 \x93q\x94"},
    };
    Integer y = 2;
    for (const Line& l : lines) {
        c->Font()->SetName(l.name);
        c->Font()->SetHeight(l.height);
        c->Font()->SetStyle(l.style);
        c->Font()->SetColor(l.color);
        c->TextOut(4, y, l.text);
        y += c->TextHeight(l.text) + 3;
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->Font()->SetName("MS Sans Serif");
    c->Font()->SetHeight(-13);
    c->Font()->SetStyle({});
    c->Font()->SetColor(clRed);
    c->TextOut(4, y, "Solid brush");
    c->SetClipRect(Rect(120, y + 4, 200, y + 12));
    c->TextOut(110, y, "Clipped label");
    c->ResetClipRect();
    EXPECT_GOLDEN(p.bmp, "text_fonts_and_styles");
}

}  // namespace
}  // namespace kvb
