// The item store: containers, the current attributes and the adding operations.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "chart/KVB_plotix.h"

namespace kvb {

// =======================================================================================
// [SECTION] Containers

namespace {

std::atomic<int> g_allocationsBeforeFailure{-1};

bool InjectedFailure() noexcept {
    return g_allocationsBeforeFailure.load(std::memory_order_relaxed) >= 0 &&
           g_allocationsBeforeFailure.fetch_sub(1, std::memory_order_relaxed) == 0;
}

}  // namespace

namespace plotix_testing {
void FailAllocationAfter(int successes) noexcept { g_allocationsBeforeFailure.store(successes); }
}  // namespace plotix_testing

void TqxShortText::Assign(std::string_view text) noexcept {
    Length = static_cast<Byte>(std::min(text.size(), MaxLength));
    std::memset(Chars, 0, MaxLength);
    std::memcpy(Chars, text.data(), Length);
}

TQxItemContainer::~TQxItemContainer() { Release(); }

namespace {

#if defined(__linux__)
// Large containers live in their own page mapping, advised for huge pages and grown with
// mremap: filling millions of items then faults in 2 MiB at a time instead of 4 KiB, and
// growth never copies. Smaller ones stay on the heap, where a chart that is cleared and refilled
// often reuses its block.
constexpr std::size_t kMapFrom = std::size_t{4} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) noexcept { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

void* MapBlock(void* old, std::size_t oldBytes, std::size_t bytes) noexcept {
    void* block = old != nullptr ? mremap(old, oldBytes, bytes, MREMAP_MAYMOVE)
                                 : mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    // Only advice: without huge pages the mapping works the same.
    madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}
#endif

}  // namespace

void TQxItemContainer::Release() noexcept {
#if defined(__linux__)
    if (mappedBytes_ != 0) {
        munmap(items_, mappedBytes_);
        mappedBytes_ = 0;
        items_ = nullptr;
        reserved_ = 0;
        return;
    }
#endif
    std::free(items_);
    items_ = nullptr;
    reserved_ = 0;
}

void TQxItemContainer::Grow(Integer step) {
    const Int64 wanted = static_cast<Int64>(capacity_) + std::max<Integer>(step, 1);
    constexpr Int64 kMaxEntries = std::numeric_limits<Integer>::max();
    if (wanted > kMaxEntries) throw EOutOfMemory("Out of memory");
    const auto needed = static_cast<std::size_t>(wanted);
    if (needed > reserved_) {
        // The memory runs ahead geometrically while the capacity the chart sees grows by its
        // fixed step: adding stays a record copy however small the step.
        std::size_t reserve = std::max(needed, reserved_ + reserved_ / 2);
        if (InjectedFailure()) throw EOutOfMemory("Out of memory");
#if defined(__linux__)
        if (reserve * sizeof(TqxChartItem) >= kMapFrom) {
            std::size_t bytes = MappedSize(reserve * sizeof(TqxChartItem));
            void* block = MapBlock(mappedBytes_ != 0 ? items_ : nullptr, mappedBytes_, bytes);
            if (block == nullptr && bytes > MappedSize(needed * sizeof(TqxChartItem))) {
                bytes = MappedSize(needed * sizeof(TqxChartItem));
                block = MapBlock(mappedBytes_ != 0 ? items_ : nullptr, mappedBytes_, bytes);
            }
            if (block == nullptr) throw EOutOfMemory("Out of memory");
            if (mappedBytes_ == 0) {
                // From the heap into the first mapping; only the counted items matter.
                if (count_ > 0) std::memcpy(block, items_, count_ * sizeof(TqxChartItem));
                std::free(items_);
            }
            items_ = static_cast<TqxChartItem*>(block);
            mappedBytes_ = bytes;
            reserved_ = bytes / sizeof(TqxChartItem);
            capacity_ = static_cast<Integer>(wanted);
            return;
        }
#endif
        void* block = std::realloc(items_, reserve * sizeof(TqxChartItem));
        if (block == nullptr && reserve > needed) {
            reserve = needed;
            block = std::realloc(items_, reserve * sizeof(TqxChartItem));
        }
        if (block == nullptr) throw EOutOfMemory("Out of memory");
        items_ = static_cast<TqxChartItem*>(block);
        reserved_ = reserve;
    }
    capacity_ = static_cast<Integer>(wanted);
}

void TQxItemContainer::Clear() noexcept {
    // A small block is kept for the next fill: a chart that is cleared and refilled on every
    // update (the usual case) would otherwise hand its memory back and fault it in again each
    // time. The capacity the chart sees is 0 either way.
    constexpr std::size_t kKeepBytes = std::size_t{256} << 10;
    if (reserved_ * sizeof(TqxChartItem) > kKeepBytes) Release();
    count_ = capacity_ = 0;
}

// =======================================================================================
// [SECTION] Current attributes and long texts

void TCustomPlotix::SetAllocSize(Integer value) noexcept {
    if (value >= 1 && value <= MaxAllocSize) allocSize_ = value;
}

void TCustomPlotix::SetClassDefault(Byte value) noexcept {
    if (value != 255) classDefault_ = value;
}

void TCustomPlotix::SetActiveLayer(Integer value) noexcept {
    if (value >= 1 && value <= LayerCount) activeLayer_ = value;
}

namespace {
const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}
}  // namespace

const std::string& TCustomPlotix::DataText(Integer index) const noexcept {
    return index >= 1 && index <= LongTextCount ? dataTexts_[index - 1] : EmptyText();
}
void TCustomPlotix::SetDataText(Integer index, const std::string& text) {
    if (index >= 1 && index <= LongTextCount) dataTexts_[index - 1] = text;
}
void TCustomPlotix::SetDataTextCount(Integer value) noexcept {
    dataTextCount_ = std::clamp<Integer>(value, 0, LongTextCount);
}
const std::string& TCustomPlotix::AnnotText(Integer index) const noexcept {
    return index >= 1 && index <= LongTextCount ? annotTexts_[index - 1] : EmptyText();
}
void TCustomPlotix::SetAnnotText(Integer index, const std::string& text) {
    if (index >= 1 && index <= LongTextCount) annotTexts_[index - 1] = text;
}
void TCustomPlotix::SetAnnotTextCount(Integer value) noexcept {
    annotTextCount_ = std::clamp<Integer>(value, 0, LongTextCount);
}

Integer TCustomPlotix::StoreText(const std::string& text, TqxShortText& shortText) {
    if (text.size() <= TqxShortText::MaxLength) {
        shortText.Assign(text);
        return 0;
    }
    std::string* table = annotationMode_ ? annotTexts_.get() : dataTexts_.get();
    Integer& count = annotationMode_ ? annotTextCount_ : dataTextCount_;
    for (Integer i = 0; i < count; ++i)
        if (table[i] == text) return i + 1;
    if (count < LongTextCount) {
        table[count] = text;
        return ++count;
    }
    // Every entry is taken: keep what fits rather than lose the item.
    shortText.Assign(text);
    return 0;
}

// =======================================================================================
// [SECTION] Appending

template <class Fill>
void TCustomPlotix::AppendItem(Byte kind, Byte mode, Fill fill) {
    TQxItemContainer& target = Target();
    TqxChartItem& item = target.Prepare(allocSize_);
    item.ItemKind = kind;
    item.Layer = activeLayer_;
    item.ItemClass = classDefault_;
    item.Color = dataColor_;
    item.PenStyle = penStyle_;
    item.DataTag = dataTag_;
    item.LineWidth = lineWidth_;
    item.CoordMode = annotationMode_ ? mode : static_cast<Byte>(qcmWorld);
    fill(item);
    target.Commit();
    if (!annotationMode_) PublishData();
}

void TCustomPlotix::ClearItems() {
    data_->Clear();
    PublishData();
}

void TCustomPlotix::ClearAnnotations() noexcept { annotations_->Clear(); }

namespace {
// One-point kinds: the mode that the argument types stand for.
constexpr Byte ModeOf(bool xPixel, bool yPixel) noexcept {
    return xPixel ? (yPixel ? qcmPixel : qcmPixelXWorldY) : (yPixel ? qcmWorldXPixelY : qcmWorld);
}

// The two coordinate pairs of an item, whatever number types the adding operation took.
template <class A, class B, class C, class D>
inline void SetCorners(TqxChartItem& it, A x, B y, C x2, D y2) noexcept {
    it.X = x;
    it.Y = y;
    it.X2 = x2;
    it.Y2 = y2;
}
}  // namespace

// ---- the pen ------------------------------------------------------------------------------

#define KVB_PEN_OP(Name, Kind, TX, TY, StoresFill)                                        \
    void TCustomPlotix::Name(TX X, TY Y) {                                                \
        constexpr Byte mode = ModeOf(std::is_integral_v<TX>, std::is_integral_v<TY>);     \
        AppendItem(Kind, mode, [&](TqxChartItem& it) {                                    \
            it.X = X;                                                                     \
            it.Y = Y;                                                                     \
            if (StoresFill) it.FillColor = fillColor_;                                    \
        });                                                                               \
    }

// The move stores no fill colour; the line stores it, as its kind reads it.
KVB_PEN_OP(MovePenTo, ikMoveTo, Integer, Integer, false)
KVB_PEN_OP(MovePenTo, ikMoveTo, double, double, false)
KVB_PEN_OP(MovePenTo, ikMoveTo, Integer, double, false)
KVB_PEN_OP(MovePenTo, ikMoveTo, double, Integer, false)
KVB_PEN_OP(DrawPenTo, ikLineTo, Integer, double, true)
KVB_PEN_OP(DrawPenTo, ikLineTo, double, double, true)
KVB_PEN_OP(DrawPenTo, ikLineTo, Integer, Integer, true)
KVB_PEN_OP(DrawPenTo, ikLineTo, double, Integer, true)
#undef KVB_PEN_OP

void TCustomPlotix::MovePenRel(Integer DX, Integer DY) {
    AppendItem(ikMoveRelative, qcmPixel, [&](TqxChartItem& it) {
        it.X = DX;
        it.Y = DY;
    });
}

void TCustomPlotix::DrawPenRel(Integer DX, Integer DY) {
    AppendItem(ikLineRelative, qcmPixel, [&](TqxChartItem& it) {
        it.X = DX;
        it.Y = DY;
        it.FillColor = fillColor_;
    });
}

void TCustomPlotix::PixelVector(double X, double Y, Integer DX, Integer DY) {
    AppendItem(ikPixelVector, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X, Y, DX, DY);
        it.FillColor = fillColor_;
    });
}

// ---- marks ----------------------------------------------------------------------------------

void TCustomPlotix::MarkAt(double X, double Y, Integer Symbol) {
    AppendItem(ikMark, qcmWorld, [&](TqxChartItem& it) {
        it.X = X;
        it.Y = Y;
        it.IntParam3 = Symbol;
    });
}

void TCustomPlotix::MarkAt(Integer X, Integer Y, Integer Symbol) {
    AppendItem(ikMark, qcmPixel, [&](TqxChartItem& it) {
        it.X = X;
        it.Y = Y;
        it.IntParam3 = Symbol;
    });
}

void TCustomPlotix::ErrorBarMark(double X, double Y, double Lower, double Upper, Integer Symbol,
                                 bool Horizontal) {
    AppendItem(ikErrorBarMark, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X, Y, Lower, Upper);
        it.FillColor = fillColor_;
        it.IntParam1 = Horizontal ? 1 : 0;
        it.IntParam3 = Symbol;
    });
}

#define KVB_PLUS_OP(T1, T2, Mode)                                                  \
    void TCustomPlotix::PlusMark(T1 A, T1 B, T2 C, T2 D) {                         \
        AppendItem(ikPlusMark, Mode, [&](TqxChartItem& it) {                       \
            SetCorners(it, A, B, C, D);                                            \
            it.FillColor = fillColor_;                                             \
        });                                                                        \
    }
KVB_PLUS_OP(double, double, qcmWorld)
KVB_PLUS_OP(Integer, Integer, qcmPixel)
KVB_PLUS_OP(double, Integer, qcmWorldPixel)
#undef KVB_PLUS_OP

// ---- two-point kinds ------------------------------------------------------------------------

namespace {
// Two-point kinds: mode 0 … 5 from the argument types of the two points.
template <class TX1, class TY1, class TX2, class TY2>
constexpr Byte TwoPointMode() noexcept {
    constexpr bool x1 = std::is_integral_v<TX1>, y1 = std::is_integral_v<TY1>;
    constexpr bool x2 = std::is_integral_v<TX2>, y2 = std::is_integral_v<TY2>;
    if constexpr (x1 && y1 && x2 && y2) return qcmPixel;
    else if constexpr (!x1 && !y1 && x2 && y2) return qcmWorldPixel;
    else if constexpr (x1 && y1 && !x2 && !y2) return qcmPixelWorld;
    else if constexpr (x1 && !y1 && x2 && !y2) return qcmPixelXWorldY;
    else if constexpr (!x1 && y1 && !x2 && y2) return qcmWorldXPixelY;
    else return qcmWorld;
}
}  // namespace

#define KVB_LINE_OP(TX1, TY1, TX2, TY2)                                                     \
    void TCustomPlotix::Line(TX1 X1, TY1 Y1, TX2 X2, TY2 Y2) {                              \
        AppendItem(ikLine, TwoPointMode<TX1, TY1, TX2, TY2>(), [&](TqxChartItem& it) {      \
            SetCorners(it, X1, Y1, X2, Y2);                                                 \
            it.FillColor = fillColor_;                                                      \
        });                                                                                 \
    }
KVB_LINE_OP(double, double, double, double)
KVB_LINE_OP(Integer, Integer, Integer, Integer)
KVB_LINE_OP(double, double, Integer, Integer)
KVB_LINE_OP(Integer, Integer, double, double)
#undef KVB_LINE_OP

void TCustomPlotix::ShiftedLine(double X1, double Y1, double X2, double Y2, Integer ShiftX,
                                Integer ShiftY) {
    AppendItem(ikShiftedLine, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X1, Y1, X2, Y2);
        it.FillColor = fillColor_;
        it.IntParam1 = ShiftX;
        it.IntParam2 = ShiftY;
    });
}

#define KVB_AXIS_LINE_OP(Name, Kind, Field, T, Mode)                  \
    void TCustomPlotix::Name(T V) {                                   \
        AppendItem(Kind, Mode, [&](TqxChartItem& it) {                \
            it.Field = V;                                             \
            it.FillColor = fillColor_;                                \
        });                                                           \
    }
KVB_AXIS_LINE_OP(VertLine, ikVertLine, X, double, qcmWorld)
KVB_AXIS_LINE_OP(VertLine, ikVertLine, X, Integer, qcmPixel)
KVB_AXIS_LINE_OP(HorizLine, ikHorizLine, Y, double, qcmWorld)
KVB_AXIS_LINE_OP(HorizLine, ikHorizLine, Y, Integer, qcmPixel)
#undef KVB_AXIS_LINE_OP

#define KVB_ARROW_OP(Name, Kind, TX1, TY1, TX2, TY2)                                         \
    void TCustomPlotix::Name(TX1 X1, TY1 Y1, TX2 X2, TY2 Y2, Integer HeadLength, bool Hollow) { \
        AppendItem(Kind, TwoPointMode<TX1, TY1, TX2, TY2>(), [&](TqxChartItem& it) {         \
            SetCorners(it, X1, Y1, X2, Y2);                                                  \
            it.FillColor = fillColor_;                                                       \
            it.Hollow = Hollow;                                                              \
            it.IntParam1 = HeadLength;                                                       \
        });                                                                                  \
    }
#define KVB_ARROW_KIND(Name, Kind)                                  \
    KVB_ARROW_OP(Name, Kind, double, double, double, double)        \
    KVB_ARROW_OP(Name, Kind, Integer, Integer, Integer, Integer)    \
    KVB_ARROW_OP(Name, Kind, double, double, Integer, Integer)      \
    KVB_ARROW_OP(Name, Kind, Integer, Integer, double, double)      \
    KVB_ARROW_OP(Name, Kind, Integer, double, Integer, double)      \
    KVB_ARROW_OP(Name, Kind, double, Integer, double, Integer)
KVB_ARROW_KIND(Arrow, ikArrow)
KVB_ARROW_KIND(DoubleArrow, ikDoubleArrow)
#undef KVB_ARROW_KIND
#undef KVB_ARROW_OP

// ---- shapes ---------------------------------------------------------------------------------

#define KVB_RECT_OP(T1, T2)                                                                  \
    void TCustomPlotix::Rectangle(T1 X1, T1 Y1, T2 X2, T2 Y2, bool Hollow) {                 \
        AppendItem(ikRectangle, TwoPointMode<T1, T1, T2, T2>(), [&](TqxChartItem& it) {      \
            SetCorners(it, X1, Y1, X2, Y2);                                                  \
            it.FillColor = fillColor_;                                                       \
            it.Hollow = Hollow;                                                              \
        });                                                                                  \
    }                                                                                        \
    void TCustomPlotix::FramedBox(T1 X1, T1 Y1, T2 X2, T2 Y2, TFrameStyle Style,             \
                                  TColor Color1, TColor Color2) {                            \
        AppendItem(ikFramedBox, TwoPointMode<T1, T1, T2, T2>(), [&](TqxChartItem& it) {      \
            SetCorners(it, X1, Y1, X2, Y2);                                                  \
            it.FillColor = fillColor_;                                                       \
            it.FrameStyle = Style;                                                           \
            it.FrameColor1 = Color1;                                                         \
            it.FrameColor2 = Color2;                                                         \
        });                                                                                  \
    }
KVB_RECT_OP(double, double)
KVB_RECT_OP(Integer, Integer)
KVB_RECT_OP(double, Integer)
KVB_RECT_OP(Integer, double)
#undef KVB_RECT_OP

void TCustomPlotix::Bar3D(double X1, double Y1, double X2, double Y2, Integer Angle, Integer Depth) {
    AppendItem(ikBar3D, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X1, Y1, X2, Y2);
        it.FillColor = fillColor_;
        it.IntParam1 = Angle;
        it.IntParam2 = Depth;
    });
}

void TCustomPlotix::EllipseAt(double X, double Y, double RadiusX, double RadiusY, bool Hollow) {
    AppendItem(ikEllipse, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X, Y, RadiusX, RadiusY);
        it.FillColor = fillColor_;
        it.Hollow = Hollow;
    });
}

namespace {
// Radians as whole numbers of 1e-8 radian, saturated to what the field holds (NaN gives 0).
Integer ArcAngle(double radians) noexcept {
    const Int64 v = Round(static_cast<Extended>(radians) * 100000000.0L);
    return static_cast<Integer>(std::clamp<Int64>(v, std::numeric_limits<Integer>::min(),
                                                  std::numeric_limits<Integer>::max()));
}
}  // namespace

void TCustomPlotix::ArcAt(double X, double Y, double RadiusX, double RadiusY, double StartAngle,
                          double EndAngle) {
    AppendItem(ikArc, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X, Y, RadiusX, RadiusY);
        it.IntParam1 = ArcAngle(StartAngle);
        it.IntParam2 = ArcAngle(EndAngle);
    });
}

void TCustomPlotix::PixelBox(double X, double Y, Integer HalfWidth, Integer HalfHeight, bool Hollow) {
    AppendItem(ikPixelBox, qcmWorld, [&](TqxChartItem& it) {
        it.X = X;
        it.Y = Y;
        it.FillColor = fillColor_;
        it.Hollow = Hollow;
        it.IntParam1 = HalfWidth;
        it.IntParam2 = HalfHeight;
    });
}

// ---- texts ----------------------------------------------------------------------------------

#define KVB_TEXT_OP(TX, TY)                                                                  \
    void TCustomPlotix::TextAt(TX X, TY Y, const std::string& Text, Integer FontSize,        \
                               TAlignment Alignment, Integer Background) {                   \
        constexpr Byte mode = ModeOf(std::is_integral_v<TX>, std::is_integral_v<TY>);        \
        AppendItem(ikText, mode, [&](TqxChartItem& it) {                                     \
            it.X = X;                                                                        \
            it.Y = Y;                                                                        \
            it.FillColor = fillColor_;                                                       \
            it.LineWidth = StoreText(Text, it.ShortText);                                    \
            it.IntParam1 = FontSize;                                                         \
            it.IntParam2 = Background;                                                       \
            it.IntParam3 = Alignment;                                                        \
        });                                                                                  \
    }
KVB_TEXT_OP(double, double)
KVB_TEXT_OP(Integer, Integer)
KVB_TEXT_OP(Integer, double)
KVB_TEXT_OP(double, Integer)
#undef KVB_TEXT_OP

void TCustomPlotix::OffsetText(double X, double Y, Integer DX, Integer DY, const std::string& Text,
                               Integer FontSize, TAlignment Alignment, Integer Background) {
    AppendItem(ikOffsetText, qcmWorld, [&](TqxChartItem& it) {
        SetCorners(it, X, Y, DX, DY);
        it.FillColor = fillColor_;
        it.LineWidth = StoreText(Text, it.ShortText);
        it.IntParam1 = FontSize;
        it.IntParam2 = Background;
        it.IntParam3 = Alignment;
    });
}

}  // namespace kvb
