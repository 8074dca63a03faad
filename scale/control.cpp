// TScale as a control: settings and their setters, defaults, mapping, painting, copying.
#include <cmath>
#include <limits>

#include "scale/ScaleDraw.h"

namespace kvb {

namespace {

// The other end of a range whose two ends were set equal. One more than the value, as a
// layout expects; where 1 is lost in the precision of a huge value the next representable
// number is taken instead, so that the ends really differ.
double ApartFrom(double v) {
    double w = v + 1;
    if (w == v) w = std::nextafter(v, std::numeric_limits<double>::infinity());
    if (!std::isfinite(w)) w = std::nextafter(v, -std::numeric_limits<double>::infinity());
    return w;
}

struct TFlagScope {
    bool& flag;
    explicit TFlagScope(bool& f) : flag(f) { flag = true; }
    ~TFlagScope() { flag = false; }
};

}  // namespace

const TClassInfo& TScale::StaticClassInfo() {
    static const TClassInfo& info = DefineClass(
        TClassBuilder<TScale>("TScale", &TCustomControl::StaticClassInfo())
            .Creatable()
            .Enum("Align", &TScale::Align, &TScale::SetAlign)
            .Set("Anchors", &TScale::Anchors, &TScale::SetAnchors)
            .Str("Caption", &TScale::Caption, &TScale::SetCaption)
            .Int("CaptionPosX", &TScale::CaptionPosX, &TScale::SetCaptionPosX)
            .Int("CaptionPosY", &TScale::CaptionPosY, &TScale::SetCaptionPosY)
            .Enum("CaptionAlignment", &TScale::CaptionAlignment, &TScale::SetCaptionAlignment)
            .Enum("CaptionAnchor", &TScale::CaptionAnchor, &TScale::SetCaptionAnchor)
            .Color("ColorBackGnd", &TScale::ColorBackGnd, &TScale::SetColorBackGnd)
            .Color("ColorScale", &TScale::ColorScale, &TScale::SetColorScale)
            .Enum("ColorScheme", &TScale::ColorScheme, &TScale::SetColorScheme)
            .Object("DateFormat", &TScale::DateFormat)
            .Int("DecPlaces", &TScale::DecPlaces, &TScale::SetDecPlaces)
            .Object("Font", &TScale::Font)
            .Enum("FrameStyle", &TScale::FrameStyle, &TScale::SetFrameStyle)
            .Enum("LabelType", &TScale::LabelType, &TScale::SetLabelType)
            .Bool("Logarithmic", &TScale::Logarithmic, &TScale::SetLogarithmic)
            .Int("MarginTop", &TScale::MarginTop, &TScale::SetMarginTop)
            .Int("MarginBottom", &TScale::MarginBottom, &TScale::SetMarginBottom)
            .Int("MarginLeft", &TScale::MarginLeft, &TScale::SetMarginLeft)
            .Int("MarginRight", &TScale::MarginRight, &TScale::SetMarginRight)
            .Int("MinTicks", &TScale::MinTicks, &TScale::SetMinTicks)
            .Enum("MouseAction", &TScale::MouseAction, &TScale::SetMouseAction)
            // Read-only: a stored value is accepted and dropped.
            .Int("NumTicks", &TScale::NumTicks, [](TScale*, Integer) {})
            .Bool("ParentFont", &TScale::ParentFont, &TScale::SetParentFont)
            .Bool("ParentShowHint", &TScale::ParentShowHint, &TScale::SetParentShowHint)
            .Component("PopupMenu", &TScale::PopupMenu, &TScale::SetPopupMenu)
            .Float("RangeLow", &TScale::RangeLow, &TScale::SetRangeLow)
            .Float("RangeHigh", &TScale::RangeHigh, &TScale::SetRangeHigh)
            .Bool("ShortTicks", &TScale::ShortTicks, &TScale::SetShortTicks)
            .Bool("ShowBaseLine", &TScale::ShowBaseLine, &TScale::SetShowBaseLine)
            .Bool("ShowHint", &TScale::ShowHint, &TScale::SetShowHint)
            .Str("ScaleInscript", &TScale::ScaleInscript, &TScale::SetScaleInscript)
            .Enum("ScaleType", &TScale::ScaleType, &TScale::SetScaleType)
            .Bool("Transparent", &TScale::Transparent, &TScale::SetTransparent)
            .Str("UserTickText", &TScale::UserTickText, &TScale::SetUserTickText)
            .Bool("Visible", &TScale::Visible, &TScale::SetVisible)
            .Event("OnClick", &TScale::OnClick, &TScale::SetOnClick)
            .Event("OnDblClick", &TScale::OnDblClick, &TScale::SetOnDblClick)
            .Event("OnMouseMove", &TScale::OnMouseMove, &TScale::SetOnMouseMove)
            .Event("OnMouseDown", &TScale::OnMouseDown, &TScale::SetOnMouseDown)
            .Event("OnMouseUp", &TScale::OnMouseUp, &TScale::SetOnMouseUp)
            .Event("OnContextPopup", &TScale::OnContextPopup, &TScale::SetOnContextPopup)
            .Event("OnZoomPan", &TScale::OnZoomPan, &TScale::SetOnZoomPan)
            .Event("OnScaleTickDrawn", &TScale::OnScaleTickDrawn, &TScale::SetOnScaleTickDrawn)
            .Event("OnBeforeTickLabel", &TScale::OnBeforeTickLabel, &TScale::SetOnBeforeTickLabel)
            .Event("OnAfterScaleRendered", &TScale::OnAfterScaleRendered, &TScale::SetOnAfterScaleRendered)
            .Event("OnBeforeScaleRendered", &TScale::OnBeforeScaleRendered, &TScale::SetOnBeforeScaleRendered)
            .Build());
    return info;
}
KVB_REGISTER_CLASS(TScale);

// ---------------------------------------------------------------------------------------
// Life cycle

TScale::TScale(TComponent* AOwner) : TCustomControl(AOwner), dateFormat_(std::make_unique<TDTLabel>()) {
    suppressPaint_ = true;
    dateFormat_->SetOnChange([this](TObject*) { Redraw(); });
    SetBounds(Left(), Top(), 400, 400);
    ResetToDefaults();
}

TScale::~TScale() { dateFormat_->SetOnChange(nullptr); }

void TScale::ResetToDefaults() {
    suppressPaint_ = true;
    frameStyle_ = fsLowered;
    colorScale_ = clBlack;
    colorBackGnd_ = clBtnFace;
    frameDark_ = clBlack;
    frameShadow_ = clGray;
    frameHighlight_ = clWhite;
    colorScheme_ = csBWG;
    onScaleTickDrawn_ = nullptr;
    onBeforeTickLabel_ = nullptr;
    onZoomPan_ = nullptr;
    logarithmic_ = false;
    mapping_.Factor = 1.0;
    mapping_.Offset = 0.0;
    rangeHigh_ = 100.0;
    rangeLow_ = 0.0;
    shortTicks_ = true;
    numTicks_ = 0;
    minTicks_ = 3;
    decPlaces_ = -2;
    defaultsPhase_ = true;
    showBaseLine_ = true;
    transparent_ = false;
    labelType_ = ftNum;
    marginTop_ = marginBottom_ = marginRight_ = marginLeft_ = 20;
    embedded_ = false;
    captionPosX_ = captionPosY_ = 4;
    captionAlignment_ = taCenter;
    captionAnchor_ = uaSclTopLft;
    mouseAction_ = maNone;
    dragStartX_ = dragStartY_ = 0;
    dragStartLow_ = dragStartHigh_ = 0;
    dragging_ = false;
    userTickText_.clear();
    scaleInscript_.clear();
    tickList_.clear();
    TControl::SetCaption("");
    targetCanvas_ = nullptr;
    targetX_ = targetY_ = 0;
    scaleType_ = sctXB;
    onAfterScaleRendered_ = nullptr;
    onBeforeScaleRendered_ = nullptr;
    dateFormat_->SetOwnerDefaults();
    UpdateScaling();
}

void TScale::Loaded() {
    TCustomControl::Loaded();
    UpdateScaling();
    defaultsPhase_ = false;
    Redraw();
}

void TScale::CreateWnd() {
    TCustomControl::CreateWnd();
    suppressPaint_ = false;
}

void TScale::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateScaling();
    Redraw();
}

// ---------------------------------------------------------------------------------------
// Setters

void TScale::SetCaption(const std::string& value) {
    TControl::SetCaption(value);
    Redraw();
}
void TScale::SetCaptionPosX(Integer value) {
    captionPosX_ = value;
    Redraw();
}
void TScale::SetCaptionPosY(Integer value) {
    captionPosY_ = value;
    Redraw();
}
void TScale::SetCaptionAlignment(TAlignment value) {
    captionAlignment_ = value;
    Redraw();
}
void TScale::SetCaptionAnchor(TScaleUnitAnchor value) {
    captionAnchor_ = value;
    Redraw();
}

void TScale::SetMarginTop(Integer value) {
    marginTop_ = value < 0 ? 0 : value;
    UpdateScaling();
    Redraw();
}
void TScale::SetMarginBottom(Integer value) {
    marginBottom_ = value < 0 ? 0 : value;
    UpdateScaling();
    Redraw();
}
void TScale::SetMarginLeft(Integer value) {
    marginLeft_ = value < 0 ? 0 : value;
    UpdateScaling();
    Redraw();
}
void TScale::SetMarginRight(Integer value) {
    marginRight_ = value < 0 ? 0 : value;
    UpdateScaling();
    Redraw();
}

void TScale::SetRangeHigh(double value) {
    if (!std::isfinite(value)) return;
    rangeHigh_ = value;
    if (rangeHigh_ == rangeLow_) rangeLow_ = ApartFrom(value);
    UpdateScaling();
    Redraw();
}

void TScale::SetRangeLow(double value) {
    if (!std::isfinite(value)) return;
    rangeLow_ = value;
    if (rangeLow_ == rangeHigh_) rangeHigh_ = ApartFrom(value);
    UpdateScaling();
    Redraw();
}

void TScale::SetRange(double Low, double High) {
    if (!std::isfinite(Low) || !std::isfinite(High)) return;
    rangeLow_ = Low;
    rangeHigh_ = High;
    if (Low == High) rangeHigh_ = ApartFrom(Low);
    UpdateScaling();
    Redraw();
}

void TScale::SetDecPlaces(Integer value) {
    decPlaces_ = value < -3 ? -3 : (value > 12 ? 12 : value);
    UpdateScaling();
    Redraw();
}

void TScale::SetShowBaseLine(bool value) {
    showBaseLine_ = value;
    Redraw();
}
void TScale::SetTransparent(bool value) {
    transparent_ = value;
    Redraw();
}
void TScale::SetUserTickText(const std::string& value) {
    userTickText_ = value;
    Redraw();
}
void TScale::SetScaleInscript(const std::string& value) {
    scaleInscript_ = value;
    Redraw();
}

void TScale::SetLogarithmic(bool value) {
    if (!value)
        logarithmic_ = false;
    else if (defaultsPhase_ || (rangeLow_ >= 1e-100 && rangeHigh_ >= 1e-100 && labelType_ != ftDateTime))
        logarithmic_ = true;
    UpdateScaling();
    Redraw();
}

void TScale::SetLabelType(TFigType value) {
    labelType_ = value;
    if (value == ftDateTime && logarithmic_) {
        logarithmic_ = false;
        // The factors were computed for the logarithmic mapping; used linearly they would
        // put every tick somewhere else, so the mapping follows at once.
        UpdateScaling();
    }
    if (value == ftTime) decPlaces_ = 4;
    Redraw();
}

void TScale::SetDateFormat(TDTLabel* value) {
    dateFormat_->Assign(value);
    Redraw();
}

void TScale::SetShortTicks(bool value) {
    if (value == shortTicks_) return;
    shortTicks_ = value;
    Redraw();
}

void TScale::SetMinTicks(Integer value) {
    minTicks_ = value == 0 ? 0 : (value < 2 ? 2 : (value > 10 ? 10 : value));
    Redraw();
}

void TScale::SetColorBackGnd(TColor value) {
    if (value == colorBackGnd_) return;
    colorBackGnd_ = value;
    Redraw();
}
void TScale::SetColorScale(TColor value) {
    if (value == colorScale_) return;
    colorScale_ = value;
    Redraw();
}
void TScale::SetFrameStyle(TFrameStyle value) {
    if (value == frameStyle_) return;
    frameStyle_ = value;
    Redraw();
}

void TScale::SetColorScheme(TColorScheme value) {
    if (value == colorScheme_) return;
    colorScheme_ = value;
    ApplyColorScheme();
    Redraw();
}

void TScale::ApplyColorScheme() {
    if (colorScheme_ == csSystem) {
        frameShadow_ = clBtnShadow;
        frameHighlight_ = clBtnHighlight;
    } else {
        frameShadow_ = clGray;
        frameHighlight_ = clWhite;
    }
}

void TScale::SetScaleType(TScaleType value) {
    if (value == scaleType_) return;
    scaleType_ = value;
    UpdateScaling();
    Redraw();
}

void TScale::SetSuppressPaint(bool value) {
    if (value == suppressPaint_) return;
    suppressPaint_ = value;
    if (!value) Redraw();
}

void TScale::PaintNow() {
    const bool saved = suppressPaint_;
    suppressPaint_ = false;
    try {
        Redraw();
    } catch (...) {
        suppressPaint_ = saved;
        throw;
    }
    suppressPaint_ = saved;
}

void TScale::SetEmbedded(bool value) {
    if (value == embedded_) return;
    embedded_ = value;
    Redraw();
}

void TScale::SetTargetCanvas(TCanvas* Canvas, Integer X, Integer Y) noexcept {
    targetCanvas_ = Canvas;
    targetX_ = X;
    targetY_ = Y;
}

double TScale::TickValue(Integer I) const noexcept {
    if (I < 1 || I > numTicks_ || I > static_cast<Integer>(tickList_.size())) return 0;
    return tickList_[static_cast<std::size_t>(I - 1)];
}

// ---------------------------------------------------------------------------------------
// Mapping

void TScale::UpdateScaling() {
    mapping_.Logarithmic = logarithmic_;
    mapping_.Ascending = rangeHigh_ >= rangeLow_;
    mapping_.Width = Width();
    if (ComponentState().Contains(csLoading) || rangeLow_ == rangeHigh_) return;
    const bool horizontal = scaleType_ == sctXB || scaleType_ == sctXT;
    const Extended size = horizontal ? Width() : Height();
    const Extended L = horizontal ? size - marginLeft_ - marginRight_ - 1 : size - marginTop_ - marginBottom_ - 1;
    const Extended m0 = horizontal ? marginLeft_ : marginTop_;
    // Vertical axes run upwards: the top margin holds RangeHigh.
    const Extended start = horizontal ? rangeLow_ : rangeHigh_;
    const Extended end = horizontal ? rangeHigh_ : rangeLow_;
    // The offset is computed from the factor as stored, so that value and pixel agree at m0.
    if (L <= 0) {
        mapping_.Factor = 0;
        mapping_.Offset = static_cast<double>(size / 2);
    } else if (!logarithmic_) {
        mapping_.Factor = static_cast<double>(L / (end - start));
        mapping_.Offset = static_cast<double>(m0 - static_cast<Extended>(mapping_.Factor) * start);
    } else if (rangeLow_ > 0 && rangeHigh_ > 0) {
        mapping_.Factor = static_cast<double>(L / (std::log(end) - std::log(start)));
        mapping_.Offset = static_cast<double>(m0 - static_cast<Extended>(mapping_.Factor) * std::log(start));
    }
}

// ---------------------------------------------------------------------------------------
// Painting

void TScale::Redraw() {
    if (transparent_ && !embedded_)
        Invalidate();
    else
        Paint();
}

void TScale::Paint() {
    if (!Visible() && (!ComponentState().Contains(csDesigning) || embedded_)) return;
    if (ComponentState().Contains(csLoading) || suppressPaint_ || painting_) return;
    TFlagScope painting(painting_);

    TCanvas* canvas = targetCanvas_ != nullptr ? targetCanvas_ : Canvas();
    const Integer x0 = targetCanvas_ != nullptr ? targetX_ : 0;
    const Integer y0 = targetCanvas_ != nullptr ? targetY_ : 0;
    canvas->SetFont(Font());
    if (onBeforeScaleRendered_) onBeforeScaleRendered_(this, canvas);

    if (transparent_) {
        canvas->Pen()->SetColor(colorScale_);
        DrawAxis(canvas, x0, y0);
        if (onAfterScaleRendered_) onAfterScaleRendered_(this, canvas);
        return;
    }

    TBitmap bitmap;
    try {
        bitmap.SetSize(Width(), Height());
    } catch (const EOutOfMemory&) {
        // A control too large for memory shows nothing rather than failing in a setter.
        return;
    }
    TCanvas* bc = bitmap.Canvas();
    bc->SetFont(Font());
    bc->Pen()->SetColor(colorBackGnd_);
    bc->Brush()->SetColor(colorBackGnd_);
    bc->Rectangle(0, 0, Width(), Height());
    bc->Pen()->SetColor(colorScale_);
    DrawAxis(bc, 0, 0);
    if (onAfterScaleRendered_) onAfterScaleRendered_(this, bc);
    DrawFrame(bc, frameStyle_, 0, 0, Width() - 1, Height() - 1, frameHighlight_, clSilver, frameShadow_,
              frameDark_, frameDark_);
    canvas->Draw(x0, y0, &bitmap);
}

void TScale::DrawAxis(TCanvas* Canvas, Integer X0, Integer Y0) {
    const std::int64_t w = Width(), h = Height();
    Integer pos = 0;
    switch (scaleType_) {
    case sctXB: pos = ClampToInteger(std::int64_t(Y0) + h - marginBottom_ - 1); DrawHorizScale(Canvas, pos); break;
    case sctXT: pos = ClampToInteger(std::int64_t(Y0) + marginTop_); DrawHorizScale(Canvas, pos); break;
    case sctYL: pos = ClampToInteger(std::int64_t(X0) + marginLeft_); DrawVertScale(Canvas, pos); break;
    case sctYR:
    default: pos = ClampToInteger(std::int64_t(X0) + w - marginRight_ - 1); DrawVertScale(Canvas, pos); break;
    }
    if (!showBaseLine_) return;
    // From the first to the last pixel of the axis; LineTo leaves out that last one, where
    // the axis end's tick usually stands.
    if (scaleType_ == sctXB || scaleType_ == sctXT) {
        Canvas->MoveTo(marginLeft_, pos);
        Canvas->LineTo(ClampToInteger(w - marginRight_ - 1), pos);
    } else {
        Canvas->MoveTo(pos, marginTop_);
        Canvas->LineTo(pos, ClampToInteger(h - marginBottom_ - 1));
    }
}

void TScale::DrawVertScale(TCanvas* Canvas, Integer X) { DrawScale(Canvas, X, true); }
void TScale::DrawHorizScale(TCanvas* Canvas, Integer Y) { DrawScale(Canvas, Y, false); }

void TScale::DrawScale(TCanvas* Canvas, Integer AxisPos, bool Vertical) {
    // A printer draws at its own resolution: the font keeps its size in points there. Only a
    // canvas that is not at the screen's resolution can be the printer's, so the printer
    // (and its page) is not made just to compare.
    if (Canvas->PixelsPerInch() != ScreenPixelsPerInch() && Canvas == Printer()->Canvas()) {
        Canvas->Font()->SetPixelsPerInch(ScreenPixelsPerInch());
        Canvas->Font()->SetSize(Font()->Size());
        Canvas->Font()->SetPixelsPerInch(GetDeviceCaps(Canvas, LOGPIXELSY));
    }
    Canvas->Brush()->SetStyle(transparent_ ? bsClear : bsSolid);
    numTicks_ = 0;
    tickList_.resize(TickListCapacity);

    TDrawState state;
    state.Canvas = Canvas;
    state.AxisPos = AxisPos;
    state.Vertical = Vertical;
    if (Vertical) state.TextHeight0 = Canvas->TextHeight("0");
    draw_ = &state;
    struct TReset {
        TDrawState*& p;
        ~TReset() { p = nullptr; }
    } reset{draw_};

    if (labelType_ == ftDateTime) {
        DrawDateTimeTicks();
    } else if (labelType_ != ftTime || !DrawTimeTicks()) {
        if (logarithmic_)
            DrawLogTicks();
        else
            DrawLinearTicks();
    }
    DrawCaption();
}

void TScale::DrawCaption() {
    const std::string& caption = Caption();
    if (caption.empty()) return;
    TCanvas* c = draw_->Canvas;
    const std::int64_t tw = c->TextWidth(caption);
    std::int64_t x = captionPosX_, y = captionPosY_;
    const std::int64_t w = Width(), h = Height();
    if (draw_->Vertical) {
        x += draw_->AxisPos;
        y += captionAnchor_ == uaSclTopLft  ? marginTop_
             : captionAnchor_ == uaSclCenter ? marginTop_ + (h - marginTop_ - marginBottom_) / 2
                                             : h - marginBottom_;
    } else {
        y += draw_->AxisPos;
        x += captionAnchor_ == uaSclTopLft  ? marginLeft_
             : captionAnchor_ == uaSclCenter ? marginLeft_ + (w - marginLeft_ - marginRight_) / 2
                                             : w - marginRight_;
    }
    const std::int64_t left = captionAlignment_ == taLeftJustify    ? x
                              : captionAlignment_ == taRightJustify ? x - tw
                                                                    : x - tw / 2;
    c->TextOut(ClampToInteger(left), ClampToInteger(y), caption);
}

// ---------------------------------------------------------------------------------------
// Copying

void TScale::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TScale*>(Source);
    if (src == nullptr) {
        TCustomControl::Assign(Source);
        return;
    }
    if (src == this) {
        Redraw();
        return;
    }
    frameStyle_ = src->frameStyle_;
    colorBackGnd_ = src->colorBackGnd_;
    colorScale_ = src->colorScale_;
    frameDark_ = src->frameDark_;
    frameShadow_ = src->frameShadow_;
    frameHighlight_ = src->frameHighlight_;
    colorScheme_ = src->colorScheme_;
    onScaleTickDrawn_ = src->onScaleTickDrawn_;
    onBeforeTickLabel_ = src->onBeforeTickLabel_;
    logarithmic_ = src->logarithmic_;
    mapping_ = src->mapping_;
    mapping_.Width = Width();
    rangeHigh_ = src->rangeHigh_;
    rangeLow_ = src->rangeLow_;
    shortTicks_ = src->shortTicks_;
    numTicks_ = src->numTicks_;
    minTicks_ = src->minTicks_;
    decPlaces_ = src->decPlaces_;
    showBaseLine_ = src->showBaseLine_;
    transparent_ = src->transparent_;
    labelType_ = src->labelType_;
    dateFormat_->Assign(src->dateFormat_.get());
    marginTop_ = src->marginTop_;
    marginBottom_ = src->marginBottom_;
    marginLeft_ = src->marginLeft_;
    marginRight_ = src->marginRight_;
    captionPosX_ = src->captionPosX_;
    captionPosY_ = src->captionPosY_;
    userTickText_ = src->userTickText_;
    scaleInscript_ = src->scaleInscript_;
    tickList_ = src->tickList_;
    TControl::SetCaption(src->Caption());
    captionAnchor_ = src->captionAnchor_;
    captionAlignment_ = src->captionAlignment_;
    targetX_ = src->targetX_;
    targetY_ = src->targetY_;
    scaleType_ = src->scaleType_;
    embedded_ = src->embedded_;
    onBeforeScaleRendered_ = src->onBeforeScaleRendered_;
    onAfterScaleRendered_ = src->onAfterScaleRendered_;
    suppressPaint_ = src->suppressPaint_;
    Redraw();
}

void TScale::AssignTo(TPersistent* Dest) {
    // Only a scale can take a scale's settings. Handing a scale to the Assign of a mere
    // ancestor (a TComponent) would come straight back here through the default protocol.
    if (dynamic_cast<TScale*>(Dest) != nullptr && InheritsFrom(Dest->ClassInfo())) {
        Dest->Assign(this);
        return;
    }
    TCustomControl::AssignTo(Dest);
}

}  // namespace kvb
