// The Qt host under the offscreen platform: presenting surfaces, forwarding input, the
// native scroll bar and menu, and crisp pixels at a device pixel ratio of 2 (the test program
// runs a second time with QT_SCALE_FACTOR=2).
#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QScrollBar>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/hosts/qt/QtHost.h"

namespace kvb {
namespace {

TQtHost* gQt = nullptr;

class TBoxes : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> log;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(Rect(1, 1, 3, 2));
        Canvas()->Pen()->SetColor(clBlue);
        Canvas()->MoveTo(0, 5);
        Canvas()->LineTo(10, 5);
    }
    void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        log.push_back("down " + std::to_string(b) + " " + std::to_string(s.Bits()) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        log.push_back("up " + std::to_string(b) + " " + std::to_string(s.Bits()) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void DblClick() override { log.push_back("dblclick"); }
    void MouseEnter() override { log.push_back("enter"); }
    void MouseLeave() override { log.push_back("leave"); }
};

class QtHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application()->Initialize();
        form = new TForm(Application());
        form->SetBounds(0, 0, 120, 80);
        form->SetCaption("Qt host test");
        boxes = new TBoxes(form);
        boxes->SetParent(form);
        boxes->SetBounds(10, 10, 12, 8);
        bar = new TScrollBar(form);
        bar->SetParent(form);
        bar->SetBounds(0, 50, 120, 17);
        bar->SetParams(5, 0, 10);
        bar->SetOnChange([this](TObject*) { changes.push_back(bar->Position()); });
        menu = new TMainMenu(form);
        auto* file = new TMenuItem(form);
        file->SetCaption("&File");
        exitItem = new TMenuItem(form);
        exitItem->SetCaption("E&xit");
        menu->Items()->Add(file);
        file->Add(exitItem);
        form->SetMenu(menu);
        form->Show();
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    void TearDown() override { delete form; }

    QWidget* SurfaceWidget() const {
        QWidget* window = QApplication::topLevelWidgets().isEmpty() ? nullptr : nullptr;
        for (QWidget* w : QApplication::allWidgets())
            if (w->isVisible() && w->width() == 12 && w->height() == 8 && w->parentWidget() != nullptr) return w;
        return window;
    }
    QWidget* Window() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == "Qt host test") return w;
        return nullptr;
    }

    TForm* form = nullptr;
    TBoxes* boxes = nullptr;
    TScrollBar* bar = nullptr;
    TMainMenu* menu = nullptr;
    TMenuItem* exitItem = nullptr;
    std::vector<Integer> changes;
};

TEST_F(QtHostTest, SurfaceIsPresentedPixelForPixel) {
    QWidget* w = SurfaceWidget();
    ASSERT_NE(w, nullptr);
    const QImage shot = w->grab().toImage();
    const double ratio = gQt->DevicePixelRatio();
    const int r = static_cast<int>(ratio);
    ASSERT_EQ(ratio, r) << "the test expects a whole device pixel ratio";
    ASSERT_EQ(shot.width(), 12 * r);
    ASSERT_EQ(shot.height(), 8 * r);
    // Every surface pixel is an r x r block of exactly its colour: no smoothing at any ratio.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            QRgb expected = qRgb(255, 255, 255);
            if (x >= 1 && x < 3 && y == 1) expected = qRgb(255, 0, 0);
            if (x < 10 && y == 5) expected = qRgb(0, 0, 255);
            for (int dy = 0; dy < r; ++dy)
                for (int dx = 0; dx < r; ++dx)
                    ASSERT_EQ(shot.pixel(x * r + dx, y * r + dy) & 0xFFFFFF, expected & 0xFFFFFF)
                        << x << "," << y << " block " << dx << "," << dy;
        }
}

TEST_F(QtHostTest, MouseInputArrivesWithButtonsAndKeys) {
    QWidget* w = SurfaceWidget();
    ASSERT_NE(w, nullptr);
    const QPointF p(4, 3);
    const QPointF g = w->mapToGlobal(p);
    QMouseEvent down(QEvent::MouseButtonPress, p, g, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, p, g, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, p, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up2(QEvent::MouseButtonRelease, p, g, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
    QEnterEvent enter(p, p, g);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &enter);
    QApplication::sendEvent(w, &down);
    QApplication::sendEvent(w, &up);
    QApplication::sendEvent(w, &dbl);
    QApplication::sendEvent(w, &up2);
    QApplication::sendEvent(w, &leave);
    const auto shift = TShiftState{ssShift};
    const auto shiftLeft = TShiftState{ssShift, ssLeft};
    const auto dblLeft = TShiftState{ssLeft, ssDouble};
    const auto ctrl = TShiftState{ssCtrl};
    EXPECT_EQ(boxes->log, (std::vector<std::string>{
                              "enter",
                              "down 0 " + std::to_string(shiftLeft.Bits()) + " 4,3",
                              "up 0 " + std::to_string(shift.Bits()) + " 4,3",
                              "dblclick",
                              "down 0 " + std::to_string(dblLeft.Bits()) + " 4,3",
                              "up 0 " + std::to_string(ctrl.Bits()) + " 4,3",
                              "leave",
                          }));

    // The wheel reaches the wheel events with the keys held and its delta.
    std::vector<std::string> wheel;
    boxes->SetOnMouseWheel([&](TObject*, TShiftState s, Integer d, TPoint, bool& handled) {
        wheel.push_back(std::to_string(d) + " " + std::to_string(s.Bits()));
        handled = true;
    });
    QWheelEvent turn(p, g, QPoint(), QPoint(0, -120), Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &turn);
    EXPECT_EQ(wheel, (std::vector<std::string>{"-120 " + std::to_string(TShiftState{ssAlt}.Bits())}));
}

TEST_F(QtHostTest, ExceptionInAHandlerStaysInTheFramework) {
    std::vector<std::string> seen;
    Application()->SetOnException([&](TObject*, const std::exception& e) { seen.push_back(e.what()); });
    boxes->SetOnClick([](TObject*) { throw EConvertError("broken handler"); });
    QWidget* w = SurfaceWidget();
    const QPointF p(2, 2);
    QMouseEvent down(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QApplication::sendEvent(w, &up);
    EXPECT_EQ(seen, (std::vector<std::string>{"broken handler"}));
    Application()->SetOnException(nullptr);
}

TEST_F(QtHostTest, NativeScrollBarFiresOncePerPositionChange) {
    QScrollBar* sb = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* s = qobject_cast<QScrollBar*>(w); s != nullptr && s->isVisible()) sb = s;
    ASSERT_NE(sb, nullptr);
    EXPECT_EQ(sb->value(), 5);
    EXPECT_EQ(sb->maximum(), 10);
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    sb->triggerAction(QAbstractSlider::SliderPageStepSub);
    sb->triggerAction(QAbstractSlider::SliderToMaximum);
    sb->triggerAction(QAbstractSlider::SliderToMaximum);  // no change, no event
    sb->setSliderDown(true);
    for (int v : {9, 9, 8, 6, 6, 3}) sb->setSliderPosition(v);
    sb->setSliderDown(false);
    EXPECT_EQ(changes, (std::vector<Integer>{6, 5, 10, 9, 8, 6, 3}));
    EXPECT_EQ(bar->Position(), 3);
    // A programmatic change reaches Qt without being counted twice.
    bar->SetPosition(7);
    EXPECT_EQ(sb->value(), 7);
    EXPECT_EQ(changes.size(), 8u);
}

TEST_F(QtHostTest, MenuEntryRunsItsHandler) {
    int clicks = 0;
    exitItem->SetOnClick([&](TObject*) { ++clicks; });
    QWidget* window = Window();
    ASSERT_NE(window, nullptr);
    auto* mb = window->findChild<QMenuBar*>();
    ASSERT_NE(mb, nullptr);
    ASSERT_EQ(mb->actions().size(), 1);
    EXPECT_EQ(mb->actions()[0]->text(), "&File");
    QMenu* fileMenu = mb->actions()[0]->menu();
    ASSERT_NE(fileMenu, nullptr);
    ASSERT_EQ(fileMenu->actions().size(), 1);
    fileMenu->actions()[0]->trigger();
    EXPECT_EQ(clicks, 1);
    // The window keeps the client size; the menu bar sits above it.
    EXPECT_EQ(window->width(), 120);
    EXPECT_GT(window->height(), 80);
}

TEST_F(QtHostTest, CustomCursorKeepsItsPixelsAndHotSpot) {
    // Black diagonal, a white pixel below its start, the rest transparent.
    std::vector<std::string> rows(32, std::string(32, '.'));
    for (int i = 0; i < 32; ++i) rows[i][i] = '#';
    rows[1][0] = 'o';
    Screen()->SetCursors(7, TCursorImage::FromText(rows, 5, 6));
    boxes->SetCursor(7);
    QWidget* w = SurfaceWidget();
    ASSERT_NE(w, nullptr);
    const QCursor cursor = w->cursor();
    ASSERT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 6));
    const QImage bits = cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage mask = cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(bits.size(), QSize(32, 32));
    // Qt's convention: black is set in both bitmaps, white only in the mask.
    const QRgb set = QColor(Qt::color1).rgb(), clear = QColor(Qt::color0).rgb();
    EXPECT_EQ(bits.pixel(3, 3), set);
    EXPECT_EQ(mask.pixel(3, 3), set);
    EXPECT_EQ(bits.pixel(0, 1), clear);
    EXPECT_EQ(mask.pixel(0, 1), set);
    EXPECT_EQ(bits.pixel(20, 3), clear);
    EXPECT_EQ(mask.pixel(20, 3), clear);
    boxes->SetCursor(crDefault);
}

TEST_F(QtHostTest, ScreenshotIsWritten) {
    const std::string file = std::string(KVB_BINARY_DIR) + "/qt_host_test.png";
    ASSERT_TRUE(gQt->SaveScreenshot(form, file));
    QImage img(QString::fromStdString(file));
    EXPECT_EQ(img.width(), static_cast<int>(120 * gQt->DevicePixelRatio()));
}

TEST(QtHostArgs, ScreenshotArgumentIsTakenOut) {
    char a0[] = "prog", a1[] = "--cutoff", a2[] = "3", a3[] = "--screenshot", a4[] = "out.png";
    char* argv[] = {a0, a1, a3, a4, a2, nullptr};
    int argc = 5;
    EXPECT_EQ(TakeScreenshotArgument(argc, argv), "out.png");
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[1], "--cutoff");
    EXPECT_STREQ(argv[2], "3");
    char* lone[] = {a0, a3, nullptr};
    int lonec = 2;
    EXPECT_EQ(TakeScreenshotArgument(lonec, lone), "-");
}

}  // namespace
}  // namespace kvb

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    kvb::TQtHost host(argc, argv);
    kvb::gQt = &host;
    return RUN_ALL_TESTS();
}
