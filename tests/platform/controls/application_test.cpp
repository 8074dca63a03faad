#include "ControlsFixture.h"

namespace kvb::test {
namespace {

class TThrowingPaint : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool Throw = true;
    int Painted = 0;

protected:
    void Paint() override {
        if (Throw) throw EInvalidOperation("Paint failed");
        ++Painted;
    }
};

TEST_F(ControlsTest, ExceptionInAHandlerIsShownAndTheNextEventStillArrives) {
    ShowForm();
    int downs = 0;
    probe->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
        if (++downs == 1) throw EConvertError("Not a number");
    });
    host->Click(form, mbLeft, 15, 25);
    ASSERT_EQ(host->Messages().size(), 1u);
    // Shown as the platform shows it: the message, ended with a full stop.
    EXPECT_EQ(host->Messages()[0].Text, "Not a number.");
    EXPECT_EQ(host->Messages()[0].Type, mtError);
    host->Click(form, mbLeft, 15, 25);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(host->Messages().size(), 1u);
    // The release of the first click still reached the control.
    EXPECT_EQ(std::count(probe->Log.begin(), probe->Log.end(), "click"), 2);
}

TEST_F(ControlsTest, ExceptionsOfEveryKindAreCaught) {
    ShowForm();
    probe->SetOnClick([](TObject*) { throw 42; });
    probe->SetOnDblClick([](TObject*) { throw std::runtime_error("ends with a stop."); });
    host->DoubleClick(form, mbLeft, 15, 25);
    ASSERT_EQ(host->Messages().size(), 2u);
    EXPECT_EQ(host->Messages()[0].Text, "Unknown exception.");
    EXPECT_EQ(host->Messages()[1].Text, "ends with a stop.");
}

TEST_F(ControlsTest, ExceptionInPaintIsShownAndPaintingGoesOn) {
    auto* bad = new TThrowingPaint(form);
    bad->SetParent(form);
    bad->SetBounds(100, 0, 10, 10);
    ShowForm();
    // The other control still painted.
    EXPECT_EQ(probe->PaintCount, 1);
    ASSERT_EQ(host->Messages().size(), 1u);
    EXPECT_EQ(host->Messages()[0].Text, "Paint failed.");
    bad->Throw = false;
    bad->Repaint();
    EXPECT_EQ(bad->Painted, 1);
}

TEST_F(ControlsTest, OnExceptionReplacesTheMessageBox) {
    ShowForm();
    std::string seen;
    Application()->SetOnException([&](TObject* sender, const std::exception& e) {
        seen = e.what();
        EXPECT_EQ(sender, probe);
        throw std::runtime_error("the handler itself fails");
    });
    probe->SetOnClick([](TObject*) { throw EConvertError("bad"); });
    host->Click(form, mbLeft, 15, 25);
    EXPECT_EQ(seen, "bad");
    EXPECT_TRUE(host->Messages().empty());
    Application()->SetOnException(nullptr);
}

TEST_F(ControlsTest, ControlDeletedInItsOwnHandlerGetsNothingMore) {
    ShowForm();
    auto alive = probe->AliveFlag();
    probe->SetOnMouseDown([](TObject* sender, TMouseButton, TShiftState, Integer, Integer) { delete sender; });
    host->MouseDown(form, mbLeft, 15, 25);
    EXPECT_FALSE(*alive);
    EXPECT_EQ(host->CaptureControl(), nullptr);
    host->MouseMove(form, 16, 25);
    host->MouseUp(form, mbLeft, 16, 25);
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_TRUE(host->Messages().empty());
}

TEST_F(ControlsTest, ReleaseInAHandlerDefersTheDeletion) {
    ShowForm();
    auto alive = probe->AliveFlag();
    bool aliveInHandler = false;
    int ups = 0;
    probe->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++ups; });
    probe->SetOnClick([&](TObject* sender) {
        static_cast<TControl*>(sender)->Release();
        aliveInHandler = *alive;
    });
    host->MouseDown(form, mbLeft, 15, 25);
    host->MouseUp(form, mbLeft, 15, 25);
    EXPECT_TRUE(aliveInHandler);
    // Freed as soon as the event was handled; the MouseUp that followed the click in the
    // same delivery did not reach the released control.
    EXPECT_FALSE(*alive);
    EXPECT_EQ(ups, 0);
}

TEST_F(ControlsTest, FormReleasedFromItsMenuGoesAfterTheHandler) {
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("&Close");
    menu->Items()->Add(item);
    form->SetMenu(menu);
    ShowForm();
    auto alive = form->AliveFlag();
    item->SetOnClick([&](TObject*) {
        form->Release();
        EXPECT_TRUE(*alive);
    });
    EXPECT_TRUE(host->ChooseMenu(form, "Close"));
    EXPECT_FALSE(*alive);
}

TEST_F(ControlsTest, ClosingTheMainFormEndsTheProgram) {
    Application()->SetMainForm(form);
    auto* menu = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    auto* exitItem = new TMenuItem(form);
    file->SetCaption("&File");
    exitItem->SetCaption("E&xit");
    menu->Items()->Add(file);
    file->Add(exitItem);
    exitItem->SetOnClick([&](TObject*) { form->Close(); });
    form->SetMenu(menu);
    Application()->Run();
    EXPECT_TRUE(host->IsShown(form));
    EXPECT_FALSE(host->ChooseMenu(form, "File|Nothing"));
    EXPECT_TRUE(host->ChooseMenu(form, "file|exit"));
    EXPECT_TRUE(Application()->Terminated());
    EXPECT_EQ(host->QuitCount(), 1);
}

TEST_F(ControlsTest, CloseQueryCanRefuseAndASecondaryFormHides) {
    auto* second = new TForm(Application());
    second->Show();
    bool allow = false;
    second->SetOnCloseQuery([&](TObject*, bool& canClose) { canClose = allow; });
    host->CloseWindow(second);
    EXPECT_TRUE(second->Visible());
    allow = true;
    host->CloseWindow(second);
    EXPECT_FALSE(second->Visible());
    EXPECT_FALSE(Application()->Terminated());
}

TEST_F(ControlsTest, OnShowRunsAfterTheWindowsExist) {
    bool hadWindow = false;
    form->SetOnShow([&](TObject*) { hadWindow = probe->HandleAllocated(); });
    form->Show();
    EXPECT_TRUE(hadWindow);
}

TEST_F(ControlsTest, MessageDlgIsRecordedWithItsButtons) {
    EXPECT_EQ(MessageDlg("Data sharing refused", mtInformation, {mbOK}, 0), mrOk);
    host->SetMessageAnswer(mrNo);
    EXPECT_EQ(MessageDlg("Really?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
    ASSERT_EQ(host->Messages().size(), 2u);
    EXPECT_EQ(host->Messages()[0].Text, "Data sharing refused");
    EXPECT_EQ(host->Messages()[0].Type, mtInformation);
    EXPECT_EQ(host->Messages()[0].Buttons, (TMsgDlgButtons{mbOK}));
}

TEST_F(ControlsTest, ScreenResolutionIsTheHostsForScreenAndDeviceCaps) {
    EXPECT_EQ(Screen()->PixelsPerInch(), 96);
    host->SetPixelsPerInch(120);
    EXPECT_EQ(Screen()->PixelsPerInch(), 120);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 120);
    EXPECT_EQ(GetDeviceCaps(probe->Canvas(), LOGPIXELSY), 120);
    // The printer keeps its own resolution.
    EXPECT_EQ(GetDeviceCaps(Printer()->Canvas(), LOGPIXELSX), 600);
}

TEST_F(ControlsTest, ShowingAFormWithoutAHostIsAClearError) {
    host.reset();
    TForm lonely(nullptr);
    try {
        lonely.Show();
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "No window host is installed");
    }
}

// ---- cursors ------------------------------------------------------------------------

std::vector<std::string> Arrow(int rows, int cols) {
    std::vector<std::string> img(static_cast<std::size_t>(rows), std::string(static_cast<std::size_t>(cols), '.'));
    for (int i = 0; i < std::min(rows, cols); ++i) img[i][i] = '#';
    if (rows > 1 && cols > 1) img[1][0] = 'o';
    return img;
}

TEST_F(ControlsTest, CustomCursorsAreRegisteredByNumber) {
    const TCursorImage img = TCursorImage::FromText(Arrow(32, 32), 12, 3);
    EXPECT_EQ(img.At(0, 0), TCursorImage::Black);
    EXPECT_EQ(img.At(0, 1), TCursorImage::White);
    EXPECT_EQ(img.At(1, 0), TCursorImage::Transparent);
    Screen()->SetCursors(1, img);
    ASSERT_NE(Screen()->CursorImage(1), nullptr);
    EXPECT_EQ(Screen()->CursorImage(1)->HotX, 12);
    EXPECT_TRUE(Screen()->HasCursor(1));
    EXPECT_TRUE(Screen()->HasCursor(crCross));
    EXPECT_FALSE(Screen()->HasCursor(77));
    EXPECT_THROW(Screen()->SetCursors(crCross, img), EInvalidOperation);
}

TEST_F(ControlsTest, CursorImageOfTheWrongSizeIsRefused) {
    try {
        TCursorImage::FromText(Arrow(16, 16), 0, 0);
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Cursor image must be 32 x 32 pixels, not 16 x 16");
    }
    TCursorImage wide;
    wide.Width = 48;
    wide.Pixels.assign(48 * 32, TCursorImage::Black);
    EXPECT_THROW(Screen()->SetCursors(2, wide), EInvalidGraphic);
    EXPECT_EQ(Screen()->CursorImage(2), nullptr);
    EXPECT_THROW(TCursorImage::FromText(Arrow(32, 32), 32, 0), EInvalidGraphic);
    auto bad = Arrow(32, 32);
    bad[5][5] = 'z';
    EXPECT_THROW(TCursorImage::FromText(bad, 0, 0), EInvalidGraphic);
    EXPECT_THROW(LoadCursorResource("CURNOTHERE"), EInvalidOperation);
}

TEST_F(ControlsTest, ScreenCursorOverridesTheControlsOwn) {
    ShowForm();
    probe->SetCursor(crHandPoint);
    host->MouseMove(form, 15, 25);
    EXPECT_EQ(host->EffectiveCursor(), crHandPoint);
    Screen()->SetCursor(crHourGlass);
    EXPECT_EQ(host->EffectiveCursor(), crHourGlass);
    Screen()->SetCursor(crDefault);
    host->MouseMove(form, 150, 25);
    EXPECT_EQ(host->EffectiveCursor(), crDefault);
}

}  // namespace
}  // namespace kvb::test

namespace kvb::test {
namespace {

TEST_F(ControlsTest, SecondaryFormClosedWithCaFreeIsFreedAfterTheEvent) {
    auto* second = new TForm(Application());
    second->SetOnClose([](TObject*, TCloseAction& action) { action = caFree; });
    second->Show();
    auto alive = second->AliveFlag();
    host->CloseWindow(second);
    EXPECT_FALSE(*alive);
    EXPECT_FALSE(Application()->Terminated());
}

TEST_F(ControlsTest, MenuTreeFollowsItsItems) {
    auto* menu = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    auto* open = new TMenuItem(form);
    file->SetCaption("&File");
    open->SetCaption("&Open");
    menu->Items()->Add(file);
    file->Add(open);
    int changes = 0;
    menu->AddChangeListener(this, [&] { ++changes; });
    open->SetCaption("&Open...");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(menu->FindItemByPath("File|Open..."), open);
    EXPECT_THROW(open->Add(file), EInvalidOperation);
    // An item freed by its owner leaves the tree.
    delete open;
    EXPECT_EQ(file->Count(), 0);
    EXPECT_EQ(changes, 2);
    // Freeing the menu frees its items, which leave their owner.
    delete menu;
    EXPECT_EQ(form->ComponentCount(), 1);  // the probe
}

}  // namespace
}  // namespace kvb::test
