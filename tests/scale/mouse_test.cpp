// Dragging on a stand-alone scale and the double click.
#include <gtest/gtest.h>

#include "ScaleFixture.h"

namespace kvb {
namespace {

using test::ScaleFixture;

class ScaleMouse : public ScaleFixture {
protected:
    void SetUp() override {
        ScaleFixture::SetUp();
        scale->SetOnZoomPan([this](TObject*) { ++zoomPans; });
    }
    void Drag(std::initializer_list<TPoint> points) {
        for (TPoint p : points) scale->MouseMove(TShiftState{ssLeft}, p.X, p.Y);
    }
    int zoomPans = 0;
};

TEST_F(ScaleMouse, PanFollowsThePointer) {
    scale->SetMouseAction(maPan);
    Drag({{100, 50}, {136, 50}});
    EXPECT_DOUBLE_EQ(scale->RangeLow(), -10);
    EXPECT_DOUBLE_EQ(scale->RangeHigh(), 90);
    EXPECT_EQ(zoomPans, 1);
    // Later moves still measure from the start of the drag.
    Drag({{100, 50}});
    EXPECT_DOUBLE_EQ(scale->RangeLow(), 0);
    EXPECT_DOUBLE_EQ(scale->RangeHigh(), 100);
}

TEST_F(ScaleMouse, ZoomKeepsTheGrabbedValueUnderThePointer) {
    scale->SetMouseAction(maZoom);
    Drag({{290, 50}, {200, 50}});
    EXPECT_DOUBLE_EQ(scale->RangeLow(), 0);
    EXPECT_DOUBLE_EQ(scale->RangeHigh(), 150);
    EXPECT_EQ(scale->ValueToPixel(75), 200);
}

TEST_F(ScaleMouse, ZoomDragAboutTheCentre) {
    scale->SetMouseAction(maZoomDrag);
    Drag({{100, 50}, {140, 50}});
    EXPECT_DOUBLE_EQ(scale->RangeLow(), 5);
    EXPECT_DOUBLE_EQ(scale->RangeHigh(), 95);
}

TEST_F(ScaleMouse, OnlyLeftDragsInsideTheBandAct) {
    scale->SetMouseAction(maPan);
    scale->MouseMove(TShiftState{}, 100, 50);  // no button
    scale->MouseMove(TShiftState{ssRight}, 120, 50);
    Drag({{10, 50}, {390, 50}, {100, 0}, {100, 400}});  // margins and edges
    EXPECT_EQ(scale->RangeLow(), 0);
    EXPECT_EQ(zoomPans, 0);
    Drag({{100, 50}, {10, 50}, {136, 50}});  // a move outside does not end the drag
    EXPECT_DOUBLE_EQ(scale->RangeLow(), -10);
    scale->MouseUp(mbLeft, TShiftState{}, 136, 50);
    Drag({{200, 50}, {236, 50}});  // a new drag starts from the new range
    EXPECT_DOUBLE_EQ(scale->RangeLow(), -20);
}

TEST_F(ScaleMouse, VerticalBand) {
    scale->SetScaleType(sctYL);
    scale->SetMouseAction(maPan);
    Drag({{50, 100}, {50, 136}});
    EXPECT_DOUBLE_EQ(scale->RangeLow(), 10);
    EXPECT_DOUBLE_EQ(scale->RangeHigh(), 110);
}

TEST_F(ScaleMouse, NoneRecordsButNeverChanges) {
    Drag({{100, 50}, {200, 50}, {300, 50}});
    EXPECT_EQ(scale->RangeLow(), 0);
    EXPECT_EQ(scale->RangeHigh(), 100);
    EXPECT_EQ(zoomPans, 0);
}

TEST_F(ScaleMouse, DoubleClickTogglesPanAndZoom) {
    int clicks = 0;
    scale->SetOnDblClick([&](TObject*) { ++clicks; });
    scale->SetMouseAction(maPan);
    scale->DblClick();
    EXPECT_EQ(scale->MouseAction(), maZoom);
    scale->DblClick();
    EXPECT_EQ(scale->MouseAction(), maPan);
    scale->SetMouseAction(maZoomDrag);
    scale->DblClick();
    EXPECT_EQ(scale->MouseAction(), maZoomDrag);
    EXPECT_EQ(clicks, 3);
}

TEST_F(ScaleMouse, PaintingScaleRedrawsOncePerMove) {
    int painted = 0;
    scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
    scale->SetSuppressPaint(false);
    scale->SetOnBeforeScaleRendered([&](TObject*, TCanvas*) { ++painted; });
    scale->SetMouseAction(maPan);
    Drag({{100, 50}, {120, 50}, {140, 50}});
    EXPECT_EQ(painted, 2);
    EXPECT_FALSE(scale->SuppressPaint());
}

}  // namespace
}  // namespace kvb
