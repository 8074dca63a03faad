// TFrmFilter::Recompute without rendering: the form is made but never shown, so ShowItems has
// no window to paint. One cycle stores 1024 samples, runs both transforms and adds 1,268 items.
// BM_TransformsOnly is the FFT part alone, for comparison.
#include <benchmark/benchmark.h>

#include "app/ufilter.h"
#include "platform/hosts/headless/Headless.h"

namespace {

void BM_Recompute(benchmark::State& state) {
    kvb::THeadlessHost host;
    kvb::InitializeSharedUnits();
    kvb::Application()->Initialize();
    auto* form = kvb::Application()->CreateForm<kvb::TFrmFilter>();
    for (auto _ : state) form->Recompute();
    benchmark::DoNotOptimize(form->QXFilt->ItemCount());
}

void BM_TransformsOnly(benchmark::State& state) {
    kvb::TFastFourier fft(nullptr);
    fft.SetSpectrumSize(1024);
    for (auto _ : state) {
        fft.ForwardTransform();
        fft.BackwardTransform();
    }
}

}  // namespace

BENCHMARK(BM_Recompute)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransformsOnly)->Unit(benchmark::kMicrosecond);
