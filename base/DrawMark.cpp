// Mark symbols: 52 small geometric shapes and single characters centred on a pixel.
#include "base/KVB_kvbbase.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvb {

namespace {

// The largest symbol reaches 8 pixels from its centre and a character half its text cell;
// a centre pulled in to this distance is still far off every surface, and X ± 8 or X − w/2
// cannot overflow.
constexpr Integer kFarOut = Integer{1} << 30;

// The seven row bytes of the screen patterns, top row first: bit j set draws x = X + 3 − j.
using Pattern = std::array<Byte, 7>;
constexpr Pattern kPattern1 = {0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00};
constexpr Pattern kPattern2 = {0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00};
constexpr Pattern kPattern3 = {0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08};
constexpr Pattern kPattern4 = {0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00};
constexpr Pattern kPattern5 = {0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00};
constexpr Pattern kPattern6 = {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41};
constexpr Pattern kPattern18 = {0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55};

// Writes the pattern's pixels straight into the canvas's surface, as Pixels[] would one by
// one, but with the colour converted and the clip box worked out once per mark.
void DrawPattern(TCanvas* c, const Pattern& rows, Integer X, Integer Y, TColor color) {
    const TSurface& s = c->Surface();
    if (s.Bits == nullptr)
        return;
    const TRect clip = c->ClipRect();
    const Integer x0 = std::max(clip.Left, 0), x1 = std::min(clip.Right, s.Width);
    const Integer y0 = std::max(clip.Top, 0), y1 = std::min(clip.Bottom, s.Height);
    if (X + 3 < x0 || X - 3 >= x1 || Y + 3 < y0 || Y - 3 >= y1)
        return;
    const std::uint32_t pixel = ColorToPixel(color);
    for (Integer r = 0; r < 7; ++r) {
        const Byte bits = rows[r];
        const Integer y = Y - 3 + r;
        if (bits == 0 || y < y0 || y >= y1)
            continue;
        std::uint32_t* row = s.Bits + std::ptrdiff_t(y) * s.Stride;
        for (Integer j = 0; j < 7; ++j) {
            const Integer x = X + 3 - j;
            if (((bits >> j) & 1) != 0 && x >= x0 && x < x1)
                row[x] = pixel;
        }
    }
}

void Line(TCanvas* c, Integer x1, Integer y1, Integer x2, Integer y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

void Plus(TCanvas* c, Integer X, Integer Y, Integer a) {
    Line(c, X - a, Y, X + a, Y);
    Line(c, X, Y - a, X, Y + a);
}

void Cross(TCanvas* c, Integer X, Integer Y, Integer a) {
    Line(c, X - a, Y - a, X + a, Y + a);
    Line(c, X - a, Y + a, X + a, Y - a);
}

void Triangle(TCanvas* c, TPoint a, TPoint b, TPoint d) {
    const TPoint pts[3] = {a, b, d};
    c->Polygon(pts);
}

void Diamond(TCanvas* c, Integer X, Integer Y, Integer a) {
    const TPoint pts[4] = {{X - a, Y}, {X, Y + a}, {X + a, Y}, {X, Y - a}};
    c->Polygon(pts);
}

void OpenDiamond(TCanvas* c, Integer X, Integer Y) {
    c->MoveTo(X - 3, Y);
    c->LineTo(X, Y + 3);
    c->LineTo(X + 3, Y);
    c->LineTo(X, Y - 3);
    c->LineTo(X - 3, Y);
}

// Puts the brush colour back however the symbol ends.
class BrushColorKeeper {
public:
    explicit BrushColorKeeper(TBrush* brush) : brush_(brush), color_(brush->Color()) {}
    ~BrushColorKeeper() {
        if (brush_->Color() != color_)
            brush_->SetColor(color_);
    }
    BrushColorKeeper(const BrushColorKeeper&) = delete;
    BrushColorKeeper& operator=(const BrushColorKeeper&) = delete;

private:
    TBrush* brush_;
    TColor color_;
};

void DrawSymbol(TCanvas* c, Byte code, Integer X, Integer Y) {
    TBrush* brush = c->Brush();
    const TColor penColor = c->Pen()->Color();
    BrushColorKeeper keeper(brush);
    // Filled shapes take the pen colour for their inside and keep the caller's brush style;
    // hollow ones clear the brush and leave it solid afterwards.
    auto filled = [&] { brush->SetColor(penColor); };
    auto hollowBegin = [&] { brush->SetStyle(bsClear); };
    auto hollowEnd = [&] { brush->SetStyle(bsSolid); };
    auto onPrinter = [&] { return c == Printer()->Canvas(); };

    switch (code) {
        case 0: c->SetPixels(X, Y, penColor); break;
        case 1: case 2: case 3: {
            if (!onPrinter()) {
                DrawPattern(c, code == 1 ? kPattern1 : code == 2 ? kPattern2 : kPattern3, X, Y, penColor);
            } else {
                Plus(c, X, Y, code + 1);
            }
            break;
        }
        case 4: case 5: case 6: {
            if (!onPrinter()) {
                DrawPattern(c, code == 4 ? kPattern4 : code == 5 ? kPattern5 : kPattern6, X, Y, penColor);
            } else {
                Cross(c, X, Y, code - 2);
            }
            break;
        }
        case 18:
            if (!onPrinter()) {
                DrawPattern(c, kPattern18, X, Y, penColor);
            } else {
                // A line that ends where it starts covers no pixel, so each dot is a line one
                // step long: the pixel itself, and a round dot with a wide printer pen.
                for (Integer i = 1; i <= 7; ++i)
                    for (Integer j = 1; j <= 7; ++j)
                        if ((i & 1) == (j & 1))
                            Line(c, X + i - 4, Y + j - 4, X + i - 3, Y + j - 4);
            }
            break;
        case 7: case 8: case 9: {
            const Integer a = code - 6;
            filled();
            c->Rectangle(X - a, Y - a, X + a + 1, Y + a + 1);
            break;
        }
        case 10: case 11: case 12: {
            const Integer a = code - 9;
            c->MoveTo(X - a, Y - a);
            c->LineTo(X - a, Y + a);
            c->LineTo(X + a, Y + a);
            c->LineTo(X + a, Y - a);
            c->LineTo(X - a, Y - a);
            break;
        }
        case 13:
            OpenDiamond(c, X, Y);
            c->SetPixels(X, Y, penColor);
            break;
        case 19: OpenDiamond(c, X, Y); break;
        case 14: case 15:
            filled();
            Diamond(c, X, Y, code - 12);
            break;
        case 16:
            hollowBegin();
            c->Ellipse(X - 2, Y - 2, X + 3, Y + 3);
            hollowEnd();
            break;
        case 17:
            hollowBegin();
            c->Ellipse(X - 3, Y - 3, X + 4, Y + 4);
            hollowEnd();
            break;
        case 24:
            filled();
            c->Ellipse(X - 3, Y - 3, X + 4, Y + 4);
            break;
        case 26:
            filled();
            c->Ellipse(X - 2, Y - 2, X + 3, Y + 3);
            break;
        case 27:
            hollowBegin();
            c->Ellipse(X - 2, Y - 2, X + 2, Y + 2);
            hollowEnd();
            break;
        case 28:
            filled();
            c->Ellipse(X - 2, Y - 2, X + 2, Y + 2);
            break;
        case 39:
            hollowBegin();
            c->Ellipse(X - 3, Y - 3, X + 4, Y + 4);
            hollowEnd();
            Line(c, X - 3, Y, X + 4, Y);
            Line(c, X, Y - 3, X, Y + 4);
            break;
        case 48:
            hollowBegin();
            c->Rectangle(X - 3, Y - 3, X + 4, Y + 4);
            hollowEnd();
            Line(c, X - 3, Y, X + 4, Y);
            Line(c, X, Y - 3, X, Y + 4);
            break;
        case 49:
            hollowBegin();
            c->Rectangle(X - 2, Y - 2, X + 3, Y + 3);
            hollowEnd();
            Line(c, X - 4, Y, X + 5, Y);
            Line(c, X, Y - 4, X, Y + 5);
            break;
        case 20: case 21: {
            const Integer a = code - 17;
            Line(c, X, Y, X - a, Y + a);
            Line(c, X, Y, X + a, Y + a);
            break;
        }
        case 22: case 23: {
            const Integer a = code - 19;
            Line(c, X, Y, X - a, Y - a);
            Line(c, X, Y, X + a, Y - a);
            break;
        }
        case 25:
            if (!onPrinter()) {
                Line(c, X - 3, Y - 3, X + 4, Y + 4);
                Line(c, X - 3, Y - 2, X + 3, Y + 4);
                Line(c, X - 2, Y - 3, X + 4, Y + 3);
                Line(c, X - 3, Y + 3, X + 4, Y - 4);
                Line(c, X - 3, Y + 2, X + 3, Y - 4);
                Line(c, X - 2, Y + 3, X + 4, Y - 3);
            } else {
                Line(c, X - 3, Y - 3, X + 3, Y + 3);
                Line(c, X - 3, Y - 2, X + 2, Y + 3);
                Line(c, X - 2, Y - 3, X + 3, Y + 2);
                Line(c, X - 3, Y + 3, X + 3, Y - 3);
                Line(c, X - 3, Y + 2, X + 2, Y - 3);
                Line(c, X - 2, Y + 3, X + 3, Y - 2);
            }
            break;
        case 29: case 30: case 31: case 32: {
            const Integer a = (code == 29 || code == 31) ? 2 : 3;
            const bool fill = code <= 30;
            if (fill) filled(); else hollowBegin();
            Triangle(c, {X - a, Y}, {X, Y + a}, {X + a, Y});
            if (!fill) hollowEnd();
            break;
        }
        case 33: case 34:
            if (code == 34) filled(); else hollowBegin();
            Triangle(c, {X - 4, Y - 3}, {X, Y + 4}, {X + 4, Y - 3});
            if (code == 33) hollowEnd();
            break;
        case 35: case 36:
            if (code == 36) filled(); else hollowBegin();
            Triangle(c, {X - 4, Y + 3}, {X, Y - 4}, {X + 4, Y + 3});
            if (code == 35) hollowEnd();
            break;
        case 40: case 41:
            if (code == 41) filled(); else hollowBegin();
            Triangle(c, {X + 3, Y - 2}, {X - 2, Y}, {X + 3, Y + 2});
            if (code == 40) hollowEnd();
            break;
        case 42: case 43:
            if (code == 43) filled(); else hollowBegin();
            Triangle(c, {X + 4, Y - 3}, {X - 3, Y}, {X + 4, Y + 3});
            if (code == 42) hollowEnd();
            break;
        case 44: case 45:
            if (code == 45) filled(); else hollowBegin();
            Triangle(c, {X - 3, Y - 2}, {X + 2, Y}, {X - 3, Y + 2});
            if (code == 44) hollowEnd();
            break;
        case 46: case 47:
            if (code == 47) filled(); else hollowBegin();
            Triangle(c, {X - 4, Y - 3}, {X + 3, Y}, {X - 4, Y + 3});
            if (code == 46) hollowEnd();
            break;
        case 37:
            Line(c, X - 3, Y, X + 4, Y);
            Line(c, X, Y, X, Y - 8);
            break;
        case 38:
            Line(c, X - 3, Y - 2, X + 4, Y - 2);
            Line(c, X - 3, Y + 2, X + 4, Y + 2);
            Line(c, X, Y - 2, X, Y + 2);
            break;
        case 50:
            brush->SetStyle(bsSolid);
            Line(c, X - 4, Y, X + 5, Y);
            Line(c, X, Y - 4, X, Y + 5);
            Line(c, X - 3, Y - 3, X + 4, Y + 4);
            Line(c, X - 3, Y + 3, X + 4, Y - 4);
            break;
        case 51:
            brush->SetStyle(bsSolid);
            Line(c, X - 4, Y, X + 5, Y);
            Line(c, X, Y - 4, X, Y + 5);
            Line(c, X - 1, Y - 3, X + 2, Y - 3);
            Line(c, X - 1, Y + 3, X + 2, Y + 3);
            Line(c, X - 3, Y - 1, X - 3, Y + 2);
            Line(c, X + 3, Y - 1, X + 3, Y + 2);
            break;
        default: break;
    }
}

void DrawCharacter(TCanvas* c, Byte code, Integer X, Integer Y) {
    // The digits' own codes 48..51 are symbols, so 200..209 stand for "0".."9".
    if (code >= 200 && code <= 209)
        code = static_cast<Byte>(code - 152);
    const std::string s(1, static_cast<char>(code));
    const Integer w = c->TextWidth(s);
    const Integer h = c->TextHeight(s);
    c->Font()->SetColor(c->Pen()->Color());
    c->Brush()->SetStyle(bsClear);
    c->TextOut(X - w / 2, Y - h / 2, s);
}

}  // namespace

void DrawMark(TCanvas* Canvas, Byte Code, Integer X, Integer Y) {
    if (Canvas == nullptr)
        return;
    X = std::clamp(X, -kFarOut, kFarOut);
    Y = std::clamp(Y, -kFarOut, kFarOut);
    if (Code <= 51)
        DrawSymbol(Canvas, Code, X, Y);
    else
        DrawCharacter(Canvas, Code, X, Y);
}

}  // namespace kvb
