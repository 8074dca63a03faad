// The filter demonstration's main form: a noisy test signal, the magnitudes of its spectrum up
// to the cut-off, and the signal after the coefficients above the cut-off were cleared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/KVB_plotix.h"
#include "fourier/KVB_fourier.h"
#include "platform/controls/Controls.h"

namespace kvb {

// What the program's shared units do when they are initialised, before any form exists: seed
// the process-wide generator with 1234 and draw the tables they keep (a random permutation of
// 1..255, then three real numbers). Nothing reads those tables; the draws fix where the noise
// sequence of every run starts.
void InitializeSharedUnits();

// The stored layout of TFrmFilter, compiled into the program from app/ufilter.layout.
std::string_view FrmFilterLayout();

// Chart settings of the stored layout that TPlotix does not publish yet, as
// "TPlotix.Prop.Path". The reader skips only those of them the chart still lacks; the list
// shrinks as the chart gains its properties.
const std::vector<std::string>& PendingChartSettings();

class TFrmFilter : public TForm {
    KVB_CLASS_INFO()
public:
    explicit TFrmFilter(TComponent* AOwner);

    // The components made from the stored layout.
    TPlotix* QXSignal = nullptr;
    TPlotix* QXFFT = nullptr;
    TPlotix* QXFilt = nullptr;
    TFastFourier* FFT1 = nullptr;
    TScrollBar* SBFreqLimit = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TLabel* Label1 = nullptr;

    void FormShow(TObject* Sender);
    void SBFreqLimitChange(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);

    // New noise, forward transform, magnitudes up to the cut-off, the lines above it cleared,
    // backward transform, and all three charts filled again.
    void Recompute();

private:
    template <class T>
    T* Bind(const char* name);

    // The noise-free part of the test signal, 3·sin(0.12·i) + 1.6·cos(0.071·i) for i = 1 … N,
    // in extended precision. It is the same in every cycle, and the extended sine and cosine
    // would otherwise take most of a recompute.
    std::vector<Extended> wave_;
};

}  // namespace kvb
