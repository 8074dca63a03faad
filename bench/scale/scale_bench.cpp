// Speed of the scale: a full transparent paint of a numeric and of a date axis, the mapping of
// one value and the 1-2-5 step rule, each next to a reference measured in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "scale/KVB_Scale.h"

namespace kvb {
namespace {

// A scale drawn as the chart draws its axes: transparent, embedded, onto a bitmap.
struct EmbeddedScale {
    TBitmap bitmap;
    TScale scale{nullptr};
    explicit EmbeddedScale(Integer w, Integer h) {
        bitmap.SetSize(w, h);
        scale.SetBounds(0, 0, w, h);
        scale.SetTargetCanvas(bitmap.Canvas(), 0, 0);
        scale.SetEmbedded(true);
        scale.SetTransparent(true);
    }
};

// 400-pixel linear axis, range 0..100: six labelled major ticks (0, 20, … 100) and minor
// ticks every 5.
void BM_PaintLinearAxis(benchmark::State& state) {
    EmbeddedScale e(400, 60);
    e.scale.SetRange(0, 100);
    e.scale.PaintNow();  // fonts and glyphs into their caches
    for (auto _ : state) {
        e.scale.PaintNow();
        benchmark::DoNotOptimize(e.bitmap.Bits());
    }
    state.counters["ticks"] = e.scale.NumTicks();
}
BENCHMARK(BM_PaintLinearAxis);

// 400-pixel date axis over ten days: the day pass, 3-day labelled steps and daily minor ticks.
void BM_PaintDayAxis(benchmark::State& state) {
    EmbeddedScale e(400, 60);
    const double jan5 = EncodeDate(2024, 1, 5);
    e.scale.SetRange(jan5, jan5 + 10);
    e.scale.SetLabelType(ftDateTime);
    e.scale.PaintNow();
    for (auto _ : state) {
        e.scale.PaintNow();
        benchmark::DoNotOptimize(e.bitmap.Bits());
    }
    state.counters["ticks"] = e.scale.NumTicks();
}
BENCHMARK(BM_PaintDayAxis);

// Reference for the paints: filling the same 400 x 60 bitmap once with memset.
void BM_ReferenceFill400x60(benchmark::State& state) {
    TBitmap b;
    b.SetSize(400, 60);
    for (auto _ : state) {
        std::memset(b.Bits(), 0x7F, sizeof(std::uint32_t) * 400 * 60);
        benchmark::DoNotOptimize(b.Bits());
    }
}
BENCHMARK(BM_ReferenceFill400x60);

void BM_ValueToPixel(benchmark::State& state) {
    TScale s(nullptr);
    s.SetRange(-7, 7);
    double v = 0.123;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.ValueToPixel(v));
        v += 0.001;
        if (v > 7) v = -7;
    }
}
BENCHMARK(BM_ValueToPixel);

// Reference for the mapping: a bare multiply-add in double and a round to int.
void BM_ReferenceMulAddRound(benchmark::State& state) {
    const double factor = 25.6, offset = 200.3;
    double v = 0.123;
    for (auto _ : state) {
        benchmark::DoNotOptimize(static_cast<int>(std::lrint(factor * v + offset)));
        v += 0.001;
        if (v > 7) v = -7;
    }
}
BENCHMARK(BM_ReferenceMulAddRound);

void BM_NiceTickStep(benchmark::State& state) {
    double high = 1;
    for (auto _ : state) {
        Extended first, step;
        Word sub;
        NiceTickStep(3, 0, high, first, step, sub);
        benchmark::DoNotOptimize(first);
        benchmark::DoNotOptimize(step);
        high = high > 1e6 ? 1 : high * 1.37;
    }
}
BENCHMARK(BM_NiceTickStep);

// Reference for the step rule: one extended-precision log10.
void BM_ReferenceLog10(benchmark::State& state) {
    long double x = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::log10(x));
        x = x > 1e6L ? 1 : x * 1.37L;
    }
}
BENCHMARK(BM_ReferenceLog10);

}  // namespace
}  // namespace kvb
