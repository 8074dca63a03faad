// Mark symbols, pixel by pixel. The expected pixels come from the symbol tables (row bytes,
// MoveTo/LineTo sequences, rectangle, ellipse and polygon corners) and the canvas's documented
// rules, modelled here on their own: lines are nearest-pixel lines without their end point
// (a tie takes the smaller coordinate), boxes cover x1..x2-1 by y1..y2-1, an ellipse is the
// rasteriser's half-pixel inequality with its width-1 outline the pixels that have a
// 4-neighbour outside it, and a polygon fills the lattice points between its crossings
// rounded up. No expected pixel is taken from what the canvas draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/KVB_kvbbase.h"

namespace kvb {
namespace {

using Pixels = std::set<std::pair<Integer, Integer>>;

constexpr Integer kSize = 24;
constexpr TColor kPen = clRed, kBack = clWhite, kCallerBrush = clYellow;

// ---------------------------------------------------------------------------------------
// The expectation model

Pixels FromRows(std::initializer_list<int> rows, Integer X, Integer Y) {
    Pixels p;
    int r = 1;
    for (int bits : rows) {
        for (int j = 0; j < 7; ++j)
            if ((bits >> j) & 1) p.insert({X + 3 - j, Y - 4 + r});
        ++r;
    }
    return p;
}

Integer FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    std::int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return static_cast<Integer>(q);
}
Integer CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }  // b > 0

// A width-1 line from (x1, y1) up to but not including (x2, y2): one pixel per step along the
// longer axis, on the other axis the pixel nearest to the ideal line, a tie taking the smaller
// coordinate, i.e. ceil(v - 1/2).
void AddLine(Pixels& p, Integer x1, Integer y1, Integer x2, Integer y2) {
    const Integer dx = x2 - x1, dy = y2 - y1;
    const Integer n = std::max(std::abs(dx), std::abs(dy));
    const bool alongX = std::abs(dx) >= std::abs(dy);
    for (Integer i = 0; i < n; ++i) {
        if (alongX) {
            const std::int64_t num = std::int64_t(y1) * n + std::int64_t(i) * dy;  // y = num / n
            p.insert({x1 + (dx > 0 ? i : -i), CeilDiv(2 * num - n, 2 * std::int64_t(n))});
        } else {
            const std::int64_t num = std::int64_t(x1) * n + std::int64_t(i) * dx;
            p.insert({CeilDiv(2 * num - n, 2 * std::int64_t(n)), y1 + (dy > 0 ? i : -i)});
        }
    }
}

// MoveTo the first point, LineTo each further one.
void AddPath(Pixels& p, std::initializer_list<TPoint> pts) {
    const TPoint* prev = nullptr;
    for (const TPoint& q : pts) {
        if (prev) AddLine(p, prev->X, prev->Y, q.X, q.Y);
        prev = &q;
    }
}

void AddBox(Pixels& p, Integer x1, Integer y1, Integer x2, Integer y2, bool filled) {
    for (Integer y = y1; y < y2; ++y)
        for (Integer x = x1; x < x2; ++x)
            if (filled || x == x1 || x == x2 - 1 || y == y1 || y == y2 - 1) p.insert({x, y});
}

// The ellipse of the box X1..X2-1 by Y1..Y2-1. In half-pixel units about the box's centre a
// pixel's centre is (U, V) = (2x + 1 - (X1 + X2), 2y + 1 - (Y1 + Y2)); with half-axes A = W - 1
// and B = H - 1 the pixel belongs when its row or its column reaches it:
// max(0, |U| - 1)^2 B^2 + V^2 A^2 <= A^2 B^2 or U^2 B^2 + max(0, |V| - 1)^2 A^2 <= A^2 B^2.
// Filled: that whole set; hollow (clear brush): the pixels of it with a 4-neighbour outside.
Pixels ModelEllipse(Integer x1, Integer y1, Integer x2, Integer y2, TBrushStyle style) {
    const std::int64_t A = x2 - x1 - 1, B = y2 - y1 - 1, AB = A * A * B * B;
    auto in = [&](Integer x, Integer y) {
        if (x < x1 || x >= x2 || y < y1 || y >= y2) return false;
        const std::int64_t U = std::abs(2 * x + 1 - (x1 + x2)), V = std::abs(2 * y + 1 - (y1 + y2));
        const std::int64_t u1 = std::max<std::int64_t>(0, U - 1), v1 = std::max<std::int64_t>(0, V - 1);
        return u1 * u1 * B * B + V * V * A * A <= AB || U * U * B * B + v1 * v1 * A * A <= AB;
    };
    Pixels p;
    for (Integer y = y1; y < y2; ++y)
        for (Integer x = x1; x < x2; ++x) {
            if (!in(x, y)) continue;
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            if (style == bsSolid || edge) p.insert({x, y});
        }
    return p;
}

// A polygon: its closed outline of lines and, with a solid brush, the lattice points of each
// scanline y from the left crossing rounded up to before the right crossing rounded up, an
// edge covering the scanlines from its upper end to before its lower one (even-odd pairing).
Pixels ModelPolygon(std::vector<TPoint> pts, TBrushStyle style) {
    Pixels p;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint a = pts[i], b = pts[(i + 1) % n];
        AddLine(p, a.X, a.Y, b.X, b.Y);
    }
    if (style != bsSolid) return p;
    Integer top = pts[0].Y, bottom = pts[0].Y;
    for (const TPoint& q : pts) { top = std::min(top, q.Y); bottom = std::max(bottom, q.Y); }
    for (Integer y = top; y < bottom; ++y) {
        std::vector<std::pair<std::int64_t, std::int64_t>> xs;  // crossing as numerator / denominator
        for (std::size_t i = 0; i < n; ++i) {
            TPoint a = pts[i], b = pts[(i + 1) % n];
            if (a.Y == b.Y) continue;
            if (a.Y > b.Y) std::swap(a, b);
            if (y < a.Y || y >= b.Y) continue;
            xs.push_back({std::int64_t(a.X) * (b.Y - a.Y) + std::int64_t(y - a.Y) * (b.X - a.X), b.Y - a.Y});
        }
        std::vector<Integer> rounded;
        for (auto [num, den] : xs) rounded.push_back(CeilDiv(num, den));
        std::sort(rounded.begin(), rounded.end());
        for (std::size_t k = 0; k + 1 < rounded.size(); k += 2)
            for (Integer x = rounded[k]; x < rounded[k + 1]; ++x) p.insert({x, y});
    }
    return p;
}

// Filled diamond or flat triangle: every pixel of the outline and inside it; hollow or with a
// clear brush, the outline only.
Pixels Diamond(Integer X, Integer Y, Integer a, bool inside) {
    Pixels p;
    for (Integer dy = -a; dy <= a; ++dy)
        for (Integer dx = -a; dx <= a; ++dx) {
            const Integer d = std::abs(dx) + std::abs(dy);
            if (d == a || (inside && d < a)) p.insert({X + dx, Y + dy});
        }
    return p;
}
Pixels FlatTriangle(Integer X, Integer Y, Integer a, bool inside) {
    Pixels p;
    for (Integer dy = 0; dy <= a; ++dy)
        for (Integer dx = -a; dx <= a; ++dx) {
            const bool edge = dy == 0 || std::abs(dx) == a - dy;
            if (edge || (inside && std::abs(dx) < a - dy)) p.insert({X + dx, Y + dy});
        }
    return p;
}

enum After : std::uint8_t { KeepStyle, SolidStyle };

struct Expectation {
    Pixels pixels;
    After after;
};

// What code must leave at (X, Y) when the caller's brush style is `style`.
Expectation Expected(int code, Integer X, Integer Y, TBrushStyle style) {
    const bool solid = style == bsSolid;
    Pixels p;
    auto box = [&](Integer a, bool fill) { AddBox(p, X - a, Y - a, X + a + 1, Y + a + 1, fill); };
    auto plusLines = [&](Integer lo, Integer hi) {
        AddLine(p, X - lo, Y, X + hi, Y);
        AddLine(p, X, Y - lo, X, Y + hi);
    };
    switch (code) {
        case 0: p.insert({X, Y}); return {p, KeepStyle};
        case 1: return {FromRows({0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00}, X, Y), KeepStyle};
        case 2: return {FromRows({0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00}, X, Y), KeepStyle};
        case 3: return {FromRows({0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08}, X, Y), KeepStyle};
        case 4: return {FromRows({0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00}, X, Y), KeepStyle};
        case 5: return {FromRows({0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00}, X, Y), KeepStyle};
        case 6: return {FromRows({0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41}, X, Y), KeepStyle};
        case 18: return {FromRows({0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55}, X, Y), KeepStyle};
        case 7: case 8: case 9: box(code - 6, solid); return {p, KeepStyle};
        case 10: case 11: case 12: {
            const Integer a = code - 9;
            AddPath(p, {{X - a, Y - a}, {X - a, Y + a}, {X + a, Y + a}, {X + a, Y - a}, {X - a, Y - a}});
            return {p, KeepStyle};
        }
        case 13: case 19:
            AddPath(p, {{X - 3, Y}, {X, Y + 3}, {X + 3, Y}, {X, Y - 3}, {X - 3, Y}});
            if (code == 13) p.insert({X, Y});
            return {p, KeepStyle};
        case 14: case 15: return {Diamond(X, Y, code - 12, solid), KeepStyle};
        case 16: return {ModelEllipse(X - 2, Y - 2, X + 3, Y + 3, bsClear), SolidStyle};
        case 17: return {ModelEllipse(X - 3, Y - 3, X + 4, Y + 4, bsClear), SolidStyle};
        case 24: return {ModelEllipse(X - 3, Y - 3, X + 4, Y + 4, style), KeepStyle};
        case 26: return {ModelEllipse(X - 2, Y - 2, X + 3, Y + 3, style), KeepStyle};
        case 27: return {ModelEllipse(X - 2, Y - 2, X + 2, Y + 2, bsClear), SolidStyle};
        case 28: return {ModelEllipse(X - 2, Y - 2, X + 2, Y + 2, style), KeepStyle};
        case 39:
            p = ModelEllipse(X - 3, Y - 3, X + 4, Y + 4, bsClear);
            plusLines(3, 4);
            return {p, SolidStyle};
        case 48: AddBox(p, X - 3, Y - 3, X + 4, Y + 4, false); plusLines(3, 4); return {p, SolidStyle};
        case 49: AddBox(p, X - 2, Y - 2, X + 3, Y + 3, false); plusLines(4, 5); return {p, SolidStyle};
        case 20: case 21: {
            const Integer a = code - 17;
            AddLine(p, X, Y, X - a, Y + a);
            AddLine(p, X, Y, X + a, Y + a);
            return {p, KeepStyle};
        }
        case 22: case 23: {
            const Integer a = code - 19;
            AddLine(p, X, Y, X - a, Y - a);
            AddLine(p, X, Y, X + a, Y - a);
            return {p, KeepStyle};
        }
        case 25:
            AddLine(p, X - 3, Y - 3, X + 4, Y + 4);
            AddLine(p, X - 3, Y - 2, X + 3, Y + 4);
            AddLine(p, X - 2, Y - 3, X + 4, Y + 3);
            AddLine(p, X - 3, Y + 3, X + 4, Y - 4);
            AddLine(p, X - 3, Y + 2, X + 3, Y - 4);
            AddLine(p, X - 2, Y + 3, X + 4, Y - 3);
            return {p, KeepStyle};
        case 29: return {FlatTriangle(X, Y, 2, solid), KeepStyle};
        case 30: return {FlatTriangle(X, Y, 3, solid), KeepStyle};
        case 31: return {FlatTriangle(X, Y, 2, false), SolidStyle};
        case 32: return {FlatTriangle(X, Y, 3, false), SolidStyle};
        case 33: return {ModelPolygon({{X - 4, Y - 3}, {X, Y + 4}, {X + 4, Y - 3}}, bsClear), SolidStyle};
        case 34: return {ModelPolygon({{X - 4, Y - 3}, {X, Y + 4}, {X + 4, Y - 3}}, style), KeepStyle};
        case 35: return {ModelPolygon({{X - 4, Y + 3}, {X, Y - 4}, {X + 4, Y + 3}}, bsClear), SolidStyle};
        case 36: return {ModelPolygon({{X - 4, Y + 3}, {X, Y - 4}, {X + 4, Y + 3}}, style), KeepStyle};
        case 40: return {ModelPolygon({{X + 3, Y - 2}, {X - 2, Y}, {X + 3, Y + 2}}, bsClear), SolidStyle};
        case 41: return {ModelPolygon({{X + 3, Y - 2}, {X - 2, Y}, {X + 3, Y + 2}}, style), KeepStyle};
        case 42: return {ModelPolygon({{X + 4, Y - 3}, {X - 3, Y}, {X + 4, Y + 3}}, bsClear), SolidStyle};
        case 43: return {ModelPolygon({{X + 4, Y - 3}, {X - 3, Y}, {X + 4, Y + 3}}, style), KeepStyle};
        case 44: return {ModelPolygon({{X - 3, Y - 2}, {X + 2, Y}, {X - 3, Y + 2}}, bsClear), SolidStyle};
        case 45: return {ModelPolygon({{X - 3, Y - 2}, {X + 2, Y}, {X - 3, Y + 2}}, style), KeepStyle};
        case 46: return {ModelPolygon({{X - 4, Y - 3}, {X + 3, Y}, {X - 4, Y + 3}}, bsClear), SolidStyle};
        case 47: return {ModelPolygon({{X - 4, Y - 3}, {X + 3, Y}, {X - 4, Y + 3}}, style), KeepStyle};
        case 37: AddLine(p, X - 3, Y, X + 4, Y); AddLine(p, X, Y, X, Y - 8); return {p, KeepStyle};
        case 38:
            AddLine(p, X - 3, Y - 2, X + 4, Y - 2);
            AddLine(p, X - 3, Y + 2, X + 4, Y + 2);
            AddLine(p, X, Y - 2, X, Y + 2);
            return {p, KeepStyle};
        case 50:
            plusLines(4, 5);
            AddLine(p, X - 3, Y - 3, X + 4, Y + 4);
            AddLine(p, X - 3, Y + 3, X + 4, Y - 4);
            return {p, SolidStyle};
        case 51:
            plusLines(4, 5);
            AddLine(p, X - 1, Y - 3, X + 2, Y - 3);
            AddLine(p, X - 1, Y + 3, X + 2, Y + 3);
            AddLine(p, X - 3, Y - 1, X - 3, Y + 2);
            AddLine(p, X + 3, Y - 1, X + 3, Y + 2);
            return {p, SolidStyle};
        default: ADD_FAILURE() << "no symbol " << code; return {p, KeepStyle};
    }
}

// ---------------------------------------------------------------------------------------

struct Sheet {
    TBitmap bmp;
    TCanvas* c;
    Sheet() {
        bmp.SetSize(kSize, kSize);
        c = bmp.Canvas();
        c->Brush()->SetColor(kBack);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect(0, 0, kSize, kSize));
        c->Pen()->SetColor(kPen);
        c->Brush()->SetColor(kCallerBrush);
    }
    Pixels Red() const {
        Pixels p;
        for (Integer y = 0; y < kSize; ++y)
            for (Integer x = 0; x < kSize; ++x) {
                const TColor v = c->Pixels(x, y);
                if (v == kPen) p.insert({x, y});
                else EXPECT_EQ(v, kBack) << "stray colour at " << x << "," << y;
            }
        return p;
    }
};

std::string Show(const Pixels& want, const Pixels& got) {
    std::string s = "\n(#: both, -: expected only, +: drawn only)\n";
    for (Integer y = 0; y < kSize; ++y) {
        for (Integer x = 0; x < kSize; ++x) {
            const bool w = want.count({x, y}) != 0, g = got.count({x, y}) != 0;
            s += w && g ? '#' : w ? '-' : g ? '+' : '.';
        }
        s += '\n';
    }
    return s;
}

Pixels ClipToSheet(const Pixels& p) {
    Pixels out;
    for (auto [x, y] : p)
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) out.insert({x, y});
    return out;
}

TEST(DrawMark, EverySymbolOnTheScreenPixelExact) {
    // Centred, and at the sheet's corner where the canvas clips most of the symbol.
    const TPoint centres[] = {{11, 12}, {1, 0}, {kSize - 2, kSize - 1}};
    for (int code = 0; code <= 51; ++code)
        for (TBrushStyle style : {bsSolid, bsClear})
            for (TPoint at : centres) {
                SCOPED_TRACE("code " + std::to_string(code) + (style == bsSolid ? " solid" : " clear") +
                             " at " + std::to_string(at.X) + "," + std::to_string(at.Y));
                const Expectation want = Expected(code, at.X, at.Y, style);
                Sheet s;
                s.c->Brush()->SetStyle(style);
                DrawMark(s.c, static_cast<Byte>(code), at.X, at.Y);
                const Pixels wantPixels = ClipToSheet(want.pixels);
                const Pixels got = s.Red();
                EXPECT_EQ(got, wantPixels) << Show(wantPixels, got);
                EXPECT_EQ(s.c->Brush()->Color(), kCallerBrush);
                EXPECT_EQ(s.c->Brush()->Style(), want.after == SolidStyle ? bsSolid : style);
                EXPECT_EQ(s.c->Pen()->Color(), kPen);
            }
}

// The round and slanted symbols worked out by hand from the same rules, as pictures centred
// on the middle character ('#' drawn, '.' not): they pin the models above to shapes a reader
// can check, and the marks to both.
TEST(DrawMark, RoundAndSlantedSymbolsAsPictures) {
    struct Case { int code; TBrushStyle style; std::vector<std::string> rows; } cases[] = {
        {24, bsSolid, {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}},
        {17, bsSolid, {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}},
        {26, bsSolid, {".###.", "#####", "#####", "#####", ".###."}},
        {16, bsSolid, {".###.", "#...#", "#...#", "#...#", ".###."}},
        // The 4 x 4 box runs from X-2 to X+1: shown in a 5 x 5 frame whose right column and
        // bottom row stay empty.
        {28, bsSolid, {".##..", "####.", "####.", ".##..", "....."}},
        {27, bsSolid, {".##..", "#..#.", "#..#.", ".##..", "....."}},
        // Triangles pointing up, rows Y-4..Y+4, columns X-4..X+4.
        {35, bsSolid, {"....#....", "...#.#...", "...#.#...", "..#...#..", "..#...#..",
                       ".#.....#.", ".#.....#.", "#########", "........."}},
        {36, bsSolid, {"....#....", "...###...", "...###...", "..#####..", "..#####..",
                       ".#######.", ".#######.", "#########", "........."}},
        {36, bsClear, {"....#....", "...#.#...", "...#.#...", "..#...#..", "..#...#..",
                       ".#.....#.", ".#.....#.", "#########", "........."}},
    };
    constexpr Integer X = 11, Y = 12;
    for (const auto& k : cases) {
        const Integer half = static_cast<Integer>(k.rows.size()) / 2;
        Pixels want;
        for (Integer r = 0; r < static_cast<Integer>(k.rows.size()); ++r)
            for (Integer col = 0; col < static_cast<Integer>(k.rows[r].size()); ++col)
                if (k.rows[r][col] == '#') want.insert({X - half + col, Y - half + r});
        EXPECT_EQ(Expected(k.code, X, Y, k.style).pixels, want) << "model, code " << k.code;
        Sheet s;
        s.c->Brush()->SetStyle(k.style);
        DrawMark(s.c, static_cast<Byte>(k.code), X, Y);
        const Pixels got = s.Red();
        EXPECT_EQ(got, want) << "code " << k.code << Show(want, got);
    }
}

TEST(DrawMark, EdgeCasesByCount) {
    Sheet s;
    DrawMark(s.c, 0, 5, 6);
    EXPECT_EQ(s.Red(), (Pixels{{5, 6}}));

    Sheet plus;
    DrawMark(plus.c, 3, 10, 10);
    Pixels cross;
    for (Integer d = -3; d <= 3; ++d) { cross.insert({10 + d, 10}); cross.insert({10, 10 + d}); }
    EXPECT_EQ(cross.size(), 13u);
    EXPECT_EQ(plus.Red(), cross);

    Sheet checker;
    DrawMark(checker.c, 18, 10, 10);
    Pixels even;
    for (Integer dy = -3; dy <= 3; ++dy)
        for (Integer dx = -3; dx <= 3; ++dx)
            if ((dx + dy) % 2 == 0) even.insert({10 + dx, 10 + dy});
    EXPECT_EQ(even.size(), 25u);
    EXPECT_EQ(checker.Red(), even);

    Sheet square;
    square.c->Brush()->SetStyle(bsSolid);
    DrawMark(square.c, 9, 10, 10);
    Pixels full;
    AddBox(full, 7, 7, 14, 14, true);
    EXPECT_EQ(square.Red(), full);
    EXPECT_EQ(square.c->Brush()->Color(), kCallerBrush);

    Sheet circle;
    circle.c->Brush()->SetStyle(bsClear);
    DrawMark(circle.c, 16, 10, 10);
    EXPECT_EQ(circle.c->Brush()->Style(), bsSolid);
}

TEST(DrawMark, PatternsKeepToTheClipRectangleAndTheSurfaceStride) {
    // A surface whose rows are longer than its width, with a clip rectangle inside it.
    constexpr Integer w = 20, h = 16, stride = 27;
    std::vector<std::uint32_t> memory(stride * h, ColorToPixel(kBack));
    TCanvas c;
    c.SetSurface(TSurface{memory.data(), w, h, stride});
    c.SetClipRect(Rect(4, 5, 12, 9));
    c.Pen()->SetColor(kPen);
    for (int code : {3, 6, 18, 0}) {
        std::fill(memory.begin(), memory.end(), ColorToPixel(kBack));
        DrawMark(&c, static_cast<Byte>(code), 10, 6);
        Pixels want;
        for (auto [x, y] : Expected(code, 10, 6, bsSolid).pixels)
            if (x >= 4 && x < 12 && y >= 5 && y < 9) want.insert({x, y});
        Pixels got;
        for (Integer y = 0; y < h; ++y)
            for (Integer x = 0; x < stride; ++x) {
                const std::uint32_t v = memory[y * stride + x];
                if (v == ColorToPixel(kPen)) got.insert({x, y});
                else EXPECT_EQ(v, ColorToPixel(kBack));
            }
        EXPECT_EQ(got, want) << "code " << code;
    }
}

// ---------------------------------------------------------------------------------------
// The printer's canvas draws lines where the screen draws pixel patterns.

// Nothing prints, so the printer's page has no pixels; the test lends its canvas a surface
// to look at for the time of the test.
class PrinterMarks : public ::testing::Test {
protected:
    static constexpr Integer X = 40, Y = 30;
    TCanvas* c = nullptr;
    std::vector<std::uint32_t> paper = std::vector<std::uint32_t>(80 * 60);
    TSurface page;
    void SetUp() override {
        c = Printer()->Canvas();
        ASSERT_NE(c, nullptr);
        page = c->Surface();
        c->SetSurface(TSurface{paper.data(), 80, 60, 80});
        c->Pen()->SetColor(kPen);
        c->Pen()->SetWidth(1);
        c->Pen()->SetMode(pmCopy);
        c->Pen()->SetStyle(psSolid);
        Clear();
    }
    void Clear() {
        c->Brush()->SetColor(kBack);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect(X - 10, Y - 10, X + 10, Y + 10));
        c->Brush()->SetColor(kCallerBrush);
    }
    void TearDown() override {
        if (c != nullptr) c->SetSurface(page);
    }
    Pixels Red() const {
        Pixels p;
        for (Integer y = Y - 10; y < Y + 10; ++y)
            for (Integer x = X - 10; x < X + 10; ++x)
                if (c->Pixels(x, y) == kPen) p.insert({x, y});
        return p;
    }
};

TEST_F(PrinterMarks, PlusAndXBecomeLines) {
    for (int code = 1; code <= 6; ++code) {
        Clear();
        DrawMark(c, static_cast<Byte>(code), X, Y);
        Pixels want;
        if (code <= 3) {
            const Integer a = code + 1;
            AddLine(want, X - a, Y, X + a, Y);
            AddLine(want, X, Y - a, X, Y + a);
        } else {
            const Integer a = code - 2;
            AddLine(want, X - a, Y - a, X + a, Y + a);
            AddLine(want, X - a, Y + a, X + a, Y - a);
        }
        EXPECT_EQ(Red(), want) << "code " << code;
    }
    // Code 3 on paper: two lines of nominal half length 4, from X-4 up to X+4 exclusive.
    Clear();
    DrawMark(c, 3, X, Y);
    EXPECT_EQ(Red().count({X - 4, Y}), 1u);
    EXPECT_EQ(Red().count({X + 4, Y}), 0u);
}

TEST_F(PrinterMarks, CheckerboardDotsAreDrawn) {
    // A line that ends where it starts covers nothing on any canvas, so the dots are drawn as
    // one-step lines and the printer shows the same 25 dots as the screen.
    DrawMark(c, 18, X, Y);
    Pixels want;
    for (Integer j = 1; j <= 7; ++j)
        for (Integer i = 1; i <= 7; ++i)
            if (i % 2 == j % 2) want.insert({X + i - 4, Y + j - 4});
    EXPECT_EQ(Red(), want);
}

TEST_F(PrinterMarks, BoldXUsesShorterStrokes) {
    DrawMark(c, 25, X, Y);
    Pixels want;
    AddLine(want, X - 3, Y - 3, X + 3, Y + 3);
    AddLine(want, X - 3, Y - 2, X + 2, Y + 3);
    AddLine(want, X - 2, Y - 3, X + 3, Y + 2);
    AddLine(want, X - 3, Y + 3, X + 3, Y - 3);
    AddLine(want, X - 3, Y + 2, X + 2, Y - 3);
    AddLine(want, X - 2, Y + 3, X + 3, Y - 2);
    EXPECT_EQ(Red(), want);
    EXPECT_EQ(c->Brush()->Color(), kCallerBrush);
}

// ---------------------------------------------------------------------------------------
// Characters

// The character drawn the way the mark must draw it, on its own sheet.
void TextReference(const std::string& text, Integer X, Integer Y, std::vector<TColor>* picture) {
    Sheet s;
    s.c->Font()->SetColor(kPen);
    s.c->Brush()->SetStyle(bsClear);
    const Integer w = s.c->TextWidth(text), h = s.c->TextHeight(text);
    s.c->TextOut(X - w / 2, Y - h / 2, text);
    for (Integer y = 0; y < kSize; ++y)
        for (Integer x = 0; x < kSize; ++x) picture->push_back(s.c->Pixels(x, y));
}

std::vector<TColor> Picture(const Sheet& s) {
    std::vector<TColor> v;
    for (Integer y = 0; y < kSize; ++y)
        for (Integer x = 0; x < kSize; ++x) v.push_back(s.c->Pixels(x, y));
    return v;
}

TEST(DrawMark, CharactersInThePenColour) {
    struct Case { Byte code; const char* text; } cases[] = {{65, "A"}, {203, "3"}, {200, "0"},
                                                            {209, "9"}, {52, "4"}, {255, "\xFF"}};
    for (const auto& k : cases) {
        Sheet s;
        s.c->Font()->SetColor(clBlue);
        s.c->Brush()->SetStyle(bsSolid);
        DrawMark(s.c, k.code, 12, 12);
        std::vector<TColor> want;
        TextReference(k.text, 12, 12, &want);
        EXPECT_EQ(Picture(s), want) << "code " << int(k.code);
        EXPECT_EQ(s.c->Font()->Color(), kPen);
        EXPECT_EQ(s.c->Brush()->Style(), bsClear);
        EXPECT_EQ(s.c->Brush()->Color(), kCallerBrush);
    }
    // "A" really is there: some pixels carry the pen's red, blended or not.
    Sheet a;
    DrawMark(a.c, 65, 12, 12);
    int inked = 0;
    for (TColor v : Picture(a)) inked += v != kBack;
    EXPECT_GT(inked, 5);
}

TEST(DrawMark, CodeFiftyOneIsTheSymbolNotTheDigit) {
    Sheet s;
    DrawMark(s.c, 51, 11, 12);
    EXPECT_EQ(s.Red(), Expected(51, 11, 12, bsSolid).pixels);
    EXPECT_EQ(s.c->Font()->Color(), TFont().Color());  // the font is not touched
}

TEST(DrawMark, FarPositionsAreClippedQuickly) {
    constexpr Integer lo = std::numeric_limits<Integer>::min(), hi = std::numeric_limits<Integer>::max();
    const TPoint spots[] = {{lo, lo}, {hi, hi}, {lo, 5}, {5, hi}, {hi, lo}, {-1000000, 3}, {3, 40000}};
    Sheet s;
    for (int code = 0; code <= 255; ++code)
        for (TPoint p : spots) DrawMark(s.c, static_cast<Byte>(code), p.X, p.Y);
    EXPECT_TRUE(s.Red().empty());
    // The printer variants as well.
    TCanvas* pc = Printer()->Canvas();
    for (Byte code : {1, 3, 6, 18, 25})
        for (TPoint p : spots) DrawMark(pc, code, p.X, p.Y);
}

}  // namespace
}  // namespace kvb
