// The canvas's text operations: cell fill, anti-aliased glyphs blended in the font colour,
// underline and strike-out, all clipped to the surface and the clip rectangle.
#include <algorithm>
#include <limits>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/text/FontFace.h"

namespace kvb {

namespace {

// Coordinates are widened to 64 bits so that a text cell near the ends of the Integer range
// neither overflows nor wraps.
struct Box {
    Int64 left, top, right, bottom;
    bool Empty() const noexcept { return left >= right || top >= bottom; }
};

Box Intersect(const Box& a, const Box& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

void FillBox(const TSurface& s, const Box& b, std::uint32_t pixel) noexcept {
    if (b.Empty()) return;
    for (Int64 y = b.top; y < b.bottom; ++y)
        std::fill_n(s.Bits + y * s.Stride + b.left, b.right - b.left, pixel);
}

// Exact 8-bit linear blend: dst + (src − dst) × a / 255, rounded, per channel.
inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned a) noexcept {
    const unsigned na = 255 - a;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned t = ((src >> shift) & 0xFFu) * a + ((dst >> shift) & 0xFFu) * na + 128;
        out |= ((t + (t >> 8)) >> 8) << shift;
    }
    return out;
}

void DrawGlyph(const TSurface& s, const Box& clip, const text::Glyph& g, Int64 x, Int64 y,
               std::uint32_t pixel) noexcept {
    const Box box = Intersect(clip, {x, y, x + g.Width, y + g.Height});
    if (box.Empty()) return;
    for (Int64 row = box.top; row < box.bottom; ++row) {
        const std::uint8_t* cov = g.Coverage.data() + (row - y) * g.Width + (box.left - x);
        std::uint32_t* dst = s.Bits + row * s.Stride + box.left;
        for (Int64 col = box.left; col < box.right; ++col, ++cov, ++dst) {
            const unsigned a = *cov;
            if (a == 255)
                *dst = pixel;
            else if (a != 0)
                *dst = Blend(*dst, pixel, a);
        }
    }
}

Integer ClampToInteger(Int64 v) noexcept {
    return static_cast<Integer>(std::clamp<Int64>(v, std::numeric_limits<Integer>::min(),
                                                  std::numeric_limits<Integer>::max()));
}

}  // namespace

void TCanvas::TextOut(Integer X, Integer Y, const std::string& Text) {
    const text::FontFace& face = font_->Face();
    const Int64 width = face.TextWidth(Text);
    const Int64 x0 = X, y0 = Y;
    const Box cell{x0, y0, x0 + width, y0 + face.CellHeight()};

    Box clip{0, 0, surface_.Width, surface_.Height};
    if (clipSet_) clip = Intersect(clip, {clipRect_.Left, clipRect_.Top, clipRect_.Right, clipRect_.Bottom});
    if (surface_.Bits != nullptr && !clip.Empty()) {
        if (brush_->Style() == bsSolid) FillBox(surface_, Intersect(clip, cell), brush_->Pixel());

        // Ink stays inside the rows of the cell, so a label never smears into the text above or
        // below it; horizontally an italic overhang may leave the cell.
        const Box inkClip = Intersect(clip, {clip.left, cell.top, clip.right, cell.bottom});
        const std::uint32_t pixel = font_->Pixel();
        const Int64 baseline = y0 + face.Ascent();
        // No glyph reaches further left of its pen position than its size.
        const Int64 stopAt = inkClip.right + face.PixelSize() + face.CellHeight();
        Int64 pen = x0;
        if (!inkClip.Empty()) {
            for (const char ch : Text) {
                if (pen >= stopAt) break;
                const text::Glyph& g = face.CharGlyph(static_cast<unsigned char>(ch));
                if (g.Width > 0) DrawGlyph(surface_, inkClip, g, pen + g.Left, baseline - g.Top, pixel);
                pen += g.Advance;
            }
            const TFontStyles style = font_->Style();
            if (style.Contains(fsUnderline)) {
                const Int64 top = baseline + face.UnderlinePosition();
                FillBox(surface_, Intersect(inkClip, {cell.left, top, cell.right, top + face.LineThickness()}), pixel);
            }
            if (style.Contains(fsStrikeOut)) {
                const Int64 top = baseline - face.StrikeOutPosition();
                FillBox(surface_, Intersect(inkClip, {cell.left, top, cell.right, top + face.LineThickness()}), pixel);
            }
        }
    }
    // As on the original platform, the pen ends after the text.
    penPos_ = {ClampToInteger(x0 + width), Y};
}

Integer TCanvas::TextWidth(const std::string& Text) { return font_->Face().TextWidth(Text); }

Integer TCanvas::TextHeight(const std::string&) { return font_->Face().CellHeight(); }

}  // namespace kvb
