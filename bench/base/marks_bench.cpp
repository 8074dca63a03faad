// Mark symbols: a pixel pattern, a 7 x 7 filled symbol and a character mark, each beside a
// plain memory loop writing the same number of pixels, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "base/KVB_kvbbase.h"

namespace kvb {
namespace {

std::unique_ptr<TBitmap> Sheet() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(256, 256);
    bmp->Canvas()->Pen()->SetColor(clRed);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    return bmp;
}

// Moves the centre around a little so that every call writes fresh pixels of one area.
Integer Wobble(std::uint32_t i) { return 100 + static_cast<Integer>(i & 15); }

void BM_MarkPattern(benchmark::State& state) {
    const Byte code = static_cast<Byte>(state.range(0));
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::uint32_t i = 0;
    for (auto _ : state) {
        DrawMark(c, code, Wobble(i), 120);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_MarkPattern)->Arg(18)->Arg(3)->Arg(1);

void BM_MarkFilled7x7(benchmark::State& state) {
    const Byte code = static_cast<Byte>(state.range(0));
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::uint32_t i = 0;
    for (auto _ : state) {
        DrawMark(c, code, Wobble(i), 120);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_MarkFilled7x7)->Arg(9)->Arg(24)->Arg(15)->Arg(36);

void BM_MarkCharacter(benchmark::State& state) {
    const Byte code = static_cast<Byte>(state.range(0));
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    DrawMark(c, code, 100, 120);  // resolves and caches the face and the glyph
    std::uint32_t i = 0;
    for (auto _ : state) {
        DrawMark(c, code, Wobble(i), 120);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_MarkCharacter)->Arg(65)->Arg(203);

// References: the same number of pixels written straight into the bitmap's memory, 25 for
// the checkerboard pattern and 49 for the 7 x 7 square.
void BM_RefPixels25(benchmark::State& state) {
    auto bmp = Sheet();
    std::uint32_t* bits = bmp->Bits();
    const Integer stride = bmp->Stride();
    const std::uint32_t pixel = ColorToPixel(clRed);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer x0 = Wobble(i) - 3;
        for (Integer y = 0; y < 7; ++y)
            for (Integer x = (y & 1); x < 7; x += 2) bits[(117 + y) * stride + x0 + x] = pixel;
        benchmark::ClobberMemory();
        ++i;
    }
}
BENCHMARK(BM_RefPixels25);

void BM_RefFill49(benchmark::State& state) {
    auto bmp = Sheet();
    std::uint32_t* bits = bmp->Bits();
    const Integer stride = bmp->Stride();
    const std::uint32_t pixel = ColorToPixel(clRed);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer x0 = Wobble(i) - 3;
        for (Integer y = 0; y < 7; ++y)
            for (Integer x = 0; x < 7; ++x) bits[(117 + y) * stride + x0 + x] = pixel;
        benchmark::ClobberMemory();
        ++i;
    }
}
BENCHMARK(BM_RefFill49);

// The canvas's own 7 x 7 filled ellipse and polygon: what the filled circle and triangle
// marks add on top of the primitive they are drawn with.
void BM_RefEllipse7(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clRed);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer X = Wobble(i);
        c->Ellipse(X - 3, 117, X + 4, 124);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_RefEllipse7);

void BM_RefTriangle(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clRed);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer X = Wobble(i);
        const TPoint pts[3] = {{X - 4, 123}, {X, 116}, {X + 4, 123}};
        c->Polygon(pts);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_RefTriangle);

// The canvas's own text output of the same character: what the mark adds on top of it.
void BM_RefTextOut(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    c->TextOut(100, 120, "A");
    std::uint32_t i = 0;
    for (auto _ : state) {
        c->TextOut(Wobble(i), 114, "A");
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_RefTextOut);

}  // namespace
}  // namespace kvb
