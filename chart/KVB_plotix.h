// TPlotix: a chart control that keeps drawing commands as items in world coordinates and draws
// them again at every paint. TCustomPlotix holds the logic, TPlotix publishes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/KVB_kvbbase.h"
#include "chart/TextLabel.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

namespace kvb {

// =======================================================================================
// [SECTION] Chart items

// A Pascal-style short string of at most 17 characters: a length byte, then the characters.
// Kept inline in the item so that items hold no owned memory.
struct TqxShortText {
    static constexpr std::size_t MaxLength = 17;
    Byte Length = 0;
    char Chars[MaxLength] = {};

    // Longer texts are cut to the first 17 characters.
    void Assign(std::string_view text) noexcept;
    std::string_view View() const noexcept { return {Chars, Length <= MaxLength ? Length : MaxLength}; }
    std::string Str() const { return std::string(View()); }
};

// One drawing command. A plain record: no owned data, so containers grow, copy and share as raw
// memory. The field order is part of the control's interface (the item event receives it).
struct TqxChartItem {
    double X = 0, Y = 0;
    double X2 = 0, Y2 = 0;
    TColor Color = 0;
    TColor FillColor = 0;
    TColor FrameColor1 = 0;
    TColor FrameColor2 = 0;
    TPenStyle PenStyle = psSolid;
    Integer DataTag = 0;
    // Pen width; for the two text kinds the text index (1 … 50 a long-text entry, else ShortText).
    Integer LineWidth = 0;
    Byte ItemClass = 0;
    Byte ItemKind = 0;
    Integer Layer = 0;
    bool Hollow = false;
    TFrameStyle FrameStyle = fsNone;
    TqxShortText ShortText;
    Integer IntParam1 = 0;
    Integer IntParam2 = 0;
    Integer IntParam3 = 0;
    Byte CoordMode = 0;
};
static_assert(std::is_trivially_copyable_v<TqxChartItem>);

// The kind codes of TqxChartItem::ItemKind. Codes 0, 10 and 11 draw nothing.
enum TqxItemKind : Byte {
    ikNone = 0,
    ikMark = 1,            // X,Y; IntParam3 symbol
    ikLine = 2,            // X,Y to X2,Y2
    ikLineTo = 3,          // from the pen to X,Y, joined into polylines
    ikRectangle = 4,       // corners X,Y and X2,Y2; Hollow
    ikFramedBox = 5,       // corners; FrameStyle, FrameColor1, FrameColor2
    ikBar3D = 6,           // world corners; IntParam1 angle (degrees), IntParam2 depth (pixels)
    ikText = 7,            // anchor X,Y; text index in LineWidth; IntParam1..3 size, background, alignment
    ikMoveTo = 8,          // moves the pen to X,Y
    ikEllipse = 9,         // world centre X,Y, radii X2,Y2; Hollow
    ikUnused10 = 10,
    ikUnused11 = 11,
    ikMoveRelative = 12,   // moves the pen by the pixel offset X,Y
    ikLineRelative = 13,   // a line from the pen by the pixel offset X,Y
    ikArrow = 14,          // X,Y to X2,Y2 with a head at the end; IntParam1 head length; Hollow
    ikDoubleArrow = 15,    // as ikArrow with heads at both ends
    ikOffsetText = 16,     // world anchor X,Y plus pixel offset X2,Y2; as ikText
    ikPixelBox = 17,       // world centre X,Y; IntParam1/IntParam2 half width/height in pixels
    ikErrorBarMark = 18,   // world X,Y; X2 lower, Y2 upper error; IntParam1 orientation, IntParam3 symbol
    ikShiftedLine = 19,    // world X,Y to X2,Y2 moved by IntParam1, IntParam2 pixels
    ikArc = 20,            // world centre X,Y, radii X2,Y2; IntParam1/2 angles in 1e-8 radian
    ikPixelVector = 21,    // world start X,Y, pixel vector X2,Y2
    ikVertLine = 22,       // X over the chart area's height
    ikHorizLine = 23,      // Y over the chart area's width
    ikPlusMark = 24,       // box centre and half sizes (modes 0 and 2) or pixel corners (mode 1)
};

// TqxChartItem::CoordMode: which coordinates are world values of the item's layer and which are
// pixel positions from the chart area's top-left corner. Data items always use qcmWorld.
enum TqxCoordMode : Byte {
    qcmWorld = 0,        // everything world
    qcmPixel = 1,        // everything pixel
    qcmWorldPixel = 2,   // first point world, second pixel (one-point kinds: world)
    qcmPixelWorld = 3,   // first point pixel, second world (one-point kinds: pixel)
    qcmPixelXWorldY = 4, // x pixel, y world
    qcmWorldXPixelY = 5, // x world, y pixel
};

// A growable array of items with its count. Capacity grows only in the steps the chart asks for
// and every entry a caller can reach has been written in full; the memory behind it may be
// reserved further ahead, so that growing a large container does not copy it again and again.
class TQxItemContainer {
public:
    TQxItemContainer() noexcept = default;
    ~TQxItemContainer();
    TQxItemContainer(const TQxItemContainer&) = delete;
    TQxItemContainer& operator=(const TQxItemContainer&) = delete;

    Integer Count() const noexcept { return count_; }
    Integer Capacity() const noexcept { return capacity_; }
    std::span<const TqxChartItem> Items() const noexcept {
        return {items_, static_cast<std::size_t>(count_)};
    }
    // The item at index (0 … Count−1), or nullptr.
    const TqxChartItem* Item(Integer index) const noexcept {
        return index >= 0 && index < count_ ? items_ + index : nullptr;
    }

    // Raises the capacity by step (> 0). When the memory cannot be had, raises EOutOfMemory and
    // leaves the container exactly as it was.
    void Grow(Integer step);
    // Appends a zeroed item, growing by step when full, and returns it for filling; the item
    // counts once Commit is called, so a failure in between leaves nothing half added.
    TqxChartItem& Prepare(Integer step) {
        if (count_ == capacity_) Grow(step);
        TqxChartItem& item = items_[count_];
        // A copy of a blank record compiles to a few wide stores; assigning TqxChartItem{}
        // becomes a string store whose start-up cost dominates a 104-byte record.
        std::memcpy(static_cast<void*>(&item), &kBlank, sizeof item);
        return item;
    }
    void Commit() noexcept { ++count_; }
    // Count and capacity 0; the memory is released (a block of up to 256 KiB is kept for reuse).
    void Clear() noexcept;

private:
    static constexpr TqxChartItem kBlank{};
    // Gives the memory back, whichever way it was obtained.
    void Release() noexcept;

    TqxChartItem* items_ = nullptr;
    Integer count_ = 0;
    Integer capacity_ = 0;
    std::size_t reserved_ = 0;  // entries the memory block holds
    std::size_t mappedBytes_ = 0;  // size of the page mapping behind items_, 0 for heap memory
};

namespace plotix_testing {
// Lets `successes` more container allocations succeed and makes the one after them fail as if
// the heap were exhausted; negative switches this off. For tests of the out-of-memory path.
void FailAllocationAfter(int successes) noexcept;
}  // namespace plotix_testing

// =======================================================================================
// [SECTION] The chart control

class TCustomPlotix : public TCustomControl {
    KVB_CLASS_INFO()
public:
    static constexpr Integer LayerCount = 16;
    static constexpr Integer LongTextCount = 50;
    static constexpr Integer MaxAllocSize = 1000000;

    explicit TCustomPlotix(TComponent* AOwner);
    ~TCustomPlotix() override;

    // ---- item store: state ---------------------------------------------------------
    Integer ItemCount() const noexcept { return data_->Count(); }
    Integer ItemCapacity() const noexcept { return data_->Capacity(); }
    Integer AnnotationCount() const noexcept { return annotations_->Count(); }
    Integer AnnotationCapacity() const noexcept { return annotations_->Capacity(); }
    const TQxItemContainer& DataItems() const noexcept { return *data_; }
    const TQxItemContainer& AnnotationItems() const noexcept { return *annotations_; }

    // Growth step of both containers, 1 … 1000000; other values are ignored.
    Integer AllocSize() const noexcept { return allocSize_; }
    void SetAllocSize(Integer value) noexcept;
    // While true, adding operations append to the annotation container, and their integer
    // arguments are pixel positions.
    bool AnnotationMode() const noexcept { return annotationMode_; }
    void SetAnnotationMode(bool value) noexcept { annotationMode_ = value; }

    // The current attributes copied into every new item. Setting them never repaints.
    TColor DataColor() const noexcept { return dataColor_; }
    void SetDataColor(TColor value) noexcept { dataColor_ = value; }
    TColor FillColor() const noexcept { return fillColor_; }
    void SetFillColor(TColor value) noexcept { fillColor_ = value; }
    // The same value as FillColor under the name text items use for their background.
    TColor TextBkColor() const noexcept { return fillColor_; }
    void SetTextBkColor(TColor value) noexcept { fillColor_ = value; }
    TPenStyle PenStyle() const noexcept { return penStyle_; }
    void SetPenStyle(TPenStyle value) noexcept { penStyle_ = value; }
    Byte LineWidth() const noexcept { return lineWidth_; }
    void SetLineWidth(Byte value) noexcept { lineWidth_ = value; }
    // 255 is refused, so that class 255 is never the default class.
    Byte ClassDefault() const noexcept { return classDefault_; }
    void SetClassDefault(Byte value) noexcept;
    // 1 … 16; other values are ignored.
    Integer ActiveLayer() const noexcept { return activeLayer_; }
    void SetActiveLayer(Integer value) noexcept;
    Integer DataTag() const noexcept { return dataTag_; }
    void SetDataTag(Integer value) noexcept { dataTag_ = value; }

    // ---- item store: long texts --------------------------------------------------------
    // Two tables of 50 entries (1 … 50) for texts that do not fit an item's ShortText: one for
    // data items, one for annotations. Out-of-range indices read "" and are ignored on writing.
    const std::string& DataText(Integer index) const noexcept;
    void SetDataText(Integer index, const std::string& text);
    Integer DataTextCount() const noexcept { return dataTextCount_; }
    void SetDataTextCount(Integer value) noexcept;  // clamped to 0 … 50
    const std::string& AnnotText(Integer index) const noexcept;
    void SetAnnotText(Integer index, const std::string& text);
    Integer AnnotTextCount() const noexcept { return annotTextCount_; }
    void SetAnnotTextCount(Integer value) noexcept;  // clamped to 0 … 50

    // ---- item store: operations ----------------------------------------------------------
    // Removes all data items and releases their container; annotations, long texts and the
    // current attributes stay.
    void ClearItems();
    // Removes all annotations and releases their container.
    void ClearAnnotations() noexcept;
    // Renders the containers now.
    void ShowItems();

    // Adding operations. Each appends one item with the current attributes. For data items
    // every coordinate is a world coordinate of ActiveLayer. In AnnotationMode an Integer
    // coordinate is a pixel position and a double one a world coordinate, which selects the
    // item's coordinate mode. An item that cannot be stored for lack of memory raises
    // EOutOfMemory and is not added.

    // Move-to and line-to (the pen).
    void MovePenTo(Integer X, Integer Y);
    void MovePenTo(double X, double Y);
    void MovePenTo(Integer X, double Y);
    void MovePenTo(double X, Integer Y);
    void DrawPenTo(Integer X, double Y);
    void DrawPenTo(double X, double Y);
    void DrawPenTo(Integer X, Integer Y);
    void DrawPenTo(double X, Integer Y);
    // Pen moves and lines by a pixel offset from the current pen position.
    void MovePenRel(Integer DX, Integer DY);
    void DrawPenRel(Integer DX, Integer DY);
    // A line of fixed pixel length from a world point, joined into the pen's polyline.
    void PixelVector(double X, double Y, Integer DX, Integer DY);

    // Mark symbols (DrawMark codes).
    void MarkAt(double X, double Y, Integer Symbol);
    void MarkAt(Integer X, Integer Y, Integer Symbol);
    // A mark with error bars: Lower and Upper error lengths (absolute values are used);
    // Horizontal false draws them vertically.
    void ErrorBarMark(double X, double Y, double Lower, double Upper, Integer Symbol, bool Horizontal);
    // A plus sign: world centre with world half sizes, pixel corners, or world centre with
    // pixel half sizes.
    void PlusMark(double X, double Y, double HalfWidth, double HalfHeight);
    void PlusMark(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void PlusMark(double X, double Y, Integer HalfWidth, Integer HalfHeight);

    // Straight lines between two points (coordinate modes 0 … 3).
    void Line(double X1, double Y1, double X2, double Y2);
    void Line(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void Line(double X1, double Y1, Integer X2, Integer Y2);
    void Line(Integer X1, Integer Y1, double X2, double Y2);
    // A world line moved by a pixel offset.
    void ShiftedLine(double X1, double Y1, double X2, double Y2, Integer ShiftX, Integer ShiftY);
    // Lines over the whole chart area.
    void VertLine(double X);
    void VertLine(Integer X);
    void HorizLine(double Y);
    void HorizLine(Integer Y);
    // Arrows with a head of HeadLength pixels at the end (and at the start for double arrows);
    // coordinate modes 0 … 5.
    void Arrow(double X1, double Y1, double X2, double Y2, Integer HeadLength, bool Hollow = false);
    void Arrow(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer HeadLength, bool Hollow = false);
    void Arrow(double X1, double Y1, Integer X2, Integer Y2, Integer HeadLength, bool Hollow = false);
    void Arrow(Integer X1, Integer Y1, double X2, double Y2, Integer HeadLength, bool Hollow = false);
    void Arrow(Integer X1, double Y1, Integer X2, double Y2, Integer HeadLength, bool Hollow = false);
    void Arrow(double X1, Integer Y1, double X2, Integer Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(double X1, double Y1, double X2, double Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(double X1, double Y1, Integer X2, Integer Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(Integer X1, Integer Y1, double X2, double Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(Integer X1, double Y1, Integer X2, double Y2, Integer HeadLength, bool Hollow = false);
    void DoubleArrow(double X1, Integer Y1, double X2, Integer Y2, Integer HeadLength, bool Hollow = false);

    // Shapes (coordinate modes 0 … 3 for the boxes; world only for the others).
    void Rectangle(double X1, double Y1, double X2, double Y2, bool Hollow = false);
    void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2, bool Hollow = false);
    void Rectangle(double X1, double Y1, Integer X2, Integer Y2, bool Hollow = false);
    void Rectangle(Integer X1, Integer Y1, double X2, double Y2, bool Hollow = false);
    void FramedBox(double X1, double Y1, double X2, double Y2, TFrameStyle Style, TColor Color1, TColor Color2);
    void FramedBox(Integer X1, Integer Y1, Integer X2, Integer Y2, TFrameStyle Style, TColor Color1, TColor Color2);
    void FramedBox(double X1, double Y1, Integer X2, Integer Y2, TFrameStyle Style, TColor Color1, TColor Color2);
    void FramedBox(Integer X1, Integer Y1, double X2, double Y2, TFrameStyle Style, TColor Color1, TColor Color2);
    void Bar3D(double X1, double Y1, double X2, double Y2, Integer Angle, Integer Depth);
    void EllipseAt(double X, double Y, double RadiusX, double RadiusY, bool Hollow = false);
    // StartAngle and EndAngle in radians, counter-clockwise from the positive x axis; stored
    // as whole numbers of 1e-8 radian.
    void ArcAt(double X, double Y, double RadiusX, double RadiusY, double StartAngle, double EndAngle);
    void PixelBox(double X, double Y, Integer HalfWidth, Integer HalfHeight, bool Hollow = false);

    // Texts. A text of up to 17 characters (line breaks count as characters) is kept in the item;
    // a longer one goes to the long-text table of its container (an identical entry is
    // reused; when all 50 entries are taken, the text is cut to its first 17 characters).
    // FontSize 0 uses the chart's font; Background 0 draws transparently; coordinate modes 0 … 5.
    void TextAt(double X, double Y, const std::string& Text, Integer FontSize = 0,
                TAlignment Alignment = taLeftJustify, Integer Background = 0);
    void TextAt(Integer X, Integer Y, const std::string& Text, Integer FontSize = 0,
                TAlignment Alignment = taLeftJustify, Integer Background = 0);
    void TextAt(Integer X, double Y, const std::string& Text, Integer FontSize = 0,
                TAlignment Alignment = taLeftJustify, Integer Background = 0);
    void TextAt(double X, Integer Y, const std::string& Text, Integer FontSize = 0,
                TAlignment Alignment = taLeftJustify, Integer Background = 0);
    // A text at a world anchor shifted by a pixel offset.
    void OffsetText(double X, double Y, Integer DX, Integer DY, const std::string& Text,
                    Integer FontSize = 0, TAlignment Alignment = taLeftJustify, Integer Background = 0);

private:
    // Appends one item of the given kind; mode is the coordinate mode the arguments stand for,
    // stored only for annotations. Fill sets the kind's own fields.
    template <class Fill>
    void AppendItem(Byte kind, Byte mode, Fill fill);
    TQxItemContainer& Target() noexcept { return annotationMode_ ? *annotations_ : *data_; }
    // Tells the charts that share the data container that it changed.
    void PublishData() noexcept {}
    // The text index for an item: 0 with the text in ShortText, or a long-text entry.
    Integer StoreText(const std::string& text, TqxShortText& shortText);

    std::shared_ptr<TQxItemContainer> data_;
    std::shared_ptr<TQxItemContainer> annotations_;
    std::unique_ptr<std::string[]> dataTexts_;
    std::unique_ptr<std::string[]> annotTexts_;
    Integer dataTextCount_ = 0;
    Integer annotTextCount_ = 0;

    Integer allocSize_ = 1000;
    bool annotationMode_ = false;
    TColor dataColor_ = clBlack;
    TColor fillColor_ = clSilver;
    TPenStyle penStyle_ = psSolid;
    Byte lineWidth_ = 1;
    Byte classDefault_ = 0;
    Integer activeLayer_ = 1;
    Integer dataTag_ = 0;
};

class TPlotix : public TCustomPlotix {
    KVB_CLASS_INFO()
public:
    explicit TPlotix(TComponent* AOwner) : TCustomPlotix(AOwner) {}
};

}  // namespace kvb
