// Frame drawing, colour, floor and exchange helpers shared by the components.
#include "base/KVB_kvbbase.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kvb {

namespace {

// Nothing beyond this distance from the origin can touch a surface, and pulling a coordinate
// in to it keeps every visible pixel of a horizontal or vertical line where it was while the
// ±1 and ±2 steps below cannot overflow.
constexpr Integer kFarOut = Integer{1} << 30;

Integer Near(Integer v) noexcept { return std::clamp(v, -kFarOut, kFarOut); }

}  // namespace

void DrawFrame(TCanvas* Canvas, TFrameStyle Style, Integer Left, Integer Top, Integer Right,
               Integer Bottom, TColor Highlight, TColor Light, TColor Shadow, TColor DarkShadow,
               TColor SimpleColor) {
    if (Canvas == nullptr || Style == fsNone)
        return;
    const Integer L = Near(Left), T = Near(Top), R = Near(Right), B = Near(Bottom);
    TPen* pen = Canvas->Pen();
    if (Style == fsSimple) {
        pen->SetColor(SimpleColor);
        Canvas->MoveTo(L, T);
        Canvas->LineTo(L, B);
        Canvas->LineTo(R, B);
        Canvas->LineTo(R, T);
        Canvas->LineTo(L, T);
        return;
    }
    TColor c1, c2, c3, c4;
    switch (Style) {
        case fsLowered: c1 = Shadow; c2 = Highlight; c3 = DarkShadow; c4 = Light; break;
        case fsRaised: c1 = Highlight; c2 = DarkShadow; c3 = Light; c4 = Shadow; break;
        case fsEmbossed: c1 = Highlight; c2 = Shadow; c3 = Shadow; c4 = Highlight; break;
        case fsEngraved: c1 = Shadow; c2 = Highlight; c3 = Highlight; c4 = Shadow; break;
        default: return;  // an ordinal no style has
    }
    pen->SetColor(c1);
    Canvas->MoveTo(L, B);
    Canvas->LineTo(L, T);
    Canvas->LineTo(R + 1, T);
    Canvas->MoveTo(R, T + 1);
    pen->SetColor(c2);
    Canvas->LineTo(R, B);
    Canvas->LineTo(L - 1, B);
    pen->SetColor(c3);
    Canvas->MoveTo(L + 1, B - 1);
    Canvas->LineTo(L + 1, T + 1);
    Canvas->LineTo(R, T + 1);
    Canvas->MoveTo(R - 1, T + 2);
    pen->SetColor(c4);
    Canvas->LineTo(R - 1, B - 1);
    Canvas->LineTo(L, B - 1);
}

Integer GrayLevel(TColor Color) noexcept {
    // In hundredths, so that the halves the rounding rule cares about are exact.
    const Integer sum = 30 * Integer(GetRValue(Color)) + 59 * Integer(GetGValue(Color)) +
                        11 * Integer(GetBValue(Color));
    Integer level = sum / 100;
    const Integer rest = sum % 100;
    if (rest > 50 || (rest == 50 && (level & 1) != 0))
        ++level;
    return level;
}

TColor ContrastColor(TColor Color) noexcept {
    return GrayLevel(Color) >= 140 ? TColor{0x000000} : TColor{0xFFFFFF};
}

Integer FloorToInt(double X) noexcept {
    if (std::isnan(X))
        return 0;
    constexpr double lo = std::numeric_limits<Integer>::min();
    constexpr double hi = std::numeric_limits<Integer>::max();
    if (X <= lo)
        return std::numeric_limits<Integer>::min();
    if (X >= hi)
        return std::numeric_limits<Integer>::max();
    Int64 r = Round(X);
    if (static_cast<double>(r) > X)
        --r;
    return static_cast<Integer>(r);
}

void ExchangeInt(Integer& A, Integer& B) noexcept { std::swap(A, B); }
void ExchangeDouble(double& A, double& B) noexcept { std::swap(A, B); }
void ExchangeExtended(Extended& A, Extended& B) noexcept { std::swap(A, B); }

}  // namespace kvb
