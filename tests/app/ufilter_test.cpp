// The demonstration form on the headless host: the stored layout's values, the start-up draws
// and the recompute cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
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

// The settings of one object block of the stored layout ("Name = value", nested objects left
// out), so that chart settings whose properties the chart does not publish yet are checked too.
std::map<std::string, std::string> LayoutBlock(std::string_view layout, const std::string& object) {
    std::map<std::string, std::string> values;
    const std::size_t head = layout.find("object " + object + ":");
    if (head == std::string_view::npos) return values;
    std::size_t pos = layout.find('\n', head) + 1;
    int depth = 0;
    while (pos < layout.size()) {
        std::size_t eol = layout.find('\n', pos);
        if (eol == std::string_view::npos) eol = layout.size();
        std::string_view line = layout.substr(pos, eol - pos);
        pos = eol + 1;
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (line.starts_with("object ")) ++depth;
        else if (line == "end" && depth-- == 0) break;
        else if (depth == 0) {
            const std::size_t eq = line.find(" = ");
            if (eq != std::string_view::npos)
                values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 3));
        }
    }
    return values;
}

// Numbers compare by value (the layout writes 512.000000000000000000), everything else by text.
bool SameSetting(const std::string& got, const std::string& want) {
    char* endGot = nullptr;
    char* endWant = nullptr;
    const double g = std::strtod(got.c_str(), &endGot);
    const double w = std::strtod(want.c_str(), &endWant);
    if (!got.empty() && !want.empty() && *endGot == '\0' && *endWant == '\0') return g == w;
    return got == want;
}

TEST(FilterLayout, ChartsCarryEveryStoredSetting) {
    std::vector<std::pair<std::string, std::string>> shared = {
        {"Left", "16"}, {"Width", "417"}, {"Height", "169"}, {"AllocSize", "1000"},
        {"AutoRedraw", "True"}, {"MarginLeft", "50"}, {"MarginRight", "20"}, {"MarginTop", "20"},
        {"MarginBottom", "40"}, {"BackGroundImg.IncludePath", "False"},
        {"BackGroundImg.FillMode", "bfStretch"}, {"BackGroundImg.AreaMode", "bamNone"},
        {"BackGroundImg.AreaColor", "14540253"}, {"BackGroundImg.AreaLeft", "-1"},
        {"BackGroundImg.AreaRight", "1"}, {"BackGroundImg.AreaTop", "1"},
        {"BackGroundImg.AreaBottom", "-1"}, {"ClassDefault", "0"}, {"GridStyle", "gsNone"},
        {"Isometric", "False"}, {"JointLayers.L01xControlledBy", "1"},
        {"JointLayers.L01yControlledBy", "1"}, {"JointLayers.L02xControlledBy", "2"},
        {"JointLayers.L02yControlledBy", "2"}, {"CaptionPosX", "0"}, {"CaptionPosY", "-16"},
        {"CaptionAlignment", "taRightJustify"}, {"CaptionAnchorHoriz", "cahChartRight"},
        {"CaptionAnchorVert", "cavChartTop"}, {"MouseAction", "maNone"},
        {"MouseCursorFixed", "False"}, {"ShadowStyle", "ssFlying"}, {"ShadowColor", "clGrayText"},
        {"ShadowBakColor", "clBtnFace"}, {"TextFontStyle", "[]"}, {"TextBkStyle", "tbClear"},
        {"TextBkColor", "clWhite"}, {"TextAlignment", "taCenter"},
        {"Scale1X.CaptionPosX", "0"}, {"Scale1X.CaptionPosY", "22"},
        {"Scale1X.CaptionAlignment", "taCenter"}, {"Scale1X.CaptionAnchor", "uaSclCenter"},
        {"Scale1X.RangeLow", "0"}, {"Scale1X.ShortTicks", "True"}, {"Scale1X.Visible", "True"},
        {"Scale1X.ScaleLocation", "slBottom"}, {"Scale1X.ColorScale", "clBlack"},
        {"Scale1Y.CaptionPosX", "0"}, {"Scale1Y.CaptionPosY", "-16"},
        {"Scale1Y.CaptionAlignment", "taLeftJustify"}, {"Scale1Y.CaptionAnchor", "uaSclTopLft"},
        {"Scale1Y.ShortTicks", "False"}, {"Scale1Y.Visible", "True"},
        {"Scale1Y.ScaleLocation", "slLeft"}, {"Scale1Y.ColorScale", "clBlack"}};
    for (int c = 1; c <= 4; ++c) {
        const std::string ch = "CrossHair" + std::to_string(c) + ".";
        for (auto [k, v] : std::vector<std::pair<std::string, std::string>>{
                 {"Color", "clBlack"}, {"Layer", std::to_string(c)}, {"Mode", "chOff"},
                 {"LineType", "psSolid"}, {"LineWid", "1"}})
            shared.emplace_back(ch + k, v);
    }
    for (const char* sc : {"Scale1X.", "Scale1Y.", "Scale2X.", "Scale2Y."}) {
        for (auto [k, v] : std::vector<std::pair<std::string, std::string>>{
                 {"Logarithmic", "False"}, {"LabelType", "ftNum"}, {"MinTicks", "3"},
                 {"MinRange", "1e-10"}, {"ScalePos", "0"}, {"DateFormat.TimeFormat", "tfHHMMSS"},
                 {"DateFormat.DateSeparator", "'-'"}, {"DateFormat.TimeSeparator", "':'"},
                 {"DateFormat.YearLength", "ylYYYY"}, {"DateFormat.MonthName", "True"},
                 {"DateFormat.DateOrder", "doDDMMYY"}, {"DateFormat.DateForTime", "dtOnePerDay"},
                 {"Font.Name", "'MS Sans Serif'"}, {"Font.Height", "-13"},
                 {"Font.Color", "clWindowText"}, {"Font.Style", "[]"}})
            shared.emplace_back(sc + k, v);
    }
    for (const char* sc : {"Scale2X.", "Scale2Y."}) {
        for (auto [k, v] : std::vector<std::pair<std::string, std::string>>{
                 {"Visible", "False"}, {"ColorScale", "clMaroon"}, {"RangeLow", "0"},
                 {"RangeHigh", "1"}, {"CaptionPosX", "10"}, {"CaptionPosY", "100"},
                 {"DecPlaces", "-2"}, {"ShortTicks", "True"}})
            shared.emplace_back(sc + k, v);
    }
    shared.insert(shared.end(), {{"Scale2X.ScaleLocation", "slBottom"},
                                 {"Scale2X.CaptionAlignment", "taCenter"},
                                 {"Scale2X.CaptionAnchor", "uaSclCenter"},
                                 {"Scale2Y.ScaleLocation", "slLeft"},
                                 {"Scale2Y.CaptionAlignment", "taRightJustify"},
                                 {"Scale2Y.CaptionAnchor", "uaSclTopLft"}});

    struct Chart {
        const char* name;
        const char* top;
        const char* caption;
        const char* xHigh;
        const char* xDec;
        const char* yLow;
        const char* yHigh;
        const char* yDec;
    };
    for (Chart c : {Chart{"QXSignal", "8", "'Signal'", "512", "-2", "-7", "7", "-2"},
                    Chart{"QXFFT", "208", "'Magnitude'", "256", "-2", "0", "2", "1"},
                    Chart{"QXFilt", "376", "'Filtered Signal'", "512", "-2", "-7", "7", "-2"}}) {
        const std::map<std::string, std::string> block = LayoutBlock(FrmFilterLayout(), c.name);
        ASSERT_FALSE(block.empty()) << c.name;
        auto want = shared;
        want.insert(want.end(), {{"Top", c.top}, {"Caption", c.caption},
                                 {"Scale1X.RangeHigh", c.xHigh}, {"Scale1X.DecPlaces", c.xDec},
                                 {"Scale1Y.RangeLow", c.yLow}, {"Scale1Y.RangeHigh", c.yHigh},
                                 {"Scale1Y.DecPlaces", c.yDec}});
        for (const auto& [key, value] : want) {
            const auto it = block.find(key);
            if (it == block.end()) {
                ADD_FAILURE() << c.name << " lacks " << key;
                continue;
            }
            EXPECT_TRUE(SameSetting(it->second, value))
                << c.name << "." << key << " = " << it->second << ", want " << value;
        }
    }
}

TEST_F(FilterForm, EveryPendingSettingIsInTheLayout) {
    for (const std::string& entry : PendingChartSettings()) {
        const std::string line = entry.substr(entry.find('.') + 1) + " = ";
        EXPECT_NE(FrmFilterLayout().find(line), std::string_view::npos) << entry;
    }
}

}  // namespace
}  // namespace kvb
