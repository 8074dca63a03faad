// Enumerations, colour, floor and exchange helpers, and the bevelled frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/KVB_kvbbase.h"

namespace kvb {
namespace {

template <class E>
std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (auto n : EnumInfo<E>().Names) out.emplace_back(n);
    return out;
}

template <class E>
void ExpectOrdinals(std::initializer_list<E> values) {
    static_assert(sizeof(E) == 1);
    EXPECT_EQ(values.size(), EnumInfo<E>().Names.size());
    int ordinal = 0;
    for (E v : values) {
        EXPECT_EQ(static_cast<int>(v), ordinal) << "position " << ordinal;
        ++ordinal;
    }
}

TEST(Enumerations, ValueNamesInOrdinalOrder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Names<TBkgFill>(), (V{"bfSimple", "bfStretch", "bfTile"}));
    EXPECT_EQ(Names<TColorScheme>(), (V{"csBWG", "csSystem"}));
    EXPECT_EQ(Names<TFigType>(), (V{"ftNoFigs", "ftNum", "ftTime", "ftDateTime", "ftUserText"}));
    EXPECT_EQ(Names<TScaleType>(), (V{"sctXB", "sctXT", "sctYL", "sctYR"}));
    EXPECT_EQ(Names<TVerticalAlignment>(), (V{"vaTop", "vaCenter", "vaBottom"}));
    EXPECT_EQ(Names<TYearLength>(), (V{"ylNone", "ylYY", "ylYYYY"}));
    EXPECT_EQ(Names<TDateOrder>(), (V{"doMMDDYY", "doDDMMYY", "doYYMMDD"}));
    EXPECT_EQ(Names<TDateForTime>(), (V{"dtNone", "dtOnePerChart", "dtOnePerDay", "dtAllTicks"}));
    EXPECT_EQ(Names<TTimeFormat>(), (V{"tfHHMMSS", "tfHHhMM", "tfAMPM"}));
    EXPECT_EQ(Names<TShadowStyle>(), (V{"ssFlying", "ssBox"}));
    EXPECT_EQ(Names<TFrameStyle>(),
              (V{"fsNone", "fsSimple", "fsLowered", "fsRaised", "fsEmbossed", "fsEngraved"}));
    EXPECT_EQ(Names<TCrossHMode>(), (V{"chOff", "chHoriz", "chVert", "chBoth", "chCrossBox", "chBox"}));
    EXPECT_EQ(Names<TTxtLblAttachMode>(), (V{"tlamNone", "tlamXOnly", "tlamYOnly", "tlamBoth"}));
    EXPECT_EQ(Names<TTxtLblMode>(), (V{"tlOff", "tlsimple", "tlBox", "tlUnderline", "tlShadow"}));
    EXPECT_EQ(Names<TMouseActMode>(),
              (V{"maNone", "maPan", "maPanHoriz", "maPanVert", "maPanGrid", "maRubberBand", "maZoom",
                 "maZoomWind", "maZoomWindPos", "maZoomDrag", "maDragCrossH", "maDragLabel", "maRotate",
                 "maRotAndZoom", "maRotXOnly", "maRotZOnly", "maSelectRect", "maDrawMTrace",
                 "maZoomPanColors"}));
    // The constants count from 0 in the same order, so a stored name reads back as its value.
    ExpectOrdinals({bfSimple, bfStretch, bfTile});
    ExpectOrdinals({csBWG, csSystem});
    ExpectOrdinals({ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText});
    ExpectOrdinals({sctXB, sctXT, sctYL, sctYR});
    ExpectOrdinals({vaTop, vaCenter, vaBottom});
    ExpectOrdinals({ylNone, ylYY, ylYYYY});
    ExpectOrdinals({doMMDDYY, doDDMMYY, doYYMMDD});
    ExpectOrdinals({dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks});
    ExpectOrdinals({tfHHMMSS, tfHHhMM, tfAMPM});
    ExpectOrdinals({ssFlying, ssBox});
    ExpectOrdinals({fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved});
    ExpectOrdinals({chOff, chHoriz, chVert, chBoth, chCrossBox, chBox});
    ExpectOrdinals({tlamNone, tlamXOnly, tlamYOnly, tlamBoth});
    ExpectOrdinals({tlOff, tlsimple, tlBox, tlUnderline, tlShadow});
    ExpectOrdinals({maNone, maPan, maPanHoriz, maPanVert, maPanGrid, maRubberBand, maZoom, maZoomWind,
                    maZoomWindPos, maZoomDrag, maDragCrossH, maDragLabel, maRotate, maRotAndZoom,
                    maRotXOnly, maRotZOnly, maSelectRect, maDrawMTrace, maZoomPanColors});
    EXPECT_EQ(sizeof(TMouseActMode), 1u);
    EXPECT_EQ(EnumInfo<TTxtLblMode>().IndexOf("tlsimple"), 1);
}

TEST(Errors, FamilyAndMessage) {
    try {
        throw EKVBPlotixError("boom");
    } catch (const EKVBError& e) {
        EXPECT_EQ(e.Message(), "boom");
    }
    EXPECT_TRUE((std::is_base_of_v<Exception, EKVBError>));
    EXPECT_TRUE((std::is_base_of_v<EKVBError, EKVBFourierError>));
    EXPECT_FALSE((std::is_base_of_v<EKVBPlotixError, EKVBFourierError>));
}

TEST(GrayLevel, RoundsHalvesToEven) {
    struct Case { TColor color; Integer level; } cases[] = {
        {0x0F0000, 2},   // blue 15: 1.65
        {0x000005, 2},   // red 5: 1.5 to even
        {0x00000F, 4},   // red 15: 4.5 to even
        {0x000019, 8},   // red 25: 7.5 to even 8
        {0x0000FF, 76},  // 76.5 to even
        {0x00FFFF, 227}, // 226.95
        {0xFFFFFF, 255},
        {0x000000, 0},
        // A system colour is not resolved: clBtnFace's low bytes read as red 15.
        {clBtnFace, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GrayLevel(c.color), c.level) << std::hex << c.color;
}

TEST(ContrastColor, BlackOnLightWhiteOnDark) {
    // 0.3 * 74 + 0.59 * 200 = 140.2, and 0.3 * 70 + 0.59 * 200 = 139.
    const TColor level140 = RGB(74, 200, 0);
    ASSERT_EQ(GrayLevel(level140), 140);
    const TColor level139 = RGB(70, 200, 0);
    ASSERT_EQ(GrayLevel(level139), 139);
    struct Case { TColor color; TColor contrast; } cases[] = {
        {0xFFFFFF, 0x000000}, {0x000000, 0xFFFFFF}, {0x0000FF, 0xFFFFFF},
        {0x00FFFF, 0x000000}, {level140, 0x000000}, {level139, 0xFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContrastColor(c.color), c.contrast) << std::hex << c.color;
}

TEST(FloorToInt, LargestIntegerNotAbove) {
    struct Case { double x; Integer r; } cases[] = {
        {2.5, 2}, {-2.5, -3}, {3.0, 3}, {-0.1, -1}, {0.0, 0}, {-0.0, 0}, {3.5, 3}, {-3.5, -4},
        {0.49999999999999994, 0}, {-1e-300, -1}, {2147483647.0, 2147483647},
        {-2147483648.0, std::numeric_limits<Integer>::min()}, {-2147483647.5, -2147483648},
        // Outside the range callers keep to: saturate rather than wrap.
        {1e12, std::numeric_limits<Integer>::max()}, {-1e12, std::numeric_limits<Integer>::min()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<Integer>::max()},
        {std::nan(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloorToInt(c.x), c.r) << c.x;
}

TEST(Exchange, SwapsWholeValues) {
    Integer a = -7, b = 12;
    ExchangeInt(a, b);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    double x = 1.25, y = -3e300;
    ExchangeDouble(x, y);
    EXPECT_EQ(x, -3e300);
    EXPECT_EQ(y, 1.25);
    // Values that need all 64 mantissa bits of the extended type survive the swap.
    Extended p = 1.0L + 1.0L / 9223372036854775808.0L, q = -2.0L / 3.0L;
    const Extended p0 = p, q0 = q;
    ASSERT_NE(p0, 1.0L);
    ExchangeExtended(p, q);
    EXPECT_EQ(p, q0);
    EXPECT_EQ(q, p0);
}

// ---------------------------------------------------------------------------------------
// DrawFrame

constexpr TColor kHigh = clRed, kLight = clLime, kShadow = clBlue, kDark = clFuchsia,
                 kSimple = clTeal, kBack = clWhite;

std::unique_ptr<TBitmap> WhiteBitmap(Integer w, Integer h) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(w, h);
    bmp->Canvas()->Brush()->SetColor(kBack);
    bmp->Canvas()->Brush()->SetStyle(bsSolid);
    bmp->Canvas()->FillRect(Rect(0, 0, w, h));
    return bmp;
}

struct Colors4 { TColor c1, c2, c3, c4; };
Colors4 BevelColors(TFrameStyle s) {
    switch (s) {
        case fsLowered: return {kShadow, kHigh, kDark, kLight};
        case fsRaised: return {kHigh, kDark, kLight, kShadow};
        case fsEmbossed: return {kHigh, kShadow, kShadow, kHigh};
        case fsEngraved: return {kShadow, kHigh, kHigh, kShadow};
        default: return {};
    }
}

// The colour each pixel must have after a bevel on L..R by T..B (inclusive): the outer ring
// has c1 on the left column (but its bottom pixel) and the top row, c2 on the right column
// below the top row and the whole bottom row; the inner ring likewise with c3 and c4 one
// pixel in, where c4 owns the inner bottom-left corner.
TColor ExpectedBevel(Integer x, Integer y, Integer L, Integer T, Integer R, Integer B, Colors4 c) {
    if (y == B && x >= L && x <= R) return c.c2;
    if (x == R && y >= T + 1 && y <= B) return c.c2;
    if (y == T && x >= L && x <= R) return c.c1;
    if (x == L && y >= T && y <= B) return c.c1;
    if (y == B - 1 && x >= L + 1 && x <= R - 1) return c.c4;
    if (x == R - 1 && y >= T + 2 && y <= B - 1) return c.c4;
    if (y == T + 1 && x >= L + 1 && x <= R - 1) return c.c3;
    if (x == L + 1 && y >= T + 1 && y <= B - 2) return c.c3;
    return kBack;
}

TEST(DrawFrame, BevelOnTenByFiveMatchesPicture) {
    // The fsLowered bevel on (0, 0, 9, 4) by hand: 1..4 are c1..c4, '.' untouched.
    const char* picture[] = {
        "1111111111",
        "1333333332",
        "13......42",
        "1444444442",
        "2222222222",
    };
    auto bmp = WhiteBitmap(12, 7);
    DrawFrame(bmp->Canvas(), fsLowered, 0, 0, 9, 4, kHigh, kLight, kShadow, kDark, kSimple);
    const Colors4 c = BevelColors(fsLowered);
    for (Integer y = 0; y < 7; ++y)
        for (Integer x = 0; x < 12; ++x) {
            char ch = (y < 5 && x < 10) ? picture[y][x] : '.';
            TColor want = ch == '1' ? c.c1 : ch == '2' ? c.c2 : ch == '3' ? c.c3 : ch == '4' ? c.c4 : kBack;
            EXPECT_EQ(bmp->Canvas()->Pixels(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(bmp->Canvas()->Pen()->Color(), c.c4);
}

TEST(DrawFrame, EveryStyleOnSmallAndLargeRectangles) {
    struct Box { Integer L, T, R, B; } boxes[] = {{0, 0, 9, 4}, {3, 2, 21, 15}};
    for (TFrameStyle style : {fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved}) {
        for (const Box& b : boxes) {
            auto bmp = WhiteBitmap(26, 19);
            DrawFrame(bmp->Canvas(), style, b.L, b.T, b.R, b.B, kHigh, kLight, kShadow, kDark, kSimple);
            for (Integer y = 0; y < 19; ++y)
                for (Integer x = 0; x < 26; ++x) {
                    TColor want;
                    if (style == fsSimple) {
                        const bool onEdge = (x == b.L || x == b.R) ? (y >= b.T && y <= b.B)
                                           : (y == b.T || y == b.B) && x >= b.L && x <= b.R;
                        want = onEdge ? kSimple : kBack;
                    } else {
                        want = ExpectedBevel(x, y, b.L, b.T, b.R, b.B, BevelColors(style));
                    }
                    ASSERT_EQ(bmp->Canvas()->Pixels(x, y), want)
                        << "style " << int(style) << " box " << b.L << "," << b.T << " at " << x << "," << y;
                }
            EXPECT_EQ(bmp->Canvas()->Pen()->Color(),
                      style == fsSimple ? kSimple : BevelColors(style).c4);
        }
    }
}

TEST(DrawFrame, NoneDrawsNothingAndKeepsThePen) {
    auto bmp = WhiteBitmap(12, 7);
    TPen* pen = bmp->Canvas()->Pen();
    pen->SetColor(clOlive);
    bmp->Canvas()->MoveTo(5, 5);
    DrawFrame(bmp->Canvas(), fsNone, 0, 0, 9, 4, kHigh, kLight, kShadow, kDark, kSimple);
    EXPECT_EQ(pen->Color(), clOlive);
    EXPECT_EQ(bmp->Canvas()->PenPos(), Point(5, 5));
    for (Integer y = 0; y < 7; ++y)
        for (Integer x = 0; x < 12; ++x)
            EXPECT_EQ(bmp->Canvas()->Pixels(x, y), kBack);
}

TEST(DrawFrame, FarOutsideEdgesAreClippedWithoutOverflow) {
    constexpr Integer lo = std::numeric_limits<Integer>::min(), hi = std::numeric_limits<Integer>::max();
    auto bmp = WhiteBitmap(12, 7);
    // The left, top and right edges lie far outside: only the bottom rows cross the bitmap.
    DrawFrame(bmp->Canvas(), fsRaised, lo, lo, hi, 3, kHigh, kLight, kShadow, kDark, kSimple);
    const Colors4 c = BevelColors(fsRaised);
    for (Integer x = 0; x < 12; ++x) {
        EXPECT_EQ(bmp->Canvas()->Pixels(x, 3), c.c2);
        EXPECT_EQ(bmp->Canvas()->Pixels(x, 2), c.c4);
        EXPECT_EQ(bmp->Canvas()->Pixels(x, 4), kBack);
    }
    for (TFrameStyle style : {fsSimple, fsLowered, fsEngraved})
        DrawFrame(bmp->Canvas(), style, hi, hi, lo, lo, kHigh, kLight, kShadow, kDark, kSimple);
}

}  // namespace
}  // namespace kvb
