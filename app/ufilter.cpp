#include "app/ufilter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/classes/Layout.h"
#include "platform/system/Trace.h"

namespace kvb {

namespace {

// KVB_FILTERDEMO_TRACE=1 prints one line per recompute ("recompute <cut-off>"), so that the
// end-to-end test can tell that the scroll bar reached the handler. Off in normal runs.
const TTestTrace& Trace() {
    static const TTestTrace trace("KVB_FILTERDEMO_TRACE");
    return trace;
}

}  // namespace

void InitializeSharedUnits() {
    SetRandSeed(1234);
    bool placed[256] = {};
    for (int place = 0; place < 255; ++place) {
        Integer value;
        do value = Random(255) + 1;
        while (placed[value]);
        placed[value] = true;
    }
    for (int i = 0; i < 3; ++i) Random();
}

const std::vector<std::string>& PendingChartSettings() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> v = {
            "TPlotix.AutoRedraw", "TPlotix.MarginLeft", "TPlotix.MarginRight", "TPlotix.MarginTop",
            "TPlotix.MarginBottom", "TPlotix.BackGroundImg.IncludePath",
            "TPlotix.BackGroundImg.FillMode", "TPlotix.BackGroundImg.AreaMode",
            "TPlotix.BackGroundImg.AreaColor", "TPlotix.BackGroundImg.AreaLeft",
            "TPlotix.BackGroundImg.AreaRight", "TPlotix.BackGroundImg.AreaTop",
            "TPlotix.BackGroundImg.AreaBottom", "TPlotix.GridStyle", "TPlotix.Isometric",
            "TPlotix.JointLayers.L01xControlledBy", "TPlotix.JointLayers.L01yControlledBy",
            "TPlotix.JointLayers.L02xControlledBy", "TPlotix.JointLayers.L02yControlledBy",
            "TPlotix.Caption", "TPlotix.CaptionPosX", "TPlotix.CaptionPosY",
            "TPlotix.CaptionAlignment", "TPlotix.CaptionAnchorHoriz", "TPlotix.CaptionAnchorVert",
            "TPlotix.MouseAction", "TPlotix.MouseCursorFixed", "TPlotix.ShadowStyle",
            "TPlotix.ShadowColor", "TPlotix.ShadowBakColor", "TPlotix.TextFontStyle",
            "TPlotix.TextBkStyle", "TPlotix.TextAlignment"};
        for (const char* ch : {"CrossHair1", "CrossHair2", "CrossHair3", "CrossHair4"})
            for (const char* p : {"Color", "Layer", "Mode", "LineType", "LineWid"})
                v.push_back(std::string("TPlotix.") + ch + "." + p);
        for (const char* sc : {"Scale1X", "Scale1Y", "Scale2X", "Scale2Y"})
            for (const char* p :
                 {"CaptionPosX", "CaptionPosY", "CaptionAlignment", "CaptionAnchor", "ColorScale",
                  "DateFormat.TimeFormat", "DateFormat.DateSeparator", "DateFormat.TimeSeparator",
                  "DateFormat.YearLength", "DateFormat.MonthName", "DateFormat.DateOrder",
                  "DateFormat.DateForTime", "DecPlaces", "Font.Color", "Font.Height", "Font.Name",
                  "Font.Style", "Logarithmic", "LabelType", "MinTicks", "MinRange", "RangeHigh",
                  "RangeLow", "ShortTicks", "ScalePos", "Visible", "ScaleLocation"})
                v.push_back(std::string("TPlotix.") + sc + "." + p);
        return v;
    }();
    return list;
}

namespace {

// The pending settings a chart still lacks: an entry whose property has since been published
// is applied from the layout again instead of being skipped.
TLayoutOptions LayoutOptions() {
    TLayoutOptions options;
    TPlotix probe(nullptr);
    for (const std::string& entry : PendingChartSettings()) {
        const std::string path = entry.substr(entry.find('.') + 1);
        try {
            FindPropPath(&probe, path);
        } catch (const EConvertError&) {
            options.IgnoredProperties.push_back(entry);
        }
    }
    return options;
}

}  // namespace

const TClassInfo& TFrmFilter::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TFrmFilter>("TFrmFilter", &TForm::StaticClassInfo())
            .Method("FormShow", &TFrmFilter::FormShow)
            .Method("SBFreqLimitChange", &TFrmFilter::SBFreqLimitChange)
            .Method("Exit1Click", &TFrmFilter::Exit1Click)
            .Method("RadioButton1Click", &TFrmFilter::RadioButton1Click)
            .Build());
    return info;
}

template <class T>
T* TFrmFilter::Bind(const char* name) {
    T* c = dynamic_cast<T*>(FindComponent(name));
    if (c == nullptr) throw EReadError(std::string("The form's layout has no ") + name);
    return c;
}

TFrmFilter::TFrmFilter(TComponent* AOwner) : TForm(AOwner) {
    LoadLayout(FrmFilterLayout(), LayoutOptions());
    QXSignal = Bind<TPlotix>("QXSignal");
    QXFFT = Bind<TPlotix>("QXFFT");
    QXFilt = Bind<TPlotix>("QXFilt");
    FFT1 = Bind<TFastFourier>("FFT1");
    SBFreqLimit = Bind<TScrollBar>("SBFreqLimit");
    MainMenu1 = Bind<TMainMenu>("MainMenu1");
    File1 = Bind<TMenuItem>("File1");
    Exit1 = Bind<TMenuItem>("Exit1");
    Label1 = Bind<TLabel>("Label1");
}

void TFrmFilter::FormShow(TObject*) { Recompute(); }
void TFrmFilter::SBFreqLimitChange(TObject*) { Recompute(); }
void TFrmFilter::Exit1Click(TObject*) { Close(); }
void TFrmFilter::RadioButton1Click(TObject*) { Recompute(); }

void TFrmFilter::Recompute() {
    const Integer n = FFT1->SpectrumSize();

    QXFilt->ClearItems();
    QXFFT->ClearItems();
    QXSignal->ClearItems();

    QXSignal->SetDataColor(clBlue);
    if (wave_.size() != static_cast<std::size_t>(n)) {
        wave_.resize(static_cast<std::size_t>(n));
        for (Integer i = 1; i <= n; ++i)
            wave_[i - 1] = 3 * std::sin(0.12L * i) + 1.6L * std::cos(0.071L * i);
    }
    // Only the real parts are written: the imaginary parts keep what the previous backward
    // transform left (0 in the first cycle, rounding residue afterwards).
    for (Integer i = 1; i <= n; ++i) {
        const Extended r = Random();
        const auto v = static_cast<double>(wave_[i - 1] + (r - 0.5L) * 4);
        FFT1->SetRealAt(i, v);
        if (i < 500) QXSignal->DrawPenTo(i, v);
    }

    FFT1->ForwardTransform();

    QXFFT->SetDataColor(clRed);
    QXFFT->MovePenTo(0, 0);
    for (Integer j = 1; j <= SBFreqLimit->Position(); ++j) QXFFT->DrawPenTo(j, FFT1->MagnitudeOf(j));

    QXSignal->ShowItems();
    QXFFT->ShowItems();

    // Elements p+1 … N−p+1 are spectral lines p … N−p: the kept lines 0 … p−1 and their mirrors
    // stay, so the result stays real. For p = 0 the loop reaches element N+1, which the
    // accessors ignore.
    const Integer p = SBFreqLimit->Position();
    for (Integer k = p + 1; k <= n - p + 1; ++k) {
        FFT1->SetImagAt(k, 0.0);
        FFT1->SetRealAt(k, 0.0);
    }

    FFT1->BackwardTransform();

    QXFilt->SetDataColor(clBlue);
    QXFilt->ClearItems();
    for (Integer k = 1; k <= n / 2; ++k) QXFilt->DrawPenTo(k, FFT1->RealAt(k));
    QXFilt->ShowItems();

    if (Trace().On()) Trace().Line("recompute " + std::to_string(p));
}

}  // namespace kvb
