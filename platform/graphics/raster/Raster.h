// The software rasteriser behind TCanvas, and the door (TCanvasAccess) through which the
// canvas and the text engine reach a canvas's pixels. Internal to platform/graphics.
//
// Everything here works in 64-bit coordinates: callers hand over Integer coordinates as they
// came, and no sum or difference of two of them can overflow on the way.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace kvb {
namespace raster {

// A half-open box of pixels: X0 <= x < X1, Y0 <= y < Y1.
struct Box {
    Int64 X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    constexpr bool Empty() const noexcept { return X0 >= X1 || Y0 >= Y1; }
    constexpr bool Contains(Int64 x, Int64 y) const noexcept {
        return x >= X0 && x < X1 && y >= Y0 && y < Y1;
    }
};
constexpr Box Intersect(const Box& a, const Box& b) noexcept {
    return {a.X0 > b.X0 ? a.X0 : b.X0, a.Y0 > b.Y0 ? a.Y0 : b.Y0, a.X1 < b.X1 ? a.X1 : b.X1,
            a.Y1 < b.Y1 ? a.Y1 : b.Y1};
}

// How a colour combines with the pixel under it. Every one of the 16 binary raster operations
// is, bit by bit, "keep, invert, set or clear the destination bit", so each reduces to
// result = (dst & And) ^ Xor with both masks worked out once per colour. The alpha byte is
// forced to 0xFF by the masks, so stored pixels stay 0xFFRRGGBB whatever the mode.
struct Ink {
    std::uint32_t And = 0;
    std::uint32_t Xor = 0xFF000000u;
    bool Copy = true;  // And == 0: the destination need not be read

    static Ink For(TPenMode mode, std::uint32_t pixel) noexcept;
    static Ink Copying(std::uint32_t pixel) noexcept { return {0, pixel | 0xFF000000u, true}; }
    std::uint32_t Apply(std::uint32_t dst) const noexcept { return (dst & And) ^ Xor; }
};

// Where drawing lands: the surface's pixels and the box drawing is limited to (already inside
// the surface).
struct Target {
    std::uint32_t* Bits = nullptr;
    Int64 Stride = 0;
    Box Clip;
    bool Empty() const noexcept { return Bits == nullptr || Clip.Empty(); }
    std::uint32_t* At(Int64 x, Int64 y) const noexcept { return Bits + y * Stride + x; }
};

// Applies the ink to Count pixels from p on (no clipping).
void FillSpan(std::uint32_t* p, Int64 count, const Ink& ink) noexcept;
// Applies the ink to row y from x0 to x1 inclusive, clipped to the target.
void FillRowClipped(const Target& t, Int64 y, Int64 x0, Int64 x1, const Ink& ink) noexcept;
// Applies the ink to a box, clipped to the target.
void FillBox(const Target& t, const Box& box, const Ink& ink) noexcept;

// Mixes src over dst with a coverage of 0 (keep dst) … 255 (src), channel by channel, for
// anti-aliased text; the result is opaque.
inline std::uint32_t BlendPixel(std::uint32_t dst, std::uint32_t src, unsigned coverage) noexcept {
    const std::uint32_t a = coverage, na = 255u - coverage;
    auto mix = [&](unsigned shift) {
        const std::uint32_t d = (dst >> shift) & 0xFFu, s = (src >> shift) & 0xFFu;
        const std::uint32_t v = d * na + s * a + 127u;
        return ((v + (v >> 8)) >> 8) << shift;  // exact division by 255, rounded
    };
    return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

// ---------------------------------------------------------------------------------------
// Lines one pixel wide

// The cosmetic pen patterns: pixels on, then off, alternating, starting with "on".
struct Pattern {
    std::uint32_t OnBits = 0;  // bit i set: position i of the pattern is drawn with the pen
    Int64 Length = 0;          // 0: a solid line
};
Pattern PatternFor(TPenStyle style) noexcept;

struct LineStyle {
    Ink Pen;
    Pattern Dashes;       // Length 0: solid
    const Ink* Gap = nullptr;  // the ink for the pattern's "off" pixels, or none (transparent)
};

// Draws the Bresenham line from (x0, y0) towards (x1, y1), leaving out (x1, y1). Phase is the
// position in the dash pattern; it advances by one per pixel of the line (drawn or clipped), so
// that consecutive calls continue the pattern.
//
// Tie rule: the pixel chosen in each column (or row, for steep lines) is the one nearest to the
// ideal line; when the line passes exactly half-way between two pixels, the one with the
// smaller coordinate (above, or to the left) is taken. The rule depends only on the two end
// points, not on the drawing direction, and clipping never changes which pixels a line covers.
void Line(const Target& t, Int64 x0, Int64 y0, Int64 x1, Int64 y1, const LineStyle& style,
          Int64& phase) noexcept;
// The plain case of Line (solid, one colour copied), for the common LineTo.
void SolidCopyLine(const Target& t, Int64 x0, Int64 y0, Int64 x1, Int64 y1,
                   std::uint32_t pixel) noexcept;

// ---------------------------------------------------------------------------------------
// Wide lines: pixels whose centre lies closer than Width / 2 to the segment, round ends.
// For an odd width the segment runs through the centres of its end pixels; for an even width
// it runs half a pixel up and to the left of them, so that a width-2 line covers exactly two
// rows or columns. Joints of one polyline are merged, so every pixel is drawn once.
void WidePolyline(const Target& t, std::span<const TPoint> points, bool closed, Integer width,
                  const Ink& ink);

// ---------------------------------------------------------------------------------------
// Areas

// Fills a polygon by the even-odd rule. Pixel (x, y) is sampled at the lattice point (x, y),
// the same point lines pass through; a point on an edge belongs to the polygon when the edge
// is a left or a top edge (the top-left rule), so polygons that share an edge never both
// cover, nor both miss, a pixel along it.
void FillPolygon(const Target& t, std::span<const TPoint> points, const Ink& ink);

// The pixel set of an ellipse inscribed in a box of pixels (see Ellipse.cpp for the rule).
// Row spans are symmetric, every row and column of the box is touched, the box never left.
struct EllipseShape {
    Int64 X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // the box, X1 <= x < X2, Y1 <= y < Y2
    bool Empty() const noexcept { return X1 >= X2 || Y1 >= Y2; }
    // The covered pixels of row y: Left..Right inclusive; false for an empty row.
    bool Span(Int64 y, Int64& left, Int64& right) const noexcept;
};
void FillEllipse(const Target& t, const EllipseShape& e, const Ink& ink) noexcept;
// The outline: for width 1 the pixels of the ellipse with a 4-neighbour outside it; for
// width w the ellipse of the box grown by w / 2 minus the ellipse of that box shrunk by w
// (insideFrame: the box itself minus the box shrunk by w).
void EllipseOutline(const Target& t, const EllipseShape& e, Integer width, bool insideFrame,
                    const Ink& ink);
// The part of the outline counter-clockwise (as seen on screen) from the ray through
// (sx, sy) to the ray through (ex, ey), both rays starting at the box's centre; the pixels on
// either ray belong to the arc. Equal rays draw the whole outline.
void EllipseArc(const Target& t, const EllipseShape& e, Integer width, Int64 sx, Int64 sy,
                Int64 ex, Int64 ey, const Ink& ink);

// ---------------------------------------------------------------------------------------
// Copies

// A read-only block of pixels.
struct Source {
    const std::uint32_t* Bits = nullptr;
    Int64 Width = 0, Height = 0, Stride = 0;
};
// Copies the source rectangle (sx0, sy0)-(sx1, sy1) onto the destination rectangle
// (dx0, dy0)-(dx1, dy1) by nearest neighbour (each destination pixel takes the source pixel
// under its centre), clipped to the target; source pixels outside the source are not copied.
// Source and target may be the same pixels.
void StretchCopy(const Target& t, Int64 dx0, Int64 dy0, Int64 dx1, Int64 dy1, const Source& src,
                 Int64 sx0, Int64 sy0, Int64 sx1, Int64 sy1);

}  // namespace raster

// The rasteriser's and the text engine's access to a canvas's state.
class TCanvasAccess {
public:
    // The surface and the clip rectangle (which is always inside the surface).
    static raster::Target TargetOf(const TCanvas& canvas) noexcept {
        raster::Target t;
        t.Bits = canvas.surface_.Bits;
        t.Stride = canvas.surface_.Stride;
        const TRect& c = canvas.clipRect_;
        t.Clip = {c.Left, c.Top, c.Right, c.Bottom};
        if (t.Bits == nullptr) t.Clip = {};
        return t;
    }
    static Integer& PatternPhase(TCanvas& canvas) noexcept { return canvas.patternPhase_; }
};

}  // namespace kvb
