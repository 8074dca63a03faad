// Rasteriser speed against plain loops measured in the same run:
//   - 1,000,000 LineTo segments of 1 to 10 pixels vs a minimal Bresenham loop into a plain
//     buffer (counter "ratio" of BM_LineTo_vs_Bresenham: target at most 1.5);
//   - FillRect of 800 x 600 vs std::fill_n of as many pixels (items/s are pixels/s: target at
//     least 1 Gpixel/s);
//   - a line with coordinates in the billions (target under 10 us).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace {

using namespace kvb;

constexpr Integer W = 800, H = 600;
constexpr int kSegments = 1000000;

// A random walk of short segments that stays on the bitmap.
const std::vector<TPoint>& Walk() {
    static const std::vector<TPoint> pts = [] {
        std::mt19937 rng(42);
        std::vector<TPoint> p;
        p.reserve(kSegments + 1);
        Integer x = W / 2, y = H / 2;
        p.push_back({x, y});
        for (int i = 0; i < kSegments; ++i) {
            const Integer len = 1 + static_cast<Integer>(rng() % 10);
            const Integer other = static_cast<Integer>(rng() % (2 * len + 1)) - len;
            Integer dx = len, dy = other;
            if (rng() & 1) std::swap(dx, dy);
            if (rng() & 2) dx = -dx;
            if (rng() & 4) dy = -dy;
            if (x + dx < 0 || x + dx >= W) dx = -dx;
            if (y + dy < 0 || y + dy >= H) dy = -dy;
            x += dx;
            y += dy;
            p.push_back({x, y});
        }
        return p;
    }();
    return pts;
}

void DrawWithCanvas(TCanvas* c, const std::vector<TPoint>& p) {
    c->MoveTo(p[0].X, p[0].Y);
    for (std::size_t i = 1; i < p.size(); ++i) c->LineTo(p[i].X, p[i].Y);
}

// The reference: the textbook integer Bresenham loop, end point left out.
void DrawReference(std::uint32_t* buf, const std::vector<TPoint>& p, std::uint32_t colour) {
    for (std::size_t i = 1; i < p.size(); ++i) {
        Integer x = p[i - 1].X, y = p[i - 1].Y;
        const Integer x1 = p[i].X, y1 = p[i].Y;
        const Integer dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
        const Integer sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
        Integer err = dx + dy;
        while (x != x1 || y != y1) {
            buf[y * W + x] = colour;
            const Integer e2 = 2 * err;
            if (e2 >= dy) { err += dy; x += sx; }
            if (e2 <= dx) { err += dx; y += sy; }
        }
    }
}

void BM_LineTo(benchmark::State& state) {
    TBitmap bmp;
    bmp.SetSize(W, H);
    const auto& p = Walk();
    for (auto _ : state) {
        DrawWithCanvas(bmp.Canvas(), p);
        benchmark::DoNotOptimize(bmp.Bits());
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_LineTo)->Unit(benchmark::kMillisecond);

void BM_LineReferenceBresenham(benchmark::State& state) {
    std::vector<std::uint32_t> buf(std::size_t(W) * H, 0xFFFFFFFFu);
    const auto& p = Walk();
    for (auto _ : state) {
        DrawReference(buf.data(), p, 0xFF000000u);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_LineReferenceBresenham)->Unit(benchmark::kMillisecond);

// Both in turns, so that the ratio compares like with like on a shared machine.
void BM_LineTo_vs_Bresenham(benchmark::State& state) {
    TBitmap bmp;
    bmp.SetSize(W, H);
    std::vector<std::uint32_t> buf(std::size_t(W) * H, 0xFFFFFFFFu);
    const auto& p = Walk();
    double canvas = 0, reference = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        DrawWithCanvas(bmp.Canvas(), p);
        benchmark::DoNotOptimize(bmp.Bits());
        const auto t1 = Clock::now();
        DrawReference(buf.data(), p, 0xFF000000u);
        benchmark::DoNotOptimize(buf.data());
        const auto t2 = Clock::now();
        canvas += std::chrono::duration<double>(t1 - t0).count();
        reference += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = canvas / reference;
}
BENCHMARK(BM_LineTo_vs_Bresenham)->Unit(benchmark::kMillisecond);

void BM_FillRect(benchmark::State& state) {
    TBitmap bmp;
    bmp.SetSize(W, H);
    TCanvas* c = bmp.Canvas();
    std::uint32_t colour = 0;
    for (auto _ : state) {
        c->Brush()->SetColor(colour++ & 0xFFFFFF);
        c->FillRect(Rect(0, 0, W, H));
        benchmark::DoNotOptimize(bmp.Bits());
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMicrosecond);

void BM_FillReferenceMemory(benchmark::State& state) {
    std::vector<std::uint32_t> buf(std::size_t(W) * H);
    std::uint32_t colour = 0;
    for (auto _ : state) {
        std::fill_n(buf.data(), buf.size(), 0xFF000000u | colour++);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_FillReferenceMemory)->Unit(benchmark::kMicrosecond);

void BM_LineInTheBillions(benchmark::State& state) {
    TBitmap bmp;
    bmp.SetSize(W, H);
    TCanvas* c = bmp.Canvas();
    for (auto _ : state) {
        c->MoveTo(-2000000000, 5);
        c->LineTo(2000000000, 7);
        c->MoveTo(-2000000000, -1999999000);
        c->LineTo(2000000000, 2000001000);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_LineInTheBillions)->Unit(benchmark::kMicrosecond);

}  // namespace
