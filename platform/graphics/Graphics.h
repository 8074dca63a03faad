// The graphics device: pens, brushes, fonts, a canvas with the framework's pixel rules over our
// own software rasteriser, bitmaps, and the printer's canvas.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/graphics/Color.h"
#include "platform/system/Sets.h"
#include "platform/system/System.h"

namespace kvb {

struct TPoint {
    Integer X = 0, Y = 0;
    constexpr bool operator==(const TPoint&) const noexcept = default;
};
struct TRect {
    Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr Integer Width() const noexcept { return Right - Left; }
    constexpr Integer Height() const noexcept { return Bottom - Top; }
    constexpr bool operator==(const TRect&) const noexcept = default;
};
constexpr TPoint Point(Integer x, Integer y) noexcept { return {x, y}; }
constexpr TRect Rect(Integer l, Integer t, Integer r, Integer b) noexcept { return {l, t, r, b}; }

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
KVB_ENUM_NAMES(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
               "psInsideFrame")

// The binary raster operations, in the platform's order.
enum TPenMode : std::uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
KVB_ENUM_NAMES(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
               "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge",
               "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor")

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
KVB_ENUM_NAMES(TBrushStyle, "bsSolid", "bsClear")

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
KVB_ENUM_NAMES(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };
KVB_ENUM_NAMES(TFontPitch, "fpDefault", "fpVariable", "fpFixed")

// Text alignment flags of SetTextAlign; only the top-left reference point is drawn.
constexpr Cardinal TA_LEFT = 0, TA_TOP = 0, TA_NOUPDATECP = 0;
// GetDeviceCaps indices.
constexpr Integer LOGPIXELSX = 88, LOGPIXELSY = 90, HORZRES = 8, VERTRES = 10;

// A block of 0xFFRRGGBB pixels that a canvas draws on. The owner (a bitmap, a host window)
// keeps the memory; Stride counts pixels from one row to the next.
struct TSurface {
    std::uint32_t* Bits = nullptr;
    Integer Width = 0, Height = 0;
    Integer Stride = 0;
};

// ---------------------------------------------------------------------------------------

class TGraphicsObject : public TPersistent {
    KVB_CLASS_INFO()
public:
    const TNotifyEvent& OnChange() const noexcept { return onChange_; }
    void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

protected:
    void Changed();

private:
    TNotifyEvent onChange_;
};

class TPen : public TGraphicsObject {
    KVB_CLASS_INFO()
public:
    TPen();
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    Integer Width() const noexcept { return width_; }
    void SetWidth(Integer value);  // values below 1 become 1
    TPenStyle Style() const noexcept { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const noexcept { return mode_; }
    void SetMode(TPenMode value);
    void Assign(TPersistent* Source) override;

    // The colour in the stored pixel layout, converted once when the colour is set.
    std::uint32_t Pixel() const noexcept { return pixel_; }

private:
    TColor color_ = clBlack;
    std::uint32_t pixel_ = ColorToPixel(clBlack);
    Integer width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
    KVB_CLASS_INFO()
public:
    TBrush();
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle value);
    void Assign(TPersistent* Source) override;
    std::uint32_t Pixel() const noexcept { return pixel_; }

private:
    TColor color_ = clWhite;
    std::uint32_t pixel_ = ColorToPixel(clWhite);
    TBrushStyle style_ = bsSolid;
};

namespace text {
class FontFace;  // a resolved, cached FreeType face at one pixel size and style
}

class TFont : public TGraphicsObject {
    KVB_CLASS_INFO()
public:
    TFont();
    ~TFont() override;
    // "MS Sans Serif" and other framework names map to the system sans; unknown families
    // fall back to the default sans.
    const std::string& Name() const noexcept { return name_; }
    void SetName(const std::string& value);
    // Negative: character height in pixels; positive: cell height in pixels.
    Integer Height() const noexcept { return height_; }
    void SetHeight(Integer value);
    // Points, through PixelsPerInch: Size = -Height * 72 / PixelsPerInch (rounded).
    Integer Size() const;
    void SetSize(Integer value);
    Integer PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer value);  // values below 1 are ignored
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles value);
    TFontPitch Pitch() const noexcept { return pitch_; }
    void SetPitch(TFontPitch value);
    void Assign(TPersistent* Source) override;

    std::uint32_t Pixel() const noexcept { return pixel_; }
    // The face for the current name, height and style; resolved on first use and cached.
    // Raises EFontError when the machine has no usable font at all.
    const text::FontFace& Face() const;

private:
    void FaceChanged();
    std::string name_ = "MS Sans Serif";
    Integer height_ = -11;
    Integer pixelsPerInch_ = 96;
    TColor color_ = clWindowText;
    std::uint32_t pixel_ = ColorToPixel(clWindowText);
    TFontStyles style_;
    TFontPitch pitch_ = fpDefault;
    mutable const text::FontFace* face_ = nullptr;  // owned by the font cache
};

class TBitmap;

// Draws on one surface with the framework's rules: integer coordinates, right and bottom
// edges excluded, lines without their end point, everything clipped to the surface and the
// clip rectangle; any Integer coordinate is safe.
class TCanvas : public TPersistent {
    KVB_CLASS_INFO()
public:
    TCanvas();
    ~TCanvas() override;

    TPen* Pen() const noexcept { return pen_.get(); }
    void SetPen(TPen* value) { pen_->Assign(value); }
    TBrush* Brush() const noexcept { return brush_.get(); }
    void SetBrush(TBrush* value) { brush_->Assign(value); }
    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }

    TPoint PenPos() const noexcept { return penPos_; }
    void SetPenPos(TPoint value) noexcept;
    void MoveTo(Integer X, Integer Y) noexcept;
    void LineTo(Integer X, Integer Y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);

    void TextOut(Integer X, Integer Y, const std::string& Text);
    Integer TextWidth(const std::string& Text);
    Integer TextHeight(const std::string& Text);
    Cardinal TextAlign() const noexcept { return textAlign_; }
    void SetTextAlign(Cardinal flags) noexcept { textAlign_ = flags; }

    // Outside the surface: reads give clNone's 0xFFFFFFFF (CLR_INVALID), writes are ignored.
    TColor Pixels(Integer X, Integer Y) const noexcept;
    void SetPixels(Integer X, Integer Y, TColor value) noexcept;

    void Draw(Integer X, Integer Y, const TBitmap* graphic);
    void StretchDraw(const TRect& dest, const TBitmap* graphic);
    void CopyRect(const TRect& dest, const TCanvas* source, const TRect& sourceRect);

    // Drawing is limited to the surface and this rectangle (surface coordinates).
    TRect ClipRect() const noexcept { return clipRect_; }
    void SetClipRect(const TRect& r) noexcept;
    void ResetClipRect() noexcept;

    // Dots per inch of the device the canvas draws for (96 for the screen).
    Integer PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer value) noexcept { if (value > 0) pixelsPerInch_ = value; }

    // The surface this canvas draws on; owners call SetSurface whenever their pixels move.
    const TSurface& Surface() const noexcept { return surface_; }
    void SetSurface(const TSurface& surface) noexcept;

private:
    friend class TCanvasAccess;  // the rasteriser's and the text engine's door to the state
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TFont> font_;
    TSurface surface_;
    TRect clipRect_{};
    bool clipSet_ = false;
    TPoint penPos_{};
    // Position in the pen-style pattern; a polyline carries it from segment to segment.
    Integer patternPhase_ = 0;
    Cardinal textAlign_ = 0;
    Integer pixelsPerInch_ = 96;
};

class TBitmap : public TPersistent {
    KVB_CLASS_INFO()
public:
    TBitmap();
    ~TBitmap() override;

    Integer Width() const noexcept { return width_; }
    Integer Height() const noexcept { return height_; }
    void SetWidth(Integer value) { SetSize(value, height_); }
    void SetHeight(Integer value) { SetSize(width_, value); }
    // Negative sizes count as 0. New pixels are white; kept pixels keep their place.
    // Raises EOutOfMemory (and keeps the bitmap as it was) when the pixels cannot be had.
    void SetSize(Integer width, Integer height);
    bool Empty() const noexcept { return width_ == 0 || height_ == 0; }
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

    // Rows of 0xFFRRGGBB pixels, top row first; Stride() pixels apart.
    std::uint32_t* ScanLine(Integer row) noexcept { return pixels_.data() + std::size_t(row) * std::size_t(width_); }
    const std::uint32_t* ScanLine(Integer row) const noexcept { return pixels_.data() + std::size_t(row) * std::size_t(width_); }
    std::uint32_t* Bits() noexcept { return pixels_.data(); }
    const std::uint32_t* Bits() const noexcept { return pixels_.data(); }
    Integer Stride() const noexcept { return width_; }

    // Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE4, RLE8
    // and bit fields, bottom-up and top-down. Raises EFOpenError or EInvalidGraphic; the bitmap
    // is unchanged when reading fails.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(std::istream& stream);
    // Writes a 24-bit uncompressed Windows bitmap.
    void SaveToFile(const std::string& fileName) const;
    void SaveToStream(std::ostream& stream) const;
    // Writes a PNG file (8-bit RGB).
    void SaveToPNGFile(const std::string& fileName) const;

    void Assign(TPersistent* Source) override;

private:
    void SurfaceChanged() noexcept;
    Integer width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::unique_ptr<TCanvas> canvas_;
};

// The printer: nothing prints; its canvas exists so that code can tell printer output from
// the screen's. It draws on a page bitmap of its own at PixelsPerInch 600.
class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TCanvas* Canvas() const noexcept;
    Integer PageWidth() const noexcept;
    Integer PageHeight() const noexcept;

private:
    std::unique_ptr<TBitmap> page_;
};
TPrinter* Printer();

// What GetDeviceCaps answers for the device a canvas draws on (the screen's canvases say 96
// pixels per inch, the printer's 600); nullptr means the screen.
Integer GetDeviceCaps(const TCanvas* canvas, Integer index) noexcept;
// The screen's pixels per inch (96 unless a host says otherwise).
Integer ScreenPixelsPerInch() noexcept;
void SetScreenPixelsPerInch(Integer value) noexcept;

}  // namespace kvb
