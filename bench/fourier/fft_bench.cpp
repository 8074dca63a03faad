// TFastFourier::ForwardTransform against FFTW's in-place complex transform planned with
// FFTW_ESTIMATE, same sizes, same data, same run. Compare the pairs BM_ForwardTransform/N and
// BM_FftwEstimate/N.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "fourier/KVB_fourier.h"

namespace {

// The buffer is refilled from the input every kRefill transforms (in both benchmarks alike), so
// repeated unscaled forward transforms never grow the values into infinities.
constexpr int kRefill = 16;

std::vector<double> Input(int n) {
    std::mt19937_64 gen(42);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(2 * static_cast<std::size_t>(n));
    for (double& x : v) x = dist(gen);
    return v;
}

void BM_ForwardTransform(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = Input(n);
    kvb::TFastFourier fft(nullptr);
    fft.SetSpectrumSize(n);
    double* data = const_cast<double*>(fft.Data());
    int i = 0;
    for (auto _ : state) {
        if (i++ % kRefill == 0) std::memcpy(data, input.data(), input.size() * sizeof(double));
        fft.ForwardTransform();
        benchmark::DoNotOptimize(data);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_FftwEstimate(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = Input(n);
    auto* data = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_BACKWARD, FFTW_ESTIMATE);
    int i = 0;
    for (auto _ : state) {
        if (i++ % kRefill == 0) std::memcpy(data, input.data(), input.size() * sizeof(double));
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    fftw_destroy_plan(plan);
    fftw_free(data);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int log : {10, 16, 20, 23}) b->Arg(1 << log);
    b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_ForwardTransform)->Apply(Sizes);
BENCHMARK(BM_FftwEstimate)->Apply(Sizes);
