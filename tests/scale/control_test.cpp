// TScale as a control: defaults, setter rules, mapping, paint conditions, copying, registry.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ScaleFixture.h"

namespace kvb {
namespace {

using test::ScaleFixture;

TEST_F(ScaleFixture, NewScaleDefaults) {
    EXPECT_EQ(scale->Width(), 400);
    EXPECT_EQ(scale->Height(), 400);
    EXPECT_EQ(scale->RangeLow(), 0);
    EXPECT_EQ(scale->RangeHigh(), 100);
    EXPECT_EQ(scale->ScaleType(), sctXB);
    EXPECT_DOUBLE_EQ(scale->ScaleFactor(), 3.59);
    EXPECT_EQ(scale->ValueToPixel(0), 20);
    EXPECT_EQ(scale->ValueToPixel(100), 379);
    // The factor is held as a double (3.58999…); evaluated in extended precision 50 maps to
    // 199.4999…, which is below the half.
    EXPECT_EQ(scale->ScaleFactor(), 359.0 / 100);
    EXPECT_EQ(scale->ValueToPixel(50), 199);
    EXPECT_EQ(scale->MinTicks(), 3);
    EXPECT_EQ(scale->DecPlaces(), -2);
    EXPECT_EQ(scale->FrameStyle(), fsLowered);
    EXPECT_EQ(scale->ColorBackGnd(), clBtnFace);
    EXPECT_EQ(scale->LabelType(), ftNum);
    EXPECT_EQ(scale->CaptionAnchor(), uaSclTopLft);
    EXPECT_EQ(scale->CaptionAlignment(), taCenter);
    EXPECT_EQ(scale->CaptionPosX(), 4);
    EXPECT_TRUE(scale->ShortTicks());
    EXPECT_TRUE(scale->SuppressPaint());
    EXPECT_TRUE(scale->DefaultsPhase());
    EXPECT_EQ(scale->DateFormat()->DateSeparator(), '-');
    EXPECT_EQ(scale->DateFormat()->TimeSeparator(), ':');
    EXPECT_EQ(scale->DateFormat()->YearLength(), ylYYYY);
    EXPECT_TRUE(scale->DateFormat()->MonthName());
    EXPECT_EQ(scale->DateFormat()->DateForTime(), dtOnePerDay);
    EXPECT_EQ(scale->DateFormat()->DateOrder(), doDDMMYY);
}

TEST_F(ScaleFixture, SetterClamps) {
    const struct { void (TScale::*set)(Integer); Integer (TScale::*get)() const; Integer in, out; } cases[] = {
        {&TScale::SetMarginLeft, &TScale::MarginLeft, -5, 0},   {&TScale::SetMarginTop, &TScale::MarginTop, -1, 0},
        {&TScale::SetMarginRight, &TScale::MarginRight, 7, 7},  {&TScale::SetMarginBottom, &TScale::MarginBottom, -9, 0},
        {&TScale::SetDecPlaces, &TScale::DecPlaces, 20, 12},    {&TScale::SetDecPlaces, &TScale::DecPlaces, -10, -3},
        {&TScale::SetDecPlaces, &TScale::DecPlaces, -1, -1},    {&TScale::SetMinTicks, &TScale::MinTicks, 1, 2},
        {&TScale::SetMinTicks, &TScale::MinTicks, 50, 10},      {&TScale::SetMinTicks, &TScale::MinTicks, 0, 0},
        {&TScale::SetMinTicks, &TScale::MinTicks, -4, 2},       {&TScale::SetMinTicks, &TScale::MinTicks, 7, 7},
    };
    for (const auto& c : cases) {
        (scale.get()->*c.set)(c.in);
        EXPECT_EQ((scale.get()->*c.get)(), c.out) << c.in;
    }
}

TEST_F(ScaleFixture, EqualRangeEndsArePulledApart) {
    scale->SetRangeHigh(0);  // equals RangeLow: RangeLow becomes 1, the axis runs from 1 down to 0
    EXPECT_EQ(scale->RangeLow(), 1);
    EXPECT_EQ(scale->ValueToPixel(1), 20);
    EXPECT_EQ(scale->ValueToPixel(0), 379);
    scale->SetRangeLow(0);
    EXPECT_EQ(scale->RangeHigh(), 1);
    scale->SetRange(5, 5);
    EXPECT_EQ(scale->RangeLow(), 5);
    EXPECT_EQ(scale->RangeHigh(), 6);
    // Where adding 1 is lost in the precision, the next double is taken.
    scale->SetRange(1e300, 1e300);
    EXPECT_GT(scale->RangeHigh(), scale->RangeLow());
    scale->SetRange(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    EXPECT_NE(scale->RangeHigh(), scale->RangeLow());
    EXPECT_TRUE(std::isfinite(scale->RangeHigh()));
}

TEST_F(ScaleFixture, NonFiniteRangesAreIgnored) {
    scale->SetRange(2, 8);
    const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (double v : bad) {
        scale->SetRangeLow(v);
        scale->SetRangeHigh(v);
        scale->SetRange(v, 3);
        scale->SetRange(3, v);
        EXPECT_EQ(scale->RangeLow(), 2);
        EXPECT_EQ(scale->RangeHigh(), 8);
    }
}

TEST_F(ScaleFixture, LogarithmicAcceptance) {
    // Created in code: still in the defaults phase, any range is accepted and the linear
    // factors stay (logarithms of an end ≤ 0 do not exist).
    scale->SetRange(-1, 10);
    const double factor = scale->ScaleFactor();
    scale->SetLogarithmic(true);
    EXPECT_TRUE(scale->Logarithmic());
    EXPECT_EQ(scale->ScaleFactor(), factor);
    PaintEmbedded();  // no decades to mark: no ticks, no failure
    EXPECT_EQ(scale->NumTicks(), 0);

    scale->SetLogarithmic(false);
    scale->SetLoading(true);
    scale->Loaded();
    EXPECT_FALSE(scale->DefaultsPhase());
    scale->SetLogarithmic(true);
    EXPECT_FALSE(scale->Logarithmic());
    scale->SetRange(1, 1000);
    scale->SetLabelType(ftDateTime);
    scale->SetLogarithmic(true);
    EXPECT_FALSE(scale->Logarithmic());
    scale->SetLabelType(ftNum);
    scale->SetLogarithmic(true);
    EXPECT_TRUE(scale->Logarithmic());
    EXPECT_EQ(scale->ValueToPixel(1), 20);
    EXPECT_EQ(scale->ValueToPixel(1000), 379);
    // ftDateTime clears it, and the mapping turns linear with it.
    scale->SetLabelType(ftDateTime);
    EXPECT_FALSE(scale->Logarithmic());
    EXPECT_EQ(scale->ValueToPixel(500.5), 200);
}

TEST_F(ScaleFixture, LabelTypeTimeSetsFourDecimals) {
    scale->SetLabelType(ftTime);
    EXPECT_EQ(scale->DecPlaces(), 4);
}

TEST_F(ScaleFixture, TooSmallForItsMargins) {
    scale->SetScaleType(sctYL);
    scale->SetBounds(0, 0, 100, 30);
    for (double v : {0.0, 50.0, 100.0, -1e9}) EXPECT_EQ(scale->ValueToPixel(v), 15);
    PaintEmbedded();
    for (const auto& t : ticks) EXPECT_EQ(t.y, 15);
}

TEST_F(ScaleFixture, BaseLineRunsFromTheFirstAxisPixelUpToTheLast) {
    // No tick at either end (the ticks lie at 5, 10, … 95), so the line alone is seen there.
    const struct { TScaleType type; Integer x0, y0, dx, dy; } cases[] = {
        {sctXB, 20, 379, 1, 0}, {sctXT, 20, 20, 1, 0}, {sctYL, 20, 20, 0, 1}, {sctYR, 379, 20, 0, 1}};
    for (const auto& c : cases) {
        bitmap.Canvas()->Brush()->SetStyle(bsSolid);  // a transparent paint leaves it clear
        bitmap.Canvas()->Brush()->SetColor(clWhite);
        bitmap.Canvas()->FillRect(Rect(0, 0, 400, 400));
        scale->SetScaleType(c.type);
        scale->SetRange(c.dx != 0 ? 0.5 : 99.5, c.dx != 0 ? 99.5 : 0.5);
        scale->SetLabelType(ftNoFigs);
        PaintEmbedded();
        std::vector<Integer> missing;
        for (Integer i = 0; i < 359; ++i)
            if (bitmap.Canvas()->Pixels(c.x0 + i * c.dx, c.y0 + i * c.dy) != clBlack) missing.push_back(i);
        EXPECT_TRUE(missing.empty()) << int(c.type) << " first gap at " << missing.front();
        EXPECT_EQ(bitmap.Canvas()->Pixels(c.x0 + 359 * c.dx, c.y0 + 359 * c.dy), clWhite) << int(c.type);
        EXPECT_EQ(bitmap.Canvas()->Pixels(c.x0 - c.dx, c.y0 - c.dy), clWhite) << int(c.type);
    }
}

TEST_F(ScaleFixture, VerticalMapping) {
    scale->SetScaleType(sctYR);
    EXPECT_EQ(scale->ValueToPixel(100), 20);
    EXPECT_EQ(scale->ValueToPixel(0), 379);
}

TEST_F(ScaleFixture, PaintConditions) {
    int painted = 0;
    scale->SetOnBeforeScaleRendered([&](TObject*, TCanvas*) { ++painted; });
    scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
    scale->SetSuppressPaint(false);  // stand-alone, bitmap path: paints at once
    EXPECT_EQ(painted, 1);
    scale->SetCaption("x");
    EXPECT_EQ(painted, 2);
    scale->SetShortTicks(true);  // unchanged: nothing happens
    EXPECT_EQ(painted, 2);

    scale->SetVisible(false);  // hidden stand-alone scale: only the designer paints it
    scale->PaintNow();
    EXPECT_EQ(painted, 2);
    scale->SetDesigning(true);
    scale->PaintNow();
    EXPECT_EQ(painted, 3);
    scale->SetEmbedded(true);  // hidden and embedded: never
    scale->PaintNow();
    EXPECT_EQ(painted, 3);
    scale->SetDesigning(false);
    scale->SetVisible(true);

    scale->ResetToDefaults();  // suppresses painting again
    EXPECT_TRUE(scale->SuppressPaint());
    scale->SetOnBeforeScaleRendered([&](TObject*, TCanvas*) { ++painted; });
    scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
    scale->SetCaption("y");
    EXPECT_EQ(painted, 3);
    scale->PaintNow();
    EXPECT_EQ(painted, 4);
    EXPECT_TRUE(scale->SuppressPaint());

    // Transparent and not embedded: setters leave the paint to the window.
    scale->SetSuppressPaint(false);
    EXPECT_EQ(painted, 5);
    scale->SetTransparent(true);
    scale->SetCaption("z");
    EXPECT_EQ(painted, 5);
}

TEST_F(ScaleFixture, HandlerChangingSettingsDuringPaintDoesNotNestPaints) {
    int depth = 0, maxDepth = 0;
    scale->SetOnBeforeScaleRendered([&](TObject*, TCanvas*) { maxDepth = std::max(maxDepth, ++depth); });
    scale->SetOnAfterScaleRendered([&](TObject*, TCanvas*) { --depth; });
    scale->SetOnScaleTickDrawn([&](TObject*, TCanvas*, TScaleType, double, Integer, Integer) {
        scale->SetRangeHigh(scale->RangeHigh() + 1);
    });
    PaintEmbedded();
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(ScaleFixture, FrameColoursFollowTheScheme) {
    scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
    scale->SetSuppressPaint(false);
    // fsLowered: the outer top-left ring is the shadow colour.
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 5), clGray);
    scale->SetColorScheme(csSystem);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 5), ColorToRGB(clBtnShadow));
    scale->SetColorScheme(csBWG);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 5), clGray);
    EXPECT_EQ(bitmap.Canvas()->Pixels(399, 5), clWhite);
}

TEST_F(ScaleFixture, PrinterCanvasFontSteps) {
    scale->Font()->SetSize(10);
    TCanvas* printer = Printer()->Canvas();
    scale->SetTargetCanvas(printer, 0, 0);
    scale->SetEmbedded(true);
    scale->SetTransparent(true);
    scale->PaintNow();
    // Size set at the screen's resolution, then the printer's resolution: the character
    // height stays the one a 10-point font has on the screen.
    TFont screenTen;
    screenTen.SetPixelsPerInch(ScreenPixelsPerInch());
    screenTen.SetSize(10);
    EXPECT_EQ(printer->Font()->PixelsPerInch(), GetDeviceCaps(printer, LOGPIXELSY));
    EXPECT_EQ(printer->Font()->Height(), screenTen.Height());
    // A screen canvas keeps the scale's font as it is.
    scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
    scale->PaintNow();
    EXPECT_EQ(bitmap.Canvas()->Font()->PixelsPerInch(), ScreenPixelsPerInch());
    EXPECT_EQ(bitmap.Canvas()->Font()->Height(), scale->Font()->Height());
}

TEST_F(ScaleFixture, AssignCopiesSettingsButNotMouseOrBounds) {
    TScale other(nullptr);
    other.SetRange(-3, 9);
    other.SetDecPlaces(5);
    other.SetCaption("volts");
    other.SetScaleType(sctYL);
    other.SetMouseAction(maPan);
    other.SetBounds(0, 0, 200, 100);
    other.DateFormat()->SetDateSeparator('/');
    other.SetTargetCanvas(bitmap.Canvas(), 7, 9);
    scale->Assign(&other);
    EXPECT_EQ(scale->RangeLow(), -3);
    EXPECT_EQ(scale->RangeHigh(), 9);
    EXPECT_EQ(scale->DecPlaces(), 5);
    EXPECT_EQ(scale->Caption(), "volts");
    EXPECT_EQ(scale->ScaleType(), sctYL);
    EXPECT_EQ(scale->MouseAction(), maNone);
    EXPECT_EQ(scale->Width(), 400);
    EXPECT_EQ(scale->DateFormat()->DateSeparator(), '/');

    TScale third(nullptr);
    other.AssignTo(&third);
    EXPECT_EQ(third.RangeHigh(), 9);

    TFont font;
    try {
        scale->Assign(&font);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TScale");
    }
    // A mere component cannot take a scale; the protocol must not bounce for ever.
    TComponent component(nullptr);
    EXPECT_THROW(scale->AssignTo(&component), EConvertError);
}

TEST(ScaleRegistry, PublishedInOrder) {
    const char* expected[] = {
        "Align", "Anchors", "Caption", "CaptionPosX", "CaptionPosY", "CaptionAlignment", "CaptionAnchor",
        "ColorBackGnd", "ColorScale", "ColorScheme", "DateFormat", "DecPlaces", "Font", "FrameStyle",
        "LabelType", "Logarithmic", "MarginTop", "MarginBottom", "MarginLeft", "MarginRight", "MinTicks",
        "MouseAction", "NumTicks", "ParentFont", "ParentShowHint", "PopupMenu", "RangeLow", "RangeHigh",
        "ShortTicks", "ShowBaseLine", "ShowHint", "ScaleInscript", "ScaleType", "Transparent",
        "UserTickText", "Visible", "OnClick", "OnDblClick", "OnMouseMove", "OnMouseDown", "OnMouseUp",
        "OnContextPopup", "OnZoomPan", "OnScaleTickDrawn", "OnBeforeTickLabel", "OnAfterScaleRendered",
        "OnBeforeScaleRendered"};
    const auto& props = TScale::StaticClassInfo().OwnProps;
    ASSERT_EQ(props.size(), std::size(expected));
    for (std::size_t i = 0; i < props.size(); ++i) EXPECT_EQ(props[i].Name, expected[i]);
    ASSERT_NE(FindClass("TScale"), nullptr);
    std::unique_ptr<TComponent> made(FindClass("TScale")->Create(nullptr));
    EXPECT_NE(dynamic_cast<TScale*>(made.get()), nullptr);
}

TEST_F(ScaleFixture, PublishedSettersThroughTheRegistry) {
    const TClassInfo& info = TScale::StaticClassInfo();
    info.FindProp("RangeHigh")->SetFloat(scale.get(), 250);
    info.FindProp("MinTicks")->SetOrd(scale.get(), 1);
    info.FindProp("LabelType")->SetOrd(scale.get(), ftTime);
    EXPECT_EQ(scale->RangeHigh(), 250);
    EXPECT_EQ(scale->MinTicks(), 2);
    EXPECT_EQ(scale->DecPlaces(), 4);
    EXPECT_EQ(info.FindProp("DateFormat")->GetObj(scale.get()), scale->DateFormat());
}

TEST_F(ScaleFixture, TickValueOutsideTheListIsZero) {
    PaintEmbedded();
    ASSERT_GT(scale->NumTicks(), 0);
    EXPECT_EQ(scale->TickValue(0), 0);
    EXPECT_EQ(scale->TickValue(scale->NumTicks() + 1), 0);
    EXPECT_EQ(scale->TickValue(-7), 0);
}

}  // namespace
}  // namespace kvb
