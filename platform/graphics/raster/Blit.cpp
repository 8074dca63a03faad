// Copies between pixel blocks: one-to-one or stretched by nearest neighbour.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/graphics/raster/Raster.h"

namespace kvb::raster {
namespace {

using Wide = __int128;

// The source index under the centre of destination pixel d (0-based within the destination
// rectangle of size dn), for a source rectangle of size sn.
Int64 MapCentre(Int64 d, Int64 dn, Int64 sn) noexcept {
    return static_cast<Int64>((Wide(2) * d + 1) * sn / (Wide(2) * dn));
}

}  // namespace

void StretchCopy(const Target& t, Int64 dx0, Int64 dy0, Int64 dx1, Int64 dy1, const Source& src,
                 Int64 sx0, Int64 sy0, Int64 sx1, Int64 sy1) {
    if (t.Empty() || src.Bits == nullptr || src.Width <= 0 || src.Height <= 0) return;
    if (dx0 >= dx1 || dy0 >= dy1 || sx0 >= sx1 || sy0 >= sy1) return;
    const Box d = Intersect(t.Clip, Box{dx0, dy0, dx1, dy1});
    if (d.Empty()) return;
    const Int64 dw = dx1 - dx0, dh = dy1 - dy0, sw = sx1 - sx0, sh = sy1 - sy0;

    // Which source column and row each clipped destination column and row takes; -1 where
    // that falls outside the source.
    std::vector<Int64> cols(static_cast<std::size_t>(d.X1 - d.X0)), rows(static_cast<std::size_t>(d.Y1 - d.Y0));
    Int64 sxMin = src.Width, sxMax = -1, syMin = src.Height, syMax = -1;
    for (Int64 x = d.X0; x < d.X1; ++x) {
        const Int64 s = sx0 + MapCentre(x - dx0, dw, sw);
        const bool in = s >= 0 && s < src.Width;
        cols[static_cast<std::size_t>(x - d.X0)] = in ? s : -1;
        if (in) sxMin = std::min(sxMin, s), sxMax = std::max(sxMax, s);
    }
    for (Int64 y = d.Y0; y < d.Y1; ++y) {
        const Int64 s = sy0 + MapCentre(y - dy0, dh, sh);
        const bool in = s >= 0 && s < src.Height;
        rows[static_cast<std::size_t>(y - d.Y0)] = in ? s : -1;
        if (in) syMin = std::min(syMin, s), syMax = std::max(syMax, s);
    }
    if (sxMax < 0 || syMax < 0) return;

    // Copying within one block: read from a snapshot of the part that is read.
    const std::uint32_t* bits = src.Bits;
    Int64 stride = src.Stride, ox = 0, oy = 0;
    std::vector<std::uint32_t> snapshot;
    const std::uint32_t* srcEnd = src.Bits + (src.Height - 1) * src.Stride + src.Width;
    const std::uint32_t* dstBegin = t.At(d.X0, d.Y0);
    const std::uint32_t* dstEnd = t.At(d.X1 - 1, d.Y1 - 1) + 1;
    if (dstBegin < srcEnd && src.Bits < dstEnd) {
        const Int64 w = sxMax - sxMin + 1, h = syMax - syMin + 1;
        snapshot.resize(static_cast<std::size_t>(w * h));
        for (Int64 y = 0; y < h; ++y)
            std::memcpy(snapshot.data() + y * w, src.Bits + (syMin + y) * src.Stride + sxMin,
                        static_cast<std::size_t>(w) * sizeof(std::uint32_t));
        bits = snapshot.data();
        stride = w;
        ox = sxMin;
        oy = syMin;
    }

    const bool oneToOne = dw == sw;
    for (Int64 y = d.Y0; y < d.Y1; ++y) {
        const Int64 sy = rows[static_cast<std::size_t>(y - d.Y0)];
        if (sy < 0) continue;
        const std::uint32_t* srow = bits + (sy - oy) * stride;
        std::uint32_t* drow = t.At(0, y);
        if (oneToOne) {
            // Columns map to a run of consecutive source pixels; copy the part inside.
            Int64 x = d.X0;
            while (x < d.X1 && cols[static_cast<std::size_t>(x - d.X0)] < 0) ++x;
            Int64 e = x;
            while (e < d.X1 && cols[static_cast<std::size_t>(e - d.X0)] >= 0) ++e;
            if (x < e)
                std::memcpy(drow + x, srow + (cols[static_cast<std::size_t>(x - d.X0)] - ox),
                            static_cast<std::size_t>(e - x) * sizeof(std::uint32_t));
            continue;
        }
        for (Int64 x = d.X0; x < d.X1; ++x) {
            const Int64 sx = cols[static_cast<std::size_t>(x - d.X0)];
            if (sx >= 0) drow[x] = srow[sx - ox];
        }
    }
}

}  // namespace kvb::raster
