// Pens, brushes, the canvas's drawing operations, bitmaps and the printer. The pixels are
// produced by the rasteriser in raster/; this file holds the framework's rules: which
// primitive a call becomes, which ink it uses, and what a bad argument means.
#include "platform/graphics/Graphics.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "platform/graphics/raster/Raster.h"
#include "platform/graphics/raster/Shapes.h"

namespace kvb {

using raster::Ink;
using raster::Target;

// ---------------------------------------------------------------------------------------
// Graphics objects

const TClassInfo& TGraphicsObject::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TGraphicsObject>("TGraphicsObject", &TPersistent::StaticClassInfo()).Build());
    return info;
}

void TGraphicsObject::Changed() {
    if (onChange_) onChange_(this);
}

const TClassInfo& TPen::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TPen>("TPen", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TPen::Color, &TPen::SetColor)
            .Enum("Mode", &TPen::Mode, &TPen::SetMode)
            .Enum("Style", &TPen::Style, &TPen::SetStyle)
            .Int("Width", &TPen::Width, &TPen::SetWidth)
            .Build());
    return info;
}

TPen::TPen() = default;

void TPen::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    pixel_ = ColorToPixel(value);
    Changed();
}

void TPen::SetWidth(Integer value) {
    value = std::max<Integer>(value, 1);
    if (value == width_) return;
    width_ = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (value > psInsideFrame || value == style_) return;
    style_ = value;
    Changed();
}

void TPen::SetMode(TPenMode value) {
    if (value > pmNotXor || value == mode_) return;
    mode_ = value;
    Changed();
}

// Like the framework's graphics objects, a pen or brush that takes over another's settings
// tells its owner, which may have to redraw.
void TPen::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TPen*>(Source)) {
        color_ = src->color_;
        pixel_ = src->pixel_;
        width_ = src->width_;
        style_ = src->style_;
        mode_ = src->mode_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

const TClassInfo& TBrush::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TBrush>("TBrush", &TGraphicsObject::StaticClassInfo())
            .Color("Color", &TBrush::Color, &TBrush::SetColor)
            .Enum("Style", &TBrush::Style, &TBrush::SetStyle)
            .Build());
    return info;
}

TBrush::TBrush() = default;

void TBrush::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    pixel_ = ColorToPixel(value);
    Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value > bsClear || value == style_) return;
    style_ = value;
    Changed();
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TBrush*>(Source)) {
        color_ = src->color_;
        pixel_ = src->pixel_;
        style_ = src->style_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

// ---------------------------------------------------------------------------------------
// Canvas

namespace {

// Normalised box of two corners, right and bottom excluded, in 64 bits.
raster::Box BoxOf(Integer x1, Integer y1, Integer x2, Integer y2) noexcept {
    return {std::min<Int64>(x1, x2), std::min<Int64>(y1, y2), std::max<Int64>(x1, x2),
            std::max<Int64>(y1, y2)};
}

Ink PenInk(const TCanvas& c) noexcept { return Ink::For(c.Pen()->Mode(), c.Pen()->Pixel()); }
// Areas take the pen's mode too, as the framework's raster operation applies to every drawing
// call but FillRect.
Ink BrushInk(const TCanvas& c) noexcept { return Ink::For(c.Pen()->Mode(), c.Brush()->Pixel()); }

bool PenVisible(const TCanvas& c) noexcept { return c.Pen()->Style() != psClear; }

// The settings of a one-pixel line. The gaps of a styled line take the brush colour when the
// brush is solid and stay untouched when it is clear, as on the framework's canvas, where the
// brush decides the background mode.
struct ThinPen {
    raster::LineStyle Style;
    Ink GapInk;
    explicit ThinPen(const TCanvas& c) noexcept {
        Style.Pen = PenInk(c);
        Style.Dashes = raster::PatternFor(c.Pen()->Style());
        if (Style.Dashes.Length > 0 && c.Brush()->Style() == bsSolid) {
            GapInk = BrushInk(c);
            Style.Gap = &GapInk;
        }
    }
    ThinPen(const ThinPen&) = delete;
};

// Draws the outline of a closed or open path with the canvas's pen: one-pixel lines with the
// pattern running on from segment to segment, or a merged wide stroke.
void StrokePath(TCanvas& c, std::span<const TPoint> pts, bool closed, Int64& phase) {
    if (!PenVisible(c) || pts.size() < 2) return;
    const Target t = TCanvasAccess::TargetOf(c);
    if (t.Empty()) return;
    if (c.Pen()->Width() > 1) {
        raster::WidePolyline(t, pts, closed, c.Pen()->Width(), PenInk(c));
        return;
    }
    const ThinPen pen(c);
    const std::size_t n = pts.size(), segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const TPoint a = pts[i], b = pts[(i + 1) % n];
        raster::Line(t, a.X, a.Y, b.X, b.Y, pen.Style, phase);
    }
}

// A band between two boxes (outer minus inner), each pixel once.
void FillFrame(const Target& t, const raster::Box& outer, const raster::Box& inner, const Ink& ink) {
    if (inner.Empty()) {
        raster::FillBox(t, outer, ink);
        return;
    }
    raster::FillBox(t, {outer.X0, outer.Y0, outer.X1, inner.Y0}, ink);
    raster::FillBox(t, {outer.X0, inner.Y1, outer.X1, outer.Y1}, ink);
    raster::FillBox(t, {outer.X0, inner.Y0, inner.X0, inner.Y1}, ink);
    raster::FillBox(t, {inner.X1, inner.Y0, outer.X1, inner.Y1}, ink);
}

}  // namespace

const TClassInfo& TCanvas::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TCanvas>("TCanvas", &TPersistent::StaticClassInfo()).Build());
    return info;
}

TCanvas::TCanvas()
    : pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()), font_(std::make_unique<TFont>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetPenPos(TPoint value) noexcept { MoveTo(value.X, value.Y); }

// A move starts a new figure: the pen pattern starts again, while consecutive LineTo calls
// carry it on like the segments of one polyline.
void TCanvas::MoveTo(Integer X, Integer Y) noexcept {
    penPos_ = {X, Y};
    patternPhase_ = 0;
}

void TCanvas::LineTo(Integer X, Integer Y) {
    const TPoint from = penPos_;
    penPos_ = {X, Y};
    const TPen& pen = *pen_;
    if (pen.Style() == psClear) return;
    const Target t = TCanvasAccess::TargetOf(*this);
    if (t.Empty()) return;
    if (pen.Width() == 1 && pen.Mode() == pmCopy && (pen.Style() == psSolid || pen.Style() == psInsideFrame)) {
        raster::SolidCopyLine(t, from.X, from.Y, X, Y, pen.Pixel());
        return;
    }
    const std::array<TPoint, 2> pts{from, penPos_};
    Int64 phase = patternPhase_;
    StrokePath(*this, pts, false, phase);
    patternPhase_ = static_cast<Integer>(phase);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    Int64 phase = 0;
    StrokePath(*this, points, false, phase);
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.empty()) return;
    const Target t = TCanvasAccess::TargetOf(*this);
    if (t.Empty()) return;
    if (brush_->Style() == bsSolid) raster::FillPolygon(t, points, BrushInk(*this));
    Int64 phase = 0;
    StrokePath(*this, points, true, phase);
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
    const Target t = TCanvasAccess::TargetOf(*this);
    const raster::Box box = BoxOf(X1, Y1, X2, Y2);
    if (t.Empty() || box.Empty()) return;
    if (brush_->Style() == bsSolid) raster::FillBox(t, box, BrushInk(*this));
    if (!PenVisible(*this)) return;
    const Integer w = pen_->Width();
    if (w > 1) {
        // Wide frames are centred on the one-pixel frame, or lie inside the box for
        // psInsideFrame; corners are square.
        const Int64 grow = pen_->Style() == psInsideFrame ? 0 : w / 2;
        const raster::Box outer{box.X0 - grow, box.Y0 - grow, box.X1 + grow, box.Y1 + grow};
        const raster::Box inner{outer.X0 + w, outer.Y0 + w, outer.X1 - w, outer.Y1 - w};
        FillFrame(t, outer, inner, PenInk(*this));
        return;
    }
    // The frame as one closed path, so that a pattern runs round it and XOR touches every
    // pixel once; a box one pixel thin is a single line.
    const ThinPen pen(*this);
    Int64 phase = 0;
    const Int64 r = box.X1 - 1, b = box.Y1 - 1;
    if (box.X0 == r || box.Y0 == b) {
        raster::Line(t, box.X0, box.Y0, box.X0 == r ? r : box.X1, box.X0 == r ? box.Y1 : b, pen.Style, phase);
        return;
    }
    raster::Line(t, box.X0, box.Y0, r, box.Y0, pen.Style, phase);
    raster::Line(t, r, box.Y0, r, b, pen.Style, phase);
    raster::Line(t, r, b, box.X0, b, pen.Style, phase);
    raster::Line(t, box.X0, b, box.X0, box.Y0, pen.Style, phase);
}

void TCanvas::FillRect(const TRect& r) {
    // Unlike Rectangle, a reversed rectangle is empty here, as on the framework's canvas.
    if (brush_->Style() != bsSolid || r.Left >= r.Right || r.Top >= r.Bottom) return;
    raster::FillBox(TCanvasAccess::TargetOf(*this), {r.Left, r.Top, r.Right, r.Bottom},
                    Ink::Copying(brush_->Pixel()));
}

void TCanvas::FrameRect(const TRect& r) {
    if (brush_->Style() != bsSolid || r.Left >= r.Right || r.Top >= r.Bottom) return;
    const raster::Box outer{r.Left, r.Top, r.Right, r.Bottom};
    FillFrame(TCanvasAccess::TargetOf(*this), outer,
              {outer.X0 + 1, outer.Y0 + 1, outer.X1 - 1, outer.Y1 - 1}, Ink::Copying(brush_->Pixel()));
}

// Ellipse outlines are always solid: the dash patterns are defined along straight lines.
void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
    const Target t = TCanvasAccess::TargetOf(*this);
    const raster::Box box = BoxOf(X1, Y1, X2, Y2);
    if (t.Empty() || box.Empty()) return;
    const raster::EllipseShape e{box.X0, box.Y0, box.X1, box.Y1};
    const Ink brush = BrushInk(*this), pen = PenInk(*this);
    raster::DrawEllipse(t, e, brush_->Style() == bsSolid ? &brush : nullptr, PenVisible(*this) ? &pen : nullptr,
                        pen_->Width(), pen_->Style() == psInsideFrame);
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
                  Integer Y4) {
    const Target t = TCanvasAccess::TargetOf(*this);
    const raster::Box box = BoxOf(X1, Y1, X2, Y2);
    if (t.Empty() || box.Empty() || !PenVisible(*this)) return;
    raster::EllipseArc(t, {box.X0, box.Y0, box.X1, box.Y1}, pen_->Width(), X3, Y3, X4, Y4, PenInk(*this));
}

TColor TCanvas::Pixels(Integer X, Integer Y) const noexcept {
    if (surface_.Bits == nullptr || X < 0 || Y < 0 || X >= surface_.Width || Y >= surface_.Height)
        return 0xFFFFFFFFu;
    return PixelToColor(surface_.Bits[Int64(Y) * surface_.Stride + X]);
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor value) noexcept {
    const Target t = TCanvasAccess::TargetOf(*this);
    if (t.Empty() || !t.Clip.Contains(X, Y)) return;
    *t.At(X, Y) = ColorToPixel(value);
}

void TCanvas::Draw(Integer X, Integer Y, const TBitmap* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    const raster::Source src{graphic->Bits(), graphic->Width(), graphic->Height(), graphic->Stride()};
    raster::StretchCopy(TCanvasAccess::TargetOf(*this), X, Y, Int64(X) + graphic->Width(),
                        Int64(Y) + graphic->Height(), src, 0, 0, graphic->Width(), graphic->Height());
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    const raster::Source src{graphic->Bits(), graphic->Width(), graphic->Height(), graphic->Stride()};
    raster::StretchCopy(TCanvasAccess::TargetOf(*this), dest.Left, dest.Top, dest.Right, dest.Bottom, src,
                        0, 0, graphic->Width(), graphic->Height());
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas* source, const TRect& sourceRect) {
    if (source == nullptr) return;
    const TSurface& s = source->surface_;
    const raster::Source src{s.Bits, s.Width, s.Height, s.Stride};
    raster::StretchCopy(TCanvasAccess::TargetOf(*this), dest.Left, dest.Top, dest.Right, dest.Bottom, src,
                        sourceRect.Left, sourceRect.Top, sourceRect.Right, sourceRect.Bottom);
}

// The clip rectangle is kept inside the surface, so that everyone who reads it may draw
// anywhere in it; an empty clip is an empty rectangle at its clamped top-left corner.
void TCanvas::SetClipRect(const TRect& r) noexcept {
    const Integer w = std::max<Integer>(surface_.Width, 0), h = std::max<Integer>(surface_.Height, 0);
    TRect c{std::clamp<Integer>(r.Left, 0, w), std::clamp<Integer>(r.Top, 0, h),
            std::clamp<Integer>(r.Right, 0, w), std::clamp<Integer>(r.Bottom, 0, h)};
    if (c.Right < c.Left) c.Right = c.Left;
    if (c.Bottom < c.Top) c.Bottom = c.Top;
    clipRect_ = c;
    clipSet_ = true;
}

void TCanvas::ResetClipRect() noexcept {
    clipRect_ = {0, 0, std::max<Integer>(surface_.Width, 0), std::max<Integer>(surface_.Height, 0)};
    clipSet_ = false;
}

// New pixels of another size are a new device, which starts without a clip, as a freshly
// created device context does; the same size (pixels moved) keeps it.
void TCanvas::SetSurface(const TSurface& surface) noexcept {
    const bool sameSize = surface.Width == surface_.Width && surface.Height == surface_.Height;
    surface_ = surface;
    if (surface_.Bits == nullptr || surface_.Width <= 0 || surface_.Height <= 0 || surface_.Stride < surface_.Width) {
        surface_ = TSurface{};
        ResetClipRect();
        return;
    }
    if (!sameSize || !clipSet_) ResetClipRect();
}

// ---------------------------------------------------------------------------------------
// Bitmaps

namespace {
// 2^28 pixels (1 GiB): more than any window or chart needs, and little enough that a
// mistaken size fails here with a clear error rather than somewhere deep in the allocator.
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t(1) << 28;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
}  // namespace

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo& info =
        DefineClass(TClassBuilder<TBitmap>("TBitmap", &TPersistent::StaticClassInfo()).Build());
    return info;
}

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>()) { SurfaceChanged(); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(Integer width, Integer height) {
    width = std::max<Integer>(width, 0);
    height = std::max<Integer>(height, 0);
    if (width == width_ && height == height_) return;
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (count > kMaxBitmapPixels)
        throw EOutOfMemory("Not enough memory for a bitmap of " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels");
    std::vector<std::uint32_t> pixels;
    try {
        pixels.assign(static_cast<std::size_t>(count), kWhite);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Not enough memory for a bitmap of " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels");
    }
    const Integer keepW = std::min(width, width_), keepH = std::min(height, height_);
    for (Integer y = 0; y < keepH; ++y)
        std::copy_n(pixels_.data() + std::size_t(y) * std::size_t(width_), keepW,
                    pixels.data() + std::size_t(y) * std::size_t(width));
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    SurfaceChanged();
}

void TBitmap::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TBitmap*>(Source)) {
        if (src == this) return;
        std::vector<std::uint32_t> pixels;
        try {
            pixels = src->pixels_;
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Not enough memory for a bitmap of " + std::to_string(src->width_) + " x " +
                               std::to_string(src->height_) + " pixels");
        }
        pixels_.swap(pixels);
        width_ = src->width_;
        height_ = src->height_;
        SurfaceChanged();
        return;
    }
    TPersistent::Assign(Source);
}

void TBitmap::SurfaceChanged() noexcept {
    if (Empty())
        canvas_->SetSurface(TSurface{});
    else
        canvas_->SetSurface(TSurface{pixels_.data(), width_, height_, width_});
}

// ---------------------------------------------------------------------------------------
// Printer and device capabilities

namespace {
// An A4 page at 600 dots per inch. The page holds no pixels: nothing is ever printed, and a
// canvas without pixels ignores what is drawn on it.
constexpr Integer kPrinterDpi = 600, kPageWidth = 4961, kPageHeight = 7016;
Integer gScreenPixelsPerInch = 96;
}  // namespace

TPrinter::TPrinter() : page_(std::make_unique<TBitmap>()) { page_->Canvas()->SetPixelsPerInch(kPrinterDpi); }
TPrinter::~TPrinter() = default;
TCanvas* TPrinter::Canvas() const noexcept { return page_->Canvas(); }
Integer TPrinter::PageWidth() const noexcept { return kPageWidth; }
Integer TPrinter::PageHeight() const noexcept { return kPageHeight; }

// Never destroyed: code may ask for the printer while other statics are being torn down.
TPrinter* Printer() {
    static TPrinter* printer = new TPrinter;
    return printer;
}

Integer GetDeviceCaps(const TCanvas* canvas, Integer index) noexcept {
    const bool printer = canvas != nullptr && canvas == Printer()->Canvas();
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY: return printer ? kPrinterDpi : gScreenPixelsPerInch;
        case HORZRES: return printer ? kPageWidth : 1920;
        case VERTRES: return printer ? kPageHeight : 1080;
        default: return 0;
    }
}

Integer ScreenPixelsPerInch() noexcept { return gScreenPixelsPerInch; }

void SetScreenPixelsPerInch(Integer value) noexcept {
    if (value > 0) gScreenPixelsPerInch = value;
}

KVB_REGISTER_CLASS(TPen);
KVB_REGISTER_CLASS(TBrush);

}  // namespace kvb
