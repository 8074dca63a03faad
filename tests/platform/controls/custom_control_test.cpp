#include "ControlsFixture.h"

namespace kvb::test {
namespace {

std::uint32_t At(const TSurface& s, Integer x, Integer y) { return s.Bits[std::size_t(y) * std::size_t(s.Stride) + std::size_t(x)]; }

TEST_F(ControlsTest, WindowIsMadeWhenTheFormIsShown) {
    EXPECT_FALSE(probe->HandleAllocated());
    EXPECT_EQ(probe->CreateWndCount, 0);
    EXPECT_EQ(host->SurfaceOf(probe).Bits, nullptr);
    // Drawing before the window exists goes nowhere and does not fail.
    probe->Canvas()->FillRect(Rect(0, 0, 5, 5));

    form->Show();
    EXPECT_TRUE(probe->HandleAllocated());
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_EQ(probe->CreateWndCount, 1);
    EXPECT_TRUE(host->IsShown(form));
    // The paint comes with the next round of messages, not inside Show.
    EXPECT_EQ(probe->PaintCount, 0);
    Application()->ProcessMessages();
    EXPECT_EQ(probe->PaintCount, 1);
    form->Show();
    EXPECT_EQ(probe->CreateWndCount, 1);
}

TEST_F(ControlsTest, PaintOutputIsReadableFromTheWindowSurface) {
    ShowForm();
    const TSurface s = host->SurfaceOf(probe);
    ASSERT_NE(s.Bits, nullptr);
    ASSERT_EQ(s.Width, 40);
    ASSERT_EQ(s.Height, 30);
    // FillRect(2, 3, 6, 5) covers x 2..5 and y 3..4.
    for (Integer y = 0; y < 30; ++y)
        for (Integer x = 0; x < 40; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
            ASSERT_EQ(At(s, x, y), inside ? 0xFFFF0000u : 0xFFFFFFFFu) << x << "," << y;
        }
    EXPECT_EQ(probe->Canvas()->Pixels(2, 3), clRed);
    EXPECT_EQ(probe->Canvas()->Pixels(6, 3), clWhite);
}

TEST_F(ControlsTest, InvalidatePaintsOnceOnTheNextMessages) {
    ShowForm();
    probe->Fill = clBlue;
    probe->Invalidate();
    probe->Invalidate();
    EXPECT_TRUE(host->PaintPending(probe));
    EXPECT_EQ(probe->PaintCount, 1);
    Application()->ProcessMessages();
    EXPECT_EQ(probe->PaintCount, 2);
    EXPECT_EQ(probe->Canvas()->Pixels(3, 3), clBlue);
    probe->Repaint();
    EXPECT_EQ(probe->PaintCount, 3);
    EXPECT_FALSE(host->PaintPending(probe));
}

TEST_F(ControlsTest, ResizingReallocatesTheSurfaceAndRepaints) {
    ShowForm();
    probe->SetBounds(10, 20, 8, 6);
    const TSurface s = host->SurfaceOf(probe);
    EXPECT_EQ(s.Width, 8);
    EXPECT_EQ(s.Height, 6);
    EXPECT_EQ(probe->Canvas()->Surface().Bits, s.Bits);
    Application()->ProcessMessages();
    EXPECT_EQ(probe->Canvas()->Pixels(5, 4), clRed);
    EXPECT_EQ(probe->Canvas()->Pixels(7, 5), clWhite);
    // Moving without resizing keeps the picture.
    const int paints = probe->PaintCount;
    probe->SetBounds(0, 0, 8, 6);
    Application()->ProcessMessages();
    EXPECT_EQ(probe->PaintCount, paints);
}

TEST_F(ControlsTest, ControlJoiningAShownFormGetsItsWindowAtOnce) {
    ShowForm();
    auto* late = new TProbe(form);
    EXPECT_FALSE(late->HandleAllocated());
    late->SetParent(form);
    EXPECT_TRUE(late->HandleAllocated());
    EXPECT_EQ(late->CreateWndCount, 1);
    late->SetParent(nullptr);
    EXPECT_FALSE(late->HandleAllocated());
    delete late;
}

TEST_F(ControlsTest, ComposedFormShowsControlsAtTheirPlaces) {
    form->SetColor(clGreen);
    ShowForm();
    auto bmp = host->ComposeForm(form);
    ASSERT_EQ(bmp->Width(), 200);
    ASSERT_EQ(bmp->Height(), 100);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), clGreen);
    EXPECT_EQ(bmp->Canvas()->Pixels(10, 20), clWhite);
    EXPECT_EQ(bmp->Canvas()->Pixels(12, 23), clRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(16, 23), clWhite);
    EXPECT_EQ(bmp->Canvas()->Pixels(50, 20), clGreen);
    probe->Hide();
    EXPECT_EQ(host->ComposeForm(form)->Canvas()->Pixels(12, 23), clGreen);
}

TEST_F(ControlsTest, ParentFontAndColourFollowTheParent) {
    form->Font()->SetHeight(-17);
    EXPECT_EQ(probe->Font()->Height(), -17);
    probe->Font()->SetHeight(-9);
    EXPECT_FALSE(probe->ParentFont());
    form->Font()->SetHeight(-20);
    EXPECT_EQ(probe->Font()->Height(), -9);
    probe->SetParentFont(true);
    EXPECT_EQ(probe->Font()->Height(), -20);

    probe->SetParentColor(true);
    form->SetColor(clYellow);
    EXPECT_EQ(probe->Color(), clYellow);
    probe->SetColor(clAqua);
    EXPECT_FALSE(probe->ParentColor());
}

TEST_F(ControlsTest, DestroyingTheFormFreesItsControlsAndWindows) {
    ShowForm();
    auto alive = probe->AliveFlag();
    delete form;
    EXPECT_FALSE(*alive);
}

TEST_F(ControlsTest, ControlCannotBecomeItsOwnAncestor) {
    auto* inner = new TCustomControl(form);
    inner->SetParent(form);
    auto* panel = new TCustomControl(form);
    panel->SetParent(inner);
    EXPECT_THROW(inner->SetParent(panel), EInvalidOperation);
    EXPECT_EQ(inner->Parent(), form);
}

}  // namespace
}  // namespace kvb::test
