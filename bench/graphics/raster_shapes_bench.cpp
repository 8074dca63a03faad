// Filled ellipses and polygons through the canvas, small (the 7 x 7 marks a chart draws by the
// thousand) and large, beside a plain loop writing the pixels of a 7 x 7 square into the same
// bitmap in the same run (BM_RefSquare49; BM_Mark7_vs_Square49 alternates the two and reports
// the counter "ratio"). Targets: a 7 x 7 filled ellipse or polygon, outline included, at most
// 300 ns, and in practice well under half of that.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace {

using namespace kvb;

std::unique_ptr<TBitmap> Sheet() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(800, 600);
    bmp->Canvas()->Pen()->SetColor(clRed);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    return bmp;
}

// Moves the shape around a little so that each call writes fresh pixels of one area.
Integer Wobble(std::uint32_t i) { return 100 + static_cast<Integer>(i & 15); }

void BM_RefSquare49(benchmark::State& state) {
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
BENCHMARK(BM_RefSquare49);

// Arg: box size in pixels (4, 5, 7 are the mark sizes). Arg 1: 0 brush solid, 1 brush clear.
void BM_EllipseSmall(benchmark::State& state) {
    const Integer n = static_cast<Integer>(state.range(0));
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    if (state.range(1) != 0) c->Brush()->SetStyle(bsClear);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer X = Wobble(i);
        c->Ellipse(X - 3, 117, X - 3 + n, 117 + n);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_EllipseSmall)->Args({7, 0})->Args({5, 0})->Args({4, 0})->Args({7, 1});

// A 7 x 7 ellipse cut by the bitmap's edge: the clipped path.
void BM_EllipseSmallClipped(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::uint32_t i = 0;
    for (auto _ : state) {
        c->Ellipse(-3, Wobble(i), 4, Wobble(i) + 7);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_EllipseSmallClipped);

// Arg: 0 a 300 x 200 ellipse, 1 the same with a pen 5 pixels wide, 2 one of 3000 x 2000
// mostly outside the bitmap.
void BM_EllipseLarge(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    if (state.range(0) == 1) c->Pen()->SetWidth(5);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer X = Wobble(i);
        if (state.range(0) == 2)
            c->Ellipse(X - 1500, -700, X + 1500, 1300);
        else
            c->Ellipse(X, 150, X + 300, 350);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_EllipseLarge)->Arg(0)->Arg(1)->Arg(2);

// Arg: 0 the 7 x 7 triangle mark, 1 the diamond mark, 2 the triangle with the brush clear.
void BM_PolygonSmall(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    if (state.range(0) == 2) c->Brush()->SetStyle(bsClear);
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer X = Wobble(i);
        if (state.range(0) == 1) {
            const TPoint pts[4] = {{X - 3, 120}, {X, 123}, {X + 3, 120}, {X, 117}};
            c->Polygon(pts);
        } else {
            const TPoint pts[3] = {{X - 4, 123}, {X, 116}, {X + 4, 123}};
            c->Polygon(pts);
        }
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_PolygonSmall)->Arg(0)->Arg(1)->Arg(2);

// The triangle cut by the bitmap's edge.
void BM_PolygonSmallClipped(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::uint32_t i = 0;
    for (auto _ : state) {
        const Integer Y = Wobble(i);
        const TPoint pts[3] = {{-4, Y + 7}, {0, Y}, {4, Y + 7}};
        c->Polygon(pts);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_PolygonSmallClipped);

// Arg: number of points of a star of about 500 x 500 pixels (self-crossing: even-odd holes).
void BM_PolygonLarge(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::vector<TPoint> pts;
    for (int k = 0; k < n; ++k) {
        // Every ((n - 1) / 2)-th corner of a regular n-gon: a star whose edges cross often.
        const int j = (k * ((n - 1) / 2)) % n;
        const double a = 6.283185307179586 * j / n;
        pts.push_back({400 + static_cast<Integer>(250 * std::cos(a)),
                       300 + static_cast<Integer>(250 * std::sin(a))});
    }
    std::uint32_t i = 0;
    for (auto _ : state) {
        pts[0].X = 650 + static_cast<Integer>(i & 7);
        c->Polygon(pts);
        ++i;
    }
    benchmark::DoNotOptimize(bmp->Bits());
}
BENCHMARK(BM_PolygonLarge)->Arg(5)->Arg(64);

// A 7 x 7 filled and outlined ellipse (Arg 0) or triangle (Arg 1) against the plain 49-pixel
// loop, 1000 of each in turns, so that the ratio holds on a loaded machine.
void BM_Mark7_vs_Square49(benchmark::State& state) {
    auto bmp = Sheet();
    TCanvas* c = bmp->Canvas();
    std::uint32_t* bits = bmp->Bits();
    const Integer stride = bmp->Stride();
    const std::uint32_t pixel = ColorToPixel(clRed);
    using Clock = std::chrono::steady_clock;
    double shape = 0, reference = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (std::uint32_t i = 0; i < 1000; ++i) {
            const Integer X = Wobble(i);
            if (state.range(0) == 0) {
                c->Ellipse(X - 3, 117, X + 4, 124);
            } else {
                const TPoint pts[3] = {{X - 4, 123}, {X, 116}, {X + 4, 123}};
                c->Polygon(pts);
            }
        }
        benchmark::DoNotOptimize(bmp->Bits());
        const auto t1 = Clock::now();
        for (std::uint32_t i = 0; i < 1000; ++i) {
            const Integer x0 = Wobble(i) - 3;
            for (Integer y = 0; y < 7; ++y)
                for (Integer x = 0; x < 7; ++x) bits[(117 + y) * stride + x0 + x] = pixel;
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        shape += std::chrono::duration<double>(t1 - t0).count();
        reference += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = shape / reference;
}
BENCHMARK(BM_Mark7_vs_Square49)->Arg(0)->Arg(1);

}  // namespace
