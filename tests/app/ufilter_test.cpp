// The demonstration form on the headless host: the stored layout's values, the start-up draws
// and the recompute cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/ufilter.h"
#include "platform/hosts/headless/Headless.h"

namespace kvb {
namespace {

// One LCG step of the process-wide generator.
Cardinal Step(Cardinal s) { return s * 134775813u + 1u; }

// The 1024 samples Recompute draws from a given generator state, computed on their own.
std::vector<double> Samples(Cardinal seed) {
    std::vector<double> v;
    for (int i = 1; i <= 1024; ++i) {
        seed = Step(seed);
        const Extended r = seed / 4294967296.0L;
        v.push_back(static_cast<double>(3 * std::sin(0.12L * i) + 1.6L * std::cos(0.071L * i) +
                                        (r - 0.5L) * 4));
    }
    return v;
}

class FilterForm : public ::testing::Test {
protected:
    FilterForm() {
        InitializeSharedUnits();
        Application()->Initialize();
        form = Application()->CreateForm<TFrmFilter>();
    }
    void ShowForm() { form->Show(); }
    // Moves the scroll bar as the user would and lets the handler run.
    void SetCutoff(Integer p) { form->SBFreqLimit->SetPosition(p); }
    static std::vector<double> Ys(const TPlotix* chart) {
        std::vector<double> ys;
        for (const TqxChartItem& it : chart->DataItems().Items()) ys.push_back(it.Y);
        return ys;
    }
    THeadlessHost host;
    TFrmFilter* form = nullptr;
};

TEST(SharedUnits, SeedAndStartUpDraws) {
    InitializeSharedUnits();
    // 1,446 integer draws build the permutation, then three real draws follow.
    Cardinal s = 1234;
    for (int i = 0; i < 1446 + 3; ++i) s = Step(s);
    EXPECT_EQ(RandSeed(), s);
}

TEST_F(FilterForm, LayoutValues) {
    EXPECT_EQ(form->Caption(), "Filtering by adjusting the Fourier coefficients");
    EXPECT_EQ(form->Left(), 367);
    EXPECT_EQ(form->Top(), 310);
    EXPECT_EQ(form->ClientWidth(), 443);
    EXPECT_EQ(form->ClientHeight(), 549);
    EXPECT_EQ(form->BorderStyle(), bsSingle);
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_FALSE(form->Scaled());
    EXPECT_EQ(form->PixelsPerInch(), 120);
    EXPECT_EQ(form->Menu(), form->MainMenu1);
    EXPECT_EQ(form->Font()->Height(), -13);

    EXPECT_EQ(form->Label1->Caption(), "cut-off frequency");
    EXPECT_EQ(form->Label1->BoundsRect(), Rect(0, 186, 129, 202));
    EXPECT_EQ(form->Label1->Alignment(), taRightJustify);

    TScrollBar* sb = form->SBFreqLimit;
    EXPECT_EQ(sb->BoundsRect(), Rect(136, 184, 425, 205));
    EXPECT_EQ(sb->Kind(), sbHorizontal);
    EXPECT_EQ(sb->Min(), 0);
    EXPECT_EQ(sb->Max(), 256);
    EXPECT_EQ(sb->Position(), 256);
    EXPECT_EQ(sb->PageSize(), 0);
    EXPECT_EQ(sb->SmallChange(), 1);
    EXPECT_EQ(sb->LargeChange(), 1);

    EXPECT_EQ(form->FFT1->SpectrumSize(), 1024);
    EXPECT_EQ(form->FFT1->WeightingWindow(), fwRectangle);
    EXPECT_EQ(form->File1->Caption(), "File");
    EXPECT_EQ(form->Exit1->Caption(), "Exit");

    struct Chart { TPlotix* c; Integer top; };
    for (Chart ch : {Chart{form->QXSignal, 8}, Chart{form->QXFFT, 208}, Chart{form->QXFilt, 376}}) {
        EXPECT_EQ(ch.c->BoundsRect(), Rect(16, ch.top, 16 + 417, ch.top + 169)) << ch.c->Name();
        EXPECT_EQ(ch.c->AllocSize(), 1000);
        EXPECT_EQ(ch.c->ClassDefault(), 0);
        EXPECT_EQ(ch.c->TextBkColor(), clWhite);
    }
}

TEST_F(FilterForm, NothingIsComputedBeforeShowing) {
    EXPECT_EQ(form->QXSignal->ItemCount(), 0);
    EXPECT_EQ(form->QXFilt->ItemCount(), 0);
}

TEST_F(FilterForm, FirstCycleAfterShowing) {
    ShowForm();
    const TPlotix* sig = form->QXSignal;
    const TPlotix* mag = form->QXFFT;
    const TPlotix* filt = form->QXFilt;
    ASSERT_EQ(sig->ItemCount(), 499);
    ASSERT_EQ(mag->ItemCount(), 257);
    ASSERT_EQ(filt->ItemCount(), 512);
    EXPECT_NEAR(sig->DataItems().Item(0)->Y, 3.1351, 0.00005);
    EXPECT_NEAR(sig->DataItems().Item(1)->Y, 2.4263, 0.00005);

    for (const TqxChartItem& it : sig->DataItems().Items()) {
        ASSERT_EQ(it.ItemKind, ikLineTo);
        ASSERT_EQ(it.Color, clBlue);
        ASSERT_EQ(it.FillColor, clWhite);
        ASSERT_EQ(it.Layer, 1);
    }
    EXPECT_EQ(sig->DataItems().Item(0)->X, 1.0);
    EXPECT_EQ(sig->DataItems().Item(498)->X, 499.0);

    EXPECT_EQ(mag->DataItems().Item(0)->ItemKind, ikMoveTo);
    EXPECT_EQ(mag->DataItems().Item(0)->X, 0.0);
    EXPECT_EQ(mag->DataItems().Item(0)->Y, 0.0);
    for (Integer j = 1; j <= 256; ++j) {
        const TqxChartItem& it = *mag->DataItems().Item(j);
        ASSERT_EQ(it.ItemKind, ikLineTo);
        ASSERT_EQ(it.X, j);
        ASSERT_EQ(it.Color, clRed);
        ASSERT_GE(it.Y, 0.0);
    }
    for (const TqxChartItem& it : filt->DataItems().Items()) {
        ASSERT_EQ(it.ItemKind, ikLineTo);
        ASSERT_EQ(it.Color, clBlue);
    }
    EXPECT_EQ(filt->DataItems().Item(0)->X, 1.0);
    EXPECT_EQ(filt->DataItems().Item(511)->X, 512.0);
    // The signal's dominant lines (0.12 and 0.071 rad per sample) show in the magnitudes.
    const double line20 = mag->DataItems().Item(20)->Y;  // 0.12 * 1024 / 2π ≈ 19.6
    EXPECT_GT(line20, 1.0);
}

TEST_F(FilterForm, CutoffAt256ClearsLines256To768) {
    ShowForm();
    // Transforming the filtered signal again shows which lines survived.
    TFastFourier* fft = form->FFT1;
    fft->ForwardTransform();
    for (Integer line = 256; line <= 768; ++line) {
        ASSERT_NEAR(fft->RealAt(line + 1), 0.0, 1e-9) << line;
        ASSERT_NEAR(fft->ImagAt(line + 1), 0.0, 1e-9) << line;
    }
    EXPECT_GT(std::hypot(fft->RealAt(256), fft->ImagAt(256)), 1e-6);  // line 255 kept
    EXPECT_GT(std::hypot(fft->RealAt(770), fft->ImagAt(770)), 1e-6);  // its mirror 769
}

TEST_F(FilterForm, CutoffZeroClearsEverything) {
    ShowForm();
    SetCutoff(0);
    EXPECT_EQ(form->QXFFT->ItemCount(), 1);
    EXPECT_EQ(form->QXFFT->DataItems().Item(0)->ItemKind, ikMoveTo);
    ASSERT_EQ(form->QXFilt->ItemCount(), 512);
    Integer x = 1;
    for (const TqxChartItem& it : form->QXFilt->DataItems().Items()) {
        ASSERT_EQ(it.X, x++);
        ASSERT_EQ(it.Y, 0.0);
    }
}

TEST_F(FilterForm, CutoffOneKeepsTheMean) {
    ShowForm();
    form->SBFreqLimit->SetPosition(2);
    const Cardinal before = RandSeed();
    SetCutoff(1);
    const std::vector<double> samples = Samples(before);
    double sum = 0;
    for (double v : samples) sum += v;
    const double mean = sum / 1024;
    EXPECT_NEAR(form->QXSignal->DataItems().Item(0)->Y, samples[0], 1e-15);
    EXPECT_EQ(form->QXFFT->ItemCount(), 2);
    for (double y : Ys(form->QXFilt)) ASSERT_NEAR(y, mean, 1e-12);
}

TEST_F(FilterForm, SameCutoffTwiceGivesNewNoise) {
    ShowForm();
    SetCutoff(40);
    const std::vector<double> first = Ys(form->QXSignal);
    form->RadioButton1Click(form);  // the same cut-off again
    const std::vector<double> second = Ys(form->QXSignal);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_NE(first, second);
    EXPECT_EQ(form->QXFFT->ItemCount(), 41);
}

TEST_F(FilterForm, ExitClosesTheMainForm) {
    ShowForm();
    EXPECT_TRUE(host.IsShown(form));
    EXPECT_TRUE(host.ChooseMenu(form, "File|Exit"));
    // Closing the main form ends the program.
    EXPECT_TRUE(Application()->Terminated());
    EXPECT_GE(host.QuitCount(), 1);
}

TEST_F(FilterForm, EveryPendingSettingIsInTheLayout) {
    for (const std::string& entry : PendingChartSettings()) {
        const std::string line = entry.substr(entry.find('.') + 1) + " = ";
        EXPECT_NE(FrmFilterLayout().find(line), std::string_view::npos) << entry;
    }
}

}  // namespace
}  // namespace kvb
