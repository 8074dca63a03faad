// TScrollBar and TLabel: plain state objects that hosts show natively (Qt) or draw plainly
// (headless).
#include <algorithm>

#include "platform/controls/ControlsInternal.h"

namespace kvb {

namespace {
const char* const kScrollBarRange = "Scroll bar property out of range";
}

// ---------------------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 17);
    SetTabStop(true);
}

void TScrollBar::SetKind(TScrollBarKind value) {
    if (value == kind_) return;
    kind_ = value;
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    PeerPropertiesChanged();
}

Integer TScrollBar::MaxPosition() const noexcept {
    if (pageSize_ <= 0) return max_;
    return std::max<Integer>(min_, static_cast<Integer>(Int64{max_} - pageSize_ + 1));
}

void TScrollBar::SetPageSize(Integer value) {
    if (value == pageSize_) return;
    if (!ComponentState().Contains(csLoading) && (value < 0 || Int64{value} > Int64{max_} - min_ + 1))
        throw EInvalidOperation(kScrollBarRange);
    pageSize_ = value;
    if (!ComponentState().Contains(csLoading)) SetParams(position_, min_, max_);
    PeerPropertiesChanged();
}

void TScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
    const bool loading = ComponentState().Contains(csLoading);
    // While a layout is read the values come one by one in any order; Loaded reconciles them.
    if (!loading) {
        if (AMax < AMin || Int64{pageSize_} > Int64{AMax} - AMin + 1) throw EInvalidOperation(kScrollBarRange);
    }
    const bool rangeChanged = AMin != min_ || AMax != max_;
    min_ = AMin;
    max_ = AMax;
    if (!loading) APosition = std::clamp(APosition, min_, MaxPosition());
    if (APosition != position_) {
        position_ = APosition;
        PeerPropertiesChanged();
        Invalidate();
        if (!loading) Change();
    } else if (rangeChanged) {
        PeerPropertiesChanged();
        Invalidate();
    }
}

void TScrollBar::Normalize() {
    if (max_ < min_) max_ = min_;
    pageSize_ = std::clamp<Int64>(pageSize_, 0, Int64{max_} - min_ + 1);
    position_ = std::clamp(position_, min_, MaxPosition());
}

void TScrollBar::Loaded() {
    TWinControl::Loaded();
    Normalize();
    PeerPropertiesChanged();
}

void TScrollBar::Change() {
    if (onChange_) {
        TNotifyEvent h = onChange_;
        h(this);
    }
}

void TScrollBar::HostScroll(TScrollCode code, Integer ScrollPos) {
    Dispatch([&] {
        Int64 pos = position_;
        switch (code) {
            case scLineUp: pos -= smallChange_; break;
            case scLineDown: pos += smallChange_; break;
            case scPageUp: pos -= largeChange_; break;
            case scPageDown: pos += largeChange_; break;
            case scPosition:
            case scTrack: pos = ScrollPos; break;
            case scTop: pos = min_; break;
            case scBottom: pos = MaxPosition(); break;
            case scEndScroll: break;
        }
        Integer p = static_cast<Integer>(std::clamp<Int64>(pos, min_, MaxPosition()));
        if (onScroll_) {
            TScrollEvent h = onScroll_;
            h(this, code, p);
            p = std::clamp(p, min_, MaxPosition());
        }
        if (code != scEndScroll) SetPosition(p);
    });
}

TScrollBar::TGeometry TScrollBar::Geometry() const noexcept {
    const bool horz = kind_ == sbHorizontal;
    const Integer length = horz ? Width() : Height();
    const Integer thick = horz ? Height() : Width();
    const Integer arrow = std::min(thick, length / 2);
    const Integer trackLen = std::max<Integer>(length - 2 * arrow, 0);
    Integer thumbLen;
    const Int64 span = Int64{max_} - min_ + 1;
    if (pageSize_ > 0 && span > 0)
        thumbLen = static_cast<Integer>(std::max<Int64>(Int64{trackLen} * pageSize_ / span, 8));
    else
        thumbLen = std::max<Integer>(thick, 8);
    thumbLen = std::min(thumbLen, trackLen);
    const Int64 range = Int64{MaxPosition()} - min_;
    const Int64 room = trackLen - thumbLen;
    const Integer offset = range > 0 ? static_cast<Integer>(room * (Int64{position_} - min_) / range) : 0;
    auto along = [&](Integer from, Integer to) {
        return horz ? Rect(from, 0, to, thick) : Rect(0, from, thick, to);
    };
    TGeometry g;
    g.ArrowLow = along(0, arrow);
    g.ArrowHigh = along(length - arrow, length);
    g.Track = along(arrow, arrow + trackLen);
    g.Thumb = along(arrow + offset, arrow + offset + thumbLen);
    return g;
}

// ---------------------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) {
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

std::string TLabel::DisplayText() const {
    return showAccelChar_ ? StripHotkey(Caption()) : Caption();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    PeerPropertiesChanged();
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustSize();
}

void TLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    PeerPropertiesChanged();
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustSize();
    PeerPropertiesChanged();
}

void TLabel::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!adjusting_) AdjustSize();
}

void TLabel::Loaded() {
    TControl::Loaded();
    AdjustSize();
}

void TLabel::FontChanged() {
    TControl::FontChanged();
    AdjustSize();
}

void TLabel::TextChanged() {
    TControl::TextChanged();
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!autoSize_ || adjusting_ || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    TBitmap probe;
    TCanvas* c = probe.Canvas();
    c->Font()->Assign(Font());
    std::string text = DisplayText();
    // An empty label keeps the height of one line.
    const Integer w = text.empty() ? 0 : c->TextWidth(text);
    const Integer h = c->TextHeight(text.empty() ? std::string(" ") : text);
    Integer left = Left();
    if (alignment_ == taRightJustify) left = Left() + Width() - w;
    adjusting_ = true;
    try {
        TControl::SetBounds(left, Top(), w, h);
    } catch (...) {
        adjusting_ = false;
        throw;
    }
    adjusting_ = false;
}

void TLabel::DrawTo(TCanvas* canvas, Integer x, Integer y) const {
    if (!transparent_) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(Rect(x, y, x + Width(), y + Height()));
    }
    canvas->Font()->Assign(Font());
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetStyle(bsClear);
    const std::string text = DisplayText();
    const Integer tw = canvas->TextWidth(text);
    Integer tx = x;
    if (alignment_ == taRightJustify) tx = x + Width() - tw;
    else if (alignment_ == taCenter) tx = x + (Width() - tw) / 2;
    const TRect oldClip = canvas->ClipRect();
    canvas->SetClipRect(Rect(std::max(x, oldClip.Left), std::max(y, oldClip.Top),
                             std::min(x + Width(), oldClip.Right), std::min(y + Height(), oldClip.Bottom)));
    canvas->TextOut(tx, y, text);
    canvas->SetClipRect(oldClip);
    canvas->Brush()->SetStyle(bsSolid);
}

}  // namespace kvb
