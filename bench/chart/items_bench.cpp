// Adding line-to items: 10,000,000 DrawPenTo calls into an empty chart, growth included, with
// the default growth step. Compare the time per item with BM_PlainRecordWrite, which writes the
// same records into memory that is already there (the floor for any store): the rest of the
// difference is the kernel handing out fresh zeroed pages while the container grows.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "chart/KVB_plotix.h"

namespace {

constexpr int kItems = 10'000'000;

void BM_DrawPenTo(benchmark::State& state) {
    kvb::TPlotix chart(nullptr);
    for (auto _ : state) {
        chart.ClearItems();
        for (int i = 0; i < kItems; ++i) chart.DrawPenTo(i, 0.5 * i);
        benchmark::DoNotOptimize(chart.ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_PlainRecordWrite(benchmark::State& state) {
    static constexpr kvb::TqxChartItem blank{};
    std::vector<kvb::TqxChartItem> items(kItems);
    for (auto _ : state) {
        for (int i = 0; i < kItems; ++i) {
            kvb::TqxChartItem& it = items[i];
            std::memcpy(static_cast<void*>(&it), &blank, sizeof it);
            it.X = i;
            it.Y = 0.5 * i;
            it.ItemKind = kvb::ikLineTo;
            it.Layer = 1;
        }
        benchmark::DoNotOptimize(items.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

}  // namespace

BENCHMARK(BM_DrawPenTo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRecordWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
