// Text output in a cached font: the six-character label of an axis or chart, the case a
// repaint draws hundreds of times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace {

using namespace kvb;

struct LabelFixture {
    LabelFixture() {
        bmp.SetSize(417, 169);
        c = bmp.Canvas();
        c->Font()->SetName("MS Sans Serif");
        c->Font()->SetHeight(-13);
        c->Font()->SetColor(clBlack);
        c->TextOut(0, 0, label);  // resolve the face and rasterise the glyphs once
    }
    TBitmap bmp;
    TCanvas* c = nullptr;
    const std::string label = "Signal";
};

void BM_TextOut_Label_ClearBrush(benchmark::State& state) {
    LabelFixture f;
    f.c->Brush()->SetStyle(bsClear);
    Integer i = 0;
    for (auto _ : state) {
        f.c->TextOut(10 + (i & 63), 20 + (i & 31), f.label);
        ++i;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut_Label_ClearBrush);

void BM_TextOut_Label_SolidBrush(benchmark::State& state) {
    LabelFixture f;
    f.c->Brush()->SetStyle(bsSolid);
    f.c->Brush()->SetColor(clBtnFace);
    Integer i = 0;
    for (auto _ : state) {
        f.c->TextOut(10 + (i & 63), 20 + (i & 31), f.label);
        ++i;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut_Label_SolidBrush);

// A font that is assigned before every label, as charts do when they copy axis fonts: the
// face is looked up again by name, size and style, never resolved or rasterised again.
void BM_TextOut_Label_AfterFontAssign(benchmark::State& state) {
    LabelFixture f;
    TFont other;
    other.Assign(f.c->Font());
    other.SetColor(clRed);
    f.c->Brush()->SetStyle(bsClear);
    for (auto _ : state) {
        other.SetHeight(-12);
        other.SetHeight(-13);
        f.c->SetFont(&other);
        f.c->TextOut(10, 20, f.label);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut_Label_AfterFontAssign);

void BM_TextWidth_Label(benchmark::State& state) {
    LabelFixture f;
    for (auto _ : state) benchmark::DoNotOptimize(f.c->TextWidth(f.label));
}
BENCHMARK(BM_TextWidth_Label);

// Reference: writing the label's cell with a plain memory fill, the least any drawing of the
// label could cost.
void BM_Reference_CellFill(benchmark::State& state) {
    LabelFixture f;
    const Integer w = f.c->TextWidth(f.label), h = f.c->TextHeight(f.label);
    std::vector<std::uint32_t> buffer(417 * 169);
    for (auto _ : state) {
        for (Integer y = 20; y < 20 + h; ++y) std::fill_n(buffer.data() + y * 417 + 10, w, 0xFFF0F0F0u);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Reference_CellFill);

}  // namespace
