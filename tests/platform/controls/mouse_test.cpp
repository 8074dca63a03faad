#include "ControlsFixture.h"

namespace kvb::test {
namespace {

using Log = std::vector<std::string>;

TEST_F(ControlsTest, InputReachesTheControlUnderThePointInItsCoordinates) {
    ShowForm();
    host->MouseMove(form, 15, 25);
    host->MouseDown(form, mbLeft, 15, 25, {ssShift});
    host->MouseMove(form, 16, 26, {ssShift, ssCtrl});
    host->MouseUp(form, mbLeft, 16, 26);
    EXPECT_EQ(probe->Log, (Log{"enter", "move [] 5,5", "down L [Shift,Left] 5,5", "move [Shift,Ctrl,Left] 6,6",
                               "click", "up L [] 6,6"}));
}

TEST_F(ControlsTest, ButtonsHeldAppearInTheShiftState) {
    ShowForm();
    host->MouseDown(form, mbRight, 15, 25);
    host->MouseDown(form, mbMiddle, 15, 25, {ssAlt});
    host->MouseMove(form, 15, 26);
    host->MouseUp(form, mbRight, 15, 26);
    host->MouseUp(form, mbMiddle, 15, 26);
    EXPECT_EQ(probe->Log, (Log{"enter", "down R [Right] 5,5", "down M [Alt,Right,Middle] 5,5", "move [Right,Middle] 5,6",
                               "up R [Middle] 5,6", "up M [] 5,6"}));
}

TEST_F(ControlsTest, DoubleClickArrivesInThePlatformsOrder) {
    ShowForm();
    probe->Log.clear();
    host->DoubleClick(form, mbLeft, 12, 22, {ssCtrl});
    // down, up (with a click), then the double click and the second down marked ssDouble;
    // the second release clicks no more.
    EXPECT_EQ(probe->Log, (Log{"enter", "down L [Ctrl,Left] 2,2", "click", "up L [Ctrl] 2,2", "dblclick",
                               "down L [Ctrl,Left,Double] 2,2", "up L [Ctrl] 2,2"}));
}

TEST_F(ControlsTest, CaptureKeepsInputWithTheControlWhileAButtonIsHeld) {
    auto* other = new TProbe(form);
    other->SetParent(form);
    other->SetBounds(100, 20, 40, 30);
    ShowForm();
    host->MouseDown(form, mbLeft, 15, 25);
    host->MouseMove(form, 110, 30);
    host->MouseUp(form, mbLeft, 110, 30);
    // Dragged off the control: no click, coordinates run outside; entry into the other
    // control is noticed once the button is up.
    EXPECT_EQ(probe->Log, (Log{"enter", "down L [Left] 5,5", "move [Left] 100,10", "up L [] 100,10", "leave"}));
    EXPECT_EQ(other->Log, (Log{"enter"}));
    host->MouseMove(form, 111, 30);
    host->MouseExit(form);
    EXPECT_EQ(other->Log, (Log{"enter", "move [] 11,10", "leave"}));
}

TEST_F(ControlsTest, WheelGoesToTheWheelEventsThenUpAndDown) {
    ShowForm();
    std::vector<std::string> seen;
    probe->SetOnMouseWheelDown([&](TObject*, TShiftState, TPoint p, bool& handled) {
        seen.push_back("down " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = true;
    });
    EXPECT_TRUE(host->Wheel(form, -WHEEL_DELTA, 11, 21));
    EXPECT_FALSE(host->Wheel(form, WHEEL_DELTA, 11, 21));
    probe->SetOnMouseWheel([&](TObject*, TShiftState s, Integer d, TPoint, bool& handled) {
        seen.push_back("wheel " + std::to_string(d) + ShiftText(s));
        handled = true;
    });
    EXPECT_TRUE(host->Wheel(form, -WHEEL_DELTA, 11, 21, {ssShift}));
    EXPECT_EQ(seen, (Log{"down 1,1", "wheel -120[Shift]"}));
}

TEST_F(ControlsTest, DisabledAndHiddenControlsLetInputThroughToTheParent) {
    ShowForm();
    int formDowns = 0;
    form->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
        ++formDowns;
        EXPECT_EQ(x, 15);
        EXPECT_EQ(y, 25);
    });
    probe->SetEnabled(false);
    host->Click(form, mbLeft, 15, 25);
    probe->SetEnabled(true);
    probe->Hide();
    host->Click(form, mbLeft, 15, 25);
    EXPECT_EQ(formDowns, 2);
    EXPECT_TRUE(probe->Log.empty());
}

}  // namespace
}  // namespace kvb::test
