// Lines wider than one pixel: each segment is a capsule (a band with round ends); the rows of
// all capsules of one polyline are merged before filling, so joints are drawn once.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {
namespace {

using Real = long double;

struct Capsule {
    Real Px, Py, Qx, Qy;  // centre line
    Real R;               // radius
};

// The open interval of x (lo, hi) on row y inside the capsule; false when the row misses it.
bool RowInterval(const Capsule& c, Real y, Real& lo, Real& hi) noexcept {
    const Real r2 = c.R * c.R;
    lo = std::numeric_limits<Real>::infinity();
    hi = -lo;
    auto disc = [&](Real ex, Real ey) {
        const Real d = y - ey;
        if (d * d < r2) {
            const Real h = std::sqrt(r2 - d * d);
            lo = std::min(lo, ex - h);
            hi = std::max(hi, ex + h);
        }
    };
    disc(c.Px, c.Py);
    disc(c.Qx, c.Qy);
    // The band between the ends: distance to the centre line below R and the foot of the
    // perpendicular between the two ends.
    const Real ex = c.Qx - c.Px, ey = c.Qy - c.Py;
    const Real L2 = ex * ex + ey * ey;
    const Real L = std::sqrt(L2);
    const Real dy = y - c.Py;
    Real blo = -std::numeric_limits<Real>::infinity(), bhi = -blo;
    // |(x - Px) ey - dy ex| < R L
    if (ey == 0) {
        if (!(std::fabs(dy * ex) < c.R * L)) return lo < hi;
    } else {
        Real a = (dy * ex - c.R * L) / ey, b = (dy * ex + c.R * L) / ey;
        if (a > b) std::swap(a, b);
        blo = std::max(blo, c.Px + a);
        bhi = std::min(bhi, c.Px + b);
    }
    // 0 <= (x - Px) ex + dy ey <= L2
    if (ex == 0) {
        const Real s = dy * ey;
        if (s < 0 || s > L2) return lo < hi;
    } else {
        Real a = (-dy * ey) / ex, b = (L2 - dy * ey) / ex;
        if (a > b) std::swap(a, b);
        blo = std::max(blo, c.Px + a);
        bhi = std::min(bhi, c.Px + b);
    }
    if (blo < bhi) {
        lo = std::min(lo, blo);
        hi = std::max(hi, bhi);
    }
    return lo < hi;
}

}  // namespace

void WidePolyline(const Target& t, std::span<const TPoint> points, bool closed, Integer width,
                  const Ink& ink) {
    if (t.Empty() || points.size() < 2) return;
    const Real r = Real(width) / 2;
    // Odd widths centre on the pixels, even widths on the corner above and left of them.
    const Real shift = (width % 2 == 0) ? Real(0.5) : Real(0);
    std::vector<Capsule> caps;
    const std::size_t n = points.size();
    const std::size_t segments = closed ? n : n - 1;
    caps.reserve(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        const TPoint a = points[i], b = points[(i + 1) % n];
        if (a == b) continue;
        caps.push_back({Real(a.X) - shift, Real(a.Y) - shift, Real(b.X) - shift, Real(b.Y) - shift, r});
    }
    if (caps.empty()) return;

    const Box& clip = t.Clip;
    // The rows each capsule may touch, clipped.
    auto rowsOf = [&](const Capsule& c, Int64& y0, Int64& y1) {
        const Real top = std::min(c.Py, c.Qy) - r, bottom = std::max(c.Py, c.Qy) + r;
        y0 = std::max<Int64>(clip.Y0, static_cast<Int64>(std::max(std::floor(top), Real(clip.Y0) - 1)));
        y1 = std::min<Int64>(clip.Y1 - 1, static_cast<Int64>(std::min(std::ceil(bottom), Real(clip.Y1))));
    };
    Int64 first = clip.Y1, last = clip.Y0 - 1;
    for (const Capsule& c : caps) {
        Int64 y0, y1;
        rowsOf(c, y0, y1);
        if (y0 > y1) continue;
        first = std::min(first, y0);
        last = std::max(last, y1);
    }
    if (first > last) return;
    // Each row collects the intervals of the capsules over it.
    std::vector<std::vector<std::pair<Int64, Int64>>> spans(static_cast<std::size_t>(last - first + 1));
    const Real xmin = Real(clip.X0) - 1, xmax = Real(clip.X1);
    for (const Capsule& c : caps) {
        Int64 y0, y1;
        rowsOf(c, y0, y1);
        for (Int64 y = y0; y <= y1; ++y) {
            Real lo, hi;
            if (!RowInterval(c, Real(y), lo, hi)) continue;
            lo = std::clamp(lo, xmin - 1, xmax + 1);
            hi = std::clamp(hi, xmin - 1, xmax + 1);
            const Int64 a = static_cast<Int64>(std::floor(lo)) + 1;
            const Int64 b = static_cast<Int64>(std::ceil(hi)) - 1;
            if (a > b) continue;
            spans[static_cast<std::size_t>(y - first)].emplace_back(a, b);
        }
    }
    for (Int64 row = 0; row <= last - first; ++row) {
        auto& list = spans[static_cast<std::size_t>(row)];
        if (list.empty()) continue;
        std::sort(list.begin(), list.end());
        Int64 a = list[0].first, b = list[0].second;
        for (std::size_t i = 1; i <= list.size(); ++i) {
            if (i < list.size() && list[i].first <= b + 1) {
                b = std::max(b, list[i].second);
                continue;
            }
            FillRowClipped(t, first + row, a, b, ink);
            if (i < list.size()) {
                a = list[i].first;
                b = list[i].second;
            }
        }
    }
}

}  // namespace kvb::raster
