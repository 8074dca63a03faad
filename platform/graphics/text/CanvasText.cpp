// The canvas's text operations: cell fill, anti-aliased glyphs blended in the font colour,
// underline and strike-out, all clipped to the canvas's clip rectangle.
#include <algorithm>
#include <limits>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/raster/Raster.h"
#include "platform/graphics/text/FontFace.h"

namespace kvb {

namespace {

using raster::Box;
using raster::Intersect;

void DrawGlyph(const raster::Target& t, const Box& clip, const text::Glyph& g, Int64 x, Int64 y,
               std::uint32_t pixel) noexcept {
    const Box box = Intersect(clip, {x, y, x + g.Width, y + g.Height});
    if (box.Empty()) return;
    for (Int64 row = box.Y0; row < box.Y1; ++row) {
        const std::uint8_t* cov = g.Coverage.data() + (row - y) * g.Width + (box.X0 - x);
        std::uint32_t* dst = t.At(box.X0, row);
        for (Int64 col = box.X0; col < box.X1; ++col, ++cov, ++dst) {
            const unsigned a = *cov;
            if (a == 255)
                *dst = pixel;
            else if (a != 0)
                *dst = raster::BlendPixel(*dst, pixel, a);
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
    // 64-bit coordinates: a cell near the ends of the Integer range neither overflows nor wraps.
    const Int64 width = face.TextWidth(Text);
    const Int64 x0 = X, y0 = Y;
    const Box cell{x0, y0, x0 + width, y0 + face.CellHeight()};

    const raster::Target target = TCanvasAccess::TargetOf(*this);
    if (!target.Empty()) {
        if (brush_->Style() == bsSolid)
            raster::FillBox(target, cell, raster::Ink::Copying(brush_->Pixel()));

        // Ink stays inside the rows of the cell, so a label never smears into the text above or
        // below it; horizontally an italic overhang may leave the cell.
        const Box inkClip = Intersect(target.Clip, {target.Clip.X0, cell.Y0, target.Clip.X1, cell.Y1});
        if (!inkClip.Empty()) {
            const std::uint32_t pixel = font_->Pixel();
            const Int64 baseline = y0 + face.Ascent();
            // No glyph starts further left of its pen position than the size of the font.
            const Int64 stopAt = inkClip.X1 + face.PixelSize() + face.CellHeight();
            Int64 pen = x0;
            for (const char ch : Text) {
                if (pen >= stopAt) break;
                const text::Glyph& g = face.CharGlyph(static_cast<unsigned char>(ch));
                if (g.Width > 0) DrawGlyph(target, inkClip, g, pen + g.Left, baseline - g.Top, pixel);
                pen += g.Advance;
            }
            const TFontStyles style = font_->Style();
            const raster::Ink ink = raster::Ink::Copying(pixel);
            const Int64 thickness = face.LineThickness();
            if (style.Contains(fsUnderline)) {
                const Int64 top = baseline + face.UnderlinePosition();
                raster::FillBox(target, Intersect(inkClip, {cell.X0, top, cell.X1, top + thickness}), ink);
            }
            if (style.Contains(fsStrikeOut)) {
                const Int64 top = baseline - face.StrikeOutPosition();
                raster::FillBox(target, Intersect(inkClip, {cell.X0, top, cell.X1, top + thickness}), ink);
            }
        }
    }
    // As on the original platform, the pen ends after the text.
    penPos_ = {ClampToInteger(x0 + width), Y};
}

Integer TCanvas::TextWidth(const std::string& Text) { return font_->Face().TextWidth(Text); }

Integer TCanvas::TextHeight(const std::string&) { return font_->Face().CellHeight(); }

}  // namespace kvb
