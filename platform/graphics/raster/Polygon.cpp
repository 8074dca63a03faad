// Polygon fill: scanlines through the lattice points, crossings rounded up (top-left rule),
// even-odd pairing. Work is bounded by the clipped rows times the edges.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {
namespace {

using Wide = __int128;

struct Edge {
    Int64 XTop, YTop, XBot, YBot;  // YTop < YBot; the edge covers scanlines YTop <= y < YBot
};

Int64 CeilDiv64(Int64 a, Int64 b) noexcept {  // b > 0
    Int64 q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
}
Wide CeilDiv128(Wide a, Wide b) noexcept {  // b > 0
    Wide q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
}

}  // namespace

void FillPolygon(const Target& t, std::span<const TPoint> points, const Ink& ink) {
    if (t.Empty() || points.size() < 3) return;
    std::vector<Edge> edges;
    edges.reserve(points.size());
    Int64 ymin = points[0].Y, ymax = points[0].Y;
    bool small = true;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint a = points[i], b = points[(i + 1) % points.size()];
        ymin = std::min<Int64>(ymin, a.Y);
        ymax = std::max<Int64>(ymax, a.Y);
        constexpr Integer kSmall = 1 << 29;
        if (std::abs(Int64(a.X)) >= kSmall || std::abs(Int64(a.Y)) >= kSmall) small = false;
        if (a.Y == b.Y) continue;  // horizontal edges add no crossings
        if (a.Y < b.Y)
            edges.push_back({a.X, a.Y, b.X, b.Y});
        else
            edges.push_back({b.X, b.Y, a.X, a.Y});
    }
    const Int64 y0 = std::max(ymin, t.Clip.Y0), y1 = std::min(ymax, t.Clip.Y1);  // y < y1
    if (y0 >= y1 || edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.YTop < b.YTop; });

    std::vector<const Edge*> active;
    std::vector<Int64> xs;
    std::size_t next = 0;
    const Int64 cx0 = t.Clip.X0, cx1 = t.Clip.X1;
    for (Int64 y = y0; y < y1; ++y) {
        while (next < edges.size() && edges[next].YTop <= y) active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->YBot <= y; }),
                     active.end());
        xs.clear();
        for (const Edge* e : active) {
            // The first lattice x at or right of the crossing: a point exactly on the edge
            // counts for the span that starts there, not for the one that ends there.
            Int64 x;
            if (small) {
                x = e->XTop + CeilDiv64((y - e->YTop) * (e->XBot - e->XTop), e->YBot - e->YTop);
            } else {
                const Wide q = CeilDiv128(Wide(y - e->YTop) * (e->XBot - e->XTop), e->YBot - e->YTop);
                const Wide w = q + e->XTop;
                x = w < cx0 ? cx0 : (w > cx1 ? cx1 : static_cast<Int64>(w));
            }
            xs.push_back(std::clamp(x, cx0, cx1));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            if (xs[i] < xs[i + 1]) FillSpan(t.At(xs[i], y), xs[i + 1] - xs[i], ink);
    }
}

}  // namespace kvb::raster
