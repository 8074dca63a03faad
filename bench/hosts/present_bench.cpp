// Presenting a custom control's 417 x 169 surface in the Qt host (offscreen platform).
//
//   BM_PresentBlit      what a paint does with the surface: one drawImage of the RGB32
//                       image wrapping our pixels onto an RGB32 backing image
//   BM_PresentRepaint   the whole widget repaint through Qt (paint event, backing store)
//   BM_ConvertingBlit   the same blit from a format Qt must convert (why surfaces are RGB32)
//   BM_ReferenceCopy    a plain copy of the same pixels, the reference for the ratios
// Target: at most 50 us per paint.
#include <benchmark/benchmark.h>

// Without Qt (the Qt host not built) there is nothing to measure here.
#if __has_include(<QApplication>)
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/hosts/qt/QtHost.h"

namespace kvb {
namespace {

constexpr int kW = 417, kH = 169;

class TFilled : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clAqua);
        Canvas()->FillRect(ClientRect());
    }
};

struct TSetup {
    TSetup() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        host = new TQtHost(argc, argv);
        form = new TForm(Application());
        form->SetBounds(0, 0, kW + 20, kH + 20);
        control = new TFilled(form);
        control->SetParent(form);
        control->SetBounds(10, 10, kW, kH);
        form->Show();
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        for (QWidget* w : QApplication::allWidgets())
            if (w->width() == kW && w->height() == kH) widget = w;
    }
    int argc = 1;
    char name[16] = "present_bench";
    char* argv[2] = {name, nullptr};
    TQtHost* host = nullptr;
    TForm* form = nullptr;
    TFilled* control = nullptr;
    QWidget* widget = nullptr;
};

TSetup& Setup() {
    static TSetup* s = new TSetup();
    return *s;
}

void BM_PresentBlit(benchmark::State& state) {
    const TSurface s = Setup().control->Canvas()->Surface();
    QImage backing(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage wrapped(reinterpret_cast<const uchar*>(s.Bits), s.Width, s.Height, s.Stride * 4, QImage::Format_RGB32);
        QPainter p(&backing);
        p.drawImage(QPoint(0, 0), wrapped);
        p.end();
        benchmark::DoNotOptimize(backing.constBits());
    }
}
BENCHMARK(BM_PresentBlit);

void BM_PresentRepaint(benchmark::State& state) {
    QWidget* w = Setup().widget;
    if (w == nullptr) {
        state.SkipWithError("surface widget not found");
        return;
    }
    for (auto _ : state) w->repaint();
}
BENCHMARK(BM_PresentRepaint);

void BM_ConvertingBlit(benchmark::State& state) {
    std::vector<std::uint8_t> rgb(std::size_t(kW) * kH * 3, 0x80);
    QImage backing(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage wrapped(rgb.data(), kW, kH, kW * 3, QImage::Format_RGB888);
        QPainter p(&backing);
        p.drawImage(QPoint(0, 0), wrapped);
        p.end();
        benchmark::DoNotOptimize(backing.constBits());
    }
}
BENCHMARK(BM_ConvertingBlit);

void BM_ReferenceCopy(benchmark::State& state) {
    std::vector<std::uint32_t> src(std::size_t(kW) * kH, 0xFF00FFFFu), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReferenceCopy);

}  // namespace
}  // namespace kvb

#endif  // Qt available
