// Polygon fill: scanlines through the lattice points, crossings rounded up (top-left rule),
// even-odd pairing. Work is bounded by the clipped rows times the edges.
//
// Each edge walks down the scanlines keeping its crossing as a whole part and a remainder, so
// a row costs an addition per edge instead of a division; the one division an edge needs is
// taken where it enters the clip box. Small polygons (the marks) walk one edge at a time into
// a table of crossings per row, then fill row by row. Larger ones keep the edges crossing the
// current row sorted by crossing: from one row to the next that order changes only where
// edges cross each other, so an insertion sort mostly just checks it. Both give the same
// crossings, hence the same pixels.
#include <algorithm>
#include <vector>

#include "platform/graphics/raster/Raster.h"
#include "platform/graphics/raster/Shapes.h"

namespace kvb::raster {
namespace {

using Wide = __int128;

// An edge from (XTop, YTop) down to (XTop + DX, YTop + DY), DY > 0, covering the scanlines
// YTop <= y < YTop + DY. On the current scanline y its crossing, rounded up, is X:
//   X - XTop = ceil((y - YTop) DX / DY),  (X - XTop) DY - R = (y - YTop) DX,  0 <= R < DY.
struct Edge {
    Int64 XTop, YTop, YBot, DX, DY;
    // Set by Start: left without initial values so that the stack room costs nothing.
    Int64 X, R;
    Int64 QStep, RStep;  // DX = QStep DY + RStep, 0 <= RStep < DY

    // Places the edge on scanline y (YTop <= y < YBot).
    void Start(Int64 y) noexcept {
        QStep = DX / DY;
        RStep = DX % DY;
        if (RStep < 0) {
            --QStep;
            RStep += DY;
        }
        if (y == YTop) {
            X = XTop;
            R = 0;
            return;
        }
        // Entering the clip box part way down: the product may pass 64 bits.
        const Wide n = Wide(y - YTop) * DX;
        Wide q = n / DY;
        if (n % DY != 0 && n > 0) ++q;
        X = XTop + static_cast<Int64>(q);
        R = static_cast<Int64>(q * DY - n);
    }
    // Moves the edge down one scanline. Without a branch: whether the remainder borrows
    // follows the slope's fraction, which a branch predictor guesses badly.
    void Advance() noexcept {
        R -= RStep;
        const Int64 borrow = R >> 63;  // -1 when R went below 0, else 0
        R += DY & borrow;
        X += QStep - borrow;
    }
};

// Room for a few items on the stack, more on the heap: the marks' triangles and diamonds
// never allocate.
template <class T, std::size_t N>
class Scratch {
public:
    explicit Scratch(std::size_t n) {
        if (n > N) {
            heap_.resize(n);
            data_ = heap_.data();
        }
    }
    T* Data() noexcept { return data_; }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

private:
    T local_[N];
    std::vector<T> heap_;
    T* data_ = local_;
};

// Sorts the active edges by crossing. An insertion sort costs little on the nearly sorted
// order carried over from the row above; past a budget of moves (many edges crossing in one
// row) it hands over to a sort that stays n log n.
void SortByCrossing(Edge* a, std::size_t n) {
    std::size_t budget = 4 * n + 16;
    for (std::size_t i = 1; i < n; ++i) {
        if (a[i - 1].X <= a[i].X) continue;
        const Edge e = a[i];
        std::size_t j = i;
        while (j > 0 && a[j - 1].X > e.X) {
            a[j] = a[j - 1];
            --j;
            if (--budget == 0) {
                a[j] = e;
                std::sort(a, a + n, [](const Edge& p, const Edge& q) { return p.X < q.X; });
                return;
            }
        }
        a[j] = e;
    }
}

// The polygon of few edges and rows: each edge writes its crossings into the rows it covers,
// then each row sorts its few crossings and fills between pairs.
constexpr std::size_t kSmallEdges = 8, kSmallRows = 64;

void FillSmall(const Target& t, Edge* edges, std::size_t count, Int64 y0, Int64 y1, const Ink& ink) noexcept {
    Integer xs[kSmallRows][kSmallEdges];
    std::uint8_t n[kSmallRows] = {};
    const Int64 cx0 = t.Clip.X0, cx1 = t.Clip.X1;
    for (std::size_t i = 0; i < count; ++i) {
        Edge e = edges[i];  // a local copy stays in registers while the table is written
        const Int64 ya = std::max(e.YTop, y0), yb = std::min(e.YBot, y1);
        if (ya >= yb) continue;
        e.Start(ya);
        for (std::size_t row = static_cast<std::size_t>(ya - y0), end = static_cast<std::size_t>(yb - y0); row < end;
             ++row) {
            xs[row][n[row]++] = static_cast<Integer>(std::clamp(e.X, cx0, cx1));
            e.Advance();
        }
    }
    std::uint32_t* line = t.At(0, y0);
    for (std::size_t row = 0; row < static_cast<std::size_t>(y1 - y0); ++row, line += t.Stride) {
        Integer* x = xs[row];
        const std::size_t k = n[row];
        if (k == 2) {  // every row of a convex shape
            const Integer l = std::min(x[0], x[1]), r = std::max(x[0], x[1]);
            if (l < r) PaintRun(line + l, r - l, ink);
            continue;
        }
        for (std::size_t i = 1; i < k; ++i) {
            const Integer v = x[i];
            std::size_t j = i;
            for (; j > 0 && x[j - 1] > v; --j) x[j] = x[j - 1];
            x[j] = v;
        }
        for (std::size_t i = 0; i + 1 < k; i += 2)
            if (x[i] < x[i + 1]) PaintRun(line + x[i], x[i + 1] - x[i], ink);
    }
}

}  // namespace

void FillPolygon(const Target& t, std::span<const TPoint> points, const Ink& ink) {
    if (t.Empty() || points.size() < 3) return;
    constexpr std::size_t kLocal = 32;
    Scratch<Edge, kLocal> edgeRoom(points.size());
    Edge* edges = edgeRoom.Data();
    std::size_t count = 0;
    Int64 ymin = points[0].Y, ymax = points[0].Y;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint a = points[i], b = points[i + 1 == points.size() ? 0 : i + 1];
        ymin = std::min<Int64>(ymin, a.Y);
        ymax = std::max<Int64>(ymax, a.Y);
        if (a.Y == b.Y) continue;  // horizontal edges add no crossings
        const TPoint top = a.Y < b.Y ? a : b, bottom = a.Y < b.Y ? b : a;
        Edge& e = edges[count++];
        e.XTop = top.X;
        e.YTop = top.Y;
        e.YBot = bottom.Y;
        e.DX = Int64(bottom.X) - top.X;
        e.DY = Int64(bottom.Y) - top.Y;
    }
    const Int64 y0 = std::max(ymin, t.Clip.Y0), y1 = std::min(ymax, t.Clip.Y1);  // y < y1
    if (y0 >= y1 || count == 0) return;
    if (count <= kSmallEdges && y1 - y0 <= Int64(kSmallRows)) {
        FillSmall(t, edges, count, y0, y1, ink);
        return;
    }
    std::sort(edges, edges + count, [](const Edge& a, const Edge& b) { return a.YTop < b.YTop; });

    // The edges crossing the current row, held by value so that each row's passes over them
    // run through contiguous memory.
    Scratch<Edge, kLocal> activeRoom(count);
    Edge* active = activeRoom.Data();
    std::size_t nActive = 0, next = 0;
    const Int64 cx0 = t.Clip.X0, cx1 = t.Clip.X1;
    for (Int64 y = y0; y < y1; ++y) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < nActive; ++i)
            if (active[i].YBot > y) {
                if (kept != i) active[kept] = active[i];
                ++kept;
            }
        nActive = kept;
        for (; next < count && edges[next].YTop <= y; ++next) {
            if (edges[next].YBot <= y) continue;  // ended above the clip box
            active[nActive] = edges[next];
            active[nActive++].Start(y);
        }
        SortByCrossing(active, nActive);
        std::uint32_t* row = t.At(0, y);
        // Pixels from the first lattice x at or right of one crossing up to, not including, that
        // of the next: a point exactly on an edge counts for the span starting there.
        for (std::size_t i = 0; i + 1 < nActive; i += 2) {
            const Int64 l = std::clamp(active[i].X, cx0, cx1), r = std::clamp(active[i + 1].X, cx0, cx1);
            if (l < r) PaintRun(row + l, r - l, ink);
        }
        for (std::size_t i = 0; i < nActive; ++i) active[i].Advance();
    }
}

}  // namespace kvb::raster
