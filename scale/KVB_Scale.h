// TScale: one axis with base line, ticks, labels and caption, as a stand-alone control that
// paints itself or as a part another control (the chart) draws onto its own bitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/KVB_kvbbase.h"
#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"
#include "scale/ScaleMath.h"

namespace kvb {

// Where a scale's caption is anchored: the top (vertical) or left (horizontal) end of the
// axis, its middle, or the bottom or right end.
enum TScaleUnitAnchor : std::uint8_t { uaSclTopLft, uaSclCenter, uaSclBotRgt };
KVB_ENUM_NAMES(TScaleUnitAnchor, "uaSclTopLft", "uaSclCenter", "uaSclBotRgt")

// ChartX/ChartY: the pixel where the tick mark starts on the axis line.
using TScaleTickDrawnEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TScaleType ScaleType,
                                                double CurrentTickPos, Integer ChartX, Integer ChartY)>;
// The handler may replace TickLabel; the replacement is measured and drawn.
using TBeforeTickLabelEvent = std::function<void(TObject* Sender, TScaleType ScaleType,
                                                 double CurrentTickPos, std::string& TickLabel)>;
using TScaleRenderedEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;
using TZoomPanEvent = std::function<void(TObject* Sender)>;

class TScale : public TCustomControl {
    KVB_CLASS_INFO()
public:
    explicit TScale(TComponent* AOwner);
    ~TScale() override;

    // ---- published ---------------------------------------------------------------
    void SetCaption(const std::string& value);
    Integer CaptionPosX() const noexcept { return captionPosX_; }
    void SetCaptionPosX(Integer value);
    Integer CaptionPosY() const noexcept { return captionPosY_; }
    void SetCaptionPosY(Integer value);
    TAlignment CaptionAlignment() const noexcept { return captionAlignment_; }
    void SetCaptionAlignment(TAlignment value);
    TScaleUnitAnchor CaptionAnchor() const noexcept { return captionAnchor_; }
    void SetCaptionAnchor(TScaleUnitAnchor value);
    TColor ColorBackGnd() const noexcept { return colorBackGnd_; }
    void SetColorBackGnd(TColor value);
    TColor ColorScale() const noexcept { return colorScale_; }
    void SetColorScale(TColor value);
    TColorScheme ColorScheme() const noexcept { return colorScheme_; }
    void SetColorScheme(TColorScheme value);
    TDTLabel* DateFormat() const noexcept { return dateFormat_.get(); }
    void SetDateFormat(TDTLabel* value);
    // −3..12: −1 scientific, −2 and −3 automatic (−3 decade exponents on logarithmic axes).
    Integer DecPlaces() const noexcept { return decPlaces_; }
    void SetDecPlaces(Integer value);
    TFrameStyle FrameStyle() const noexcept { return frameStyle_; }
    void SetFrameStyle(TFrameStyle value);
    TFigType LabelType() const noexcept { return labelType_; }
    void SetLabelType(TFigType value);
    bool Logarithmic() const noexcept { return logarithmic_; }
    void SetLogarithmic(bool value);
    Integer MarginTop() const noexcept { return marginTop_; }
    void SetMarginTop(Integer value);
    Integer MarginBottom() const noexcept { return marginBottom_; }
    void SetMarginBottom(Integer value);
    Integer MarginLeft() const noexcept { return marginLeft_; }
    void SetMarginLeft(Integer value);
    Integer MarginRight() const noexcept { return marginRight_; }
    void SetMarginRight(Integer value);
    // 0 (a fixed step of 1) or 2..10.
    Integer MinTicks() const noexcept { return minTicks_; }
    void SetMinTicks(Integer value);
    TMouseActMode MouseAction() const noexcept { return mouseAction_; }
    void SetMouseAction(TMouseActMode value) { mouseAction_ = value; }
    Integer NumTicks() const noexcept { return numTicks_; }
    // Non-finite values are ignored; an end equal to the other pulls that one apart by 1.
    double RangeLow() const noexcept { return rangeLow_; }
    void SetRangeLow(double value);
    double RangeHigh() const noexcept { return rangeHigh_; }
    void SetRangeHigh(double value);
    bool ShortTicks() const noexcept { return shortTicks_; }
    void SetShortTicks(bool value);
    bool ShowBaseLine() const noexcept { return showBaseLine_; }
    void SetShowBaseLine(bool value);
    const std::string& ScaleInscript() const noexcept { return scaleInscript_; }
    void SetScaleInscript(const std::string& value);
    TScaleType ScaleType() const noexcept { return scaleType_; }
    void SetScaleType(TScaleType value);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool value);
    const std::string& UserTickText() const noexcept { return userTickText_; }
    void SetUserTickText(const std::string& value);

    const TZoomPanEvent& OnZoomPan() const noexcept { return onZoomPan_; }
    void SetOnZoomPan(TZoomPanEvent h) { onZoomPan_ = std::move(h); }
    const TScaleTickDrawnEvent& OnScaleTickDrawn() const noexcept { return onScaleTickDrawn_; }
    void SetOnScaleTickDrawn(TScaleTickDrawnEvent h) { onScaleTickDrawn_ = std::move(h); }
    const TBeforeTickLabelEvent& OnBeforeTickLabel() const noexcept { return onBeforeTickLabel_; }
    void SetOnBeforeTickLabel(TBeforeTickLabelEvent h) { onBeforeTickLabel_ = std::move(h); }
    const TScaleRenderedEvent& OnAfterScaleRendered() const noexcept { return onAfterScaleRendered_; }
    void SetOnAfterScaleRendered(TScaleRenderedEvent h) { onAfterScaleRendered_ = std::move(h); }
    const TScaleRenderedEvent& OnBeforeScaleRendered() const noexcept { return onBeforeScaleRendered_; }
    void SetOnBeforeScaleRendered(TScaleRenderedEvent h) { onBeforeScaleRendered_ = std::move(h); }

    // ---- public ------------------------------------------------------------------
    void ResetToDefaults();
    bool SuppressPaint() const noexcept { return suppressPaint_; }
    // Storing false paints once.
    void SetSuppressPaint(bool value);
    // Paints now whatever SuppressPaint says.
    void PaintNow();
    bool Embedded() const noexcept { return embedded_; }
    void SetEmbedded(bool value);
    // Draws onto Canvas (origin X, Y) from now on; nullptr returns to the own window.
    void SetTargetCanvas(TCanvas* Canvas, Integer X, Integer Y) noexcept;
    void SetRange(double Low, double High);
    // Recorded tick I (1-based) of the last draw, or 0.
    double TickValue(Integer I) const noexcept;
    Integer ValueToPixel(double Value) const noexcept { return mapping_.Map(Value); }
    const TScaleMapping& Mapping() const noexcept { return mapping_; }
    // Pixels per unit (per unit of ln) and the pixel of 0 (of ln 1).
    double ScaleFactor() const noexcept { return mapping_.Factor; }
    double ScaleOffset() const noexcept { return mapping_.Offset; }
    // Still taking defaults: Logarithmic is accepted without looking at the range.
    bool DefaultsPhase() const noexcept { return defaultsPhase_; }
    void UpdateScaling();
    void Redraw();

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;
    void Loaded() override;
    void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

    // The mouse handlers are public so that a host or a test can drive them directly.
    void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
    void DblClick() override;

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    enum TLabelPlace : std::uint8_t { lpNumber, lpOwnHeight };
    struct TDrawState;

    void DrawVertScale(TCanvas* Canvas, Integer X);
    void DrawHorizScale(TCanvas* Canvas, Integer Y);
    void DrawScale(TCanvas* Canvas, Integer AxisPos, bool Vertical);
    void DrawAxis(TCanvas* Canvas, Integer X0, Integer Y0);
    void DrawCaption();

    // Tick passes (ticks.cpp, datetime.cpp).
    void DrawLinearTicks();
    void DrawLogTicks();
    bool DrawTimeTicks();
    void DrawDateTimeTicks();
    void DrawClockPass(Integer Unit, const Integer* Steps, const Integer* MinorSteps, TClockUnit Clock,
                       Extended X);
    void DrawDayPass(Extended X);
    void DrawMonthPass();
    void DrawYearPass();
    void DrawMessage(bool Invalid);

    // Drawing one tick (labels.cpp).
    void RecordTick(Extended Value) noexcept;
    void DrawMark(Extended Value, Integer Length);
    void FireTickDrawn(Extended Value);
    void DrawTickLabel(Extended Value, std::string Text, TLabelPlace Place);
    void DrawDateLine(Extended Value, std::string Text);
    std::string FinishNumericLabel(std::string Text, Integer Index) const;

    void ApplyColorScheme();

    TFrameStyle frameStyle_ = fsLowered;
    TColor colorScale_ = clBlack;
    TColor colorBackGnd_ = clBtnFace;
    TColor frameDark_ = clBlack;
    TColor frameShadow_ = clGray;
    TColor frameHighlight_ = clWhite;
    TColorScheme colorScheme_ = csBWG;
    TScaleTickDrawnEvent onScaleTickDrawn_;
    TBeforeTickLabelEvent onBeforeTickLabel_;
    TZoomPanEvent onZoomPan_;
    bool logarithmic_ = false;
    TScaleMapping mapping_;
    double rangeHigh_ = 100.0;
    double rangeLow_ = 0.0;
    bool shortTicks_ = true;
    Integer numTicks_ = 0;
    Integer minTicks_ = 3;
    Integer decPlaces_ = -2;
    bool defaultsPhase_ = true;
    bool showBaseLine_ = true;
    bool transparent_ = false;
    TFigType labelType_ = ftNum;
    std::unique_ptr<TDTLabel> dateFormat_;
    Integer marginTop_ = 20, marginBottom_ = 20, marginRight_ = 20, marginLeft_ = 20;
    bool embedded_ = false;
    Integer captionPosX_ = 4, captionPosY_ = 4;
    TAlignment captionAlignment_ = taCenter;
    TScaleUnitAnchor captionAnchor_ = uaSclTopLft;
    TMouseActMode mouseAction_ = maNone;
    Integer dragStartX_ = 0, dragStartY_ = 0;
    double dragStartLow_ = 0, dragStartHigh_ = 0;
    bool dragging_ = false;
    std::string userTickText_;
    std::string scaleInscript_;
    std::vector<double> tickList_;
    TCanvas* targetCanvas_ = nullptr;
    Integer targetX_ = 0, targetY_ = 0;
    TScaleType scaleType_ = sctXB;
    TScaleRenderedEvent onAfterScaleRendered_, onBeforeScaleRendered_;
    bool suppressPaint_ = true;

    // A handler that changes a setting in the middle of a paint would start a second paint
    // over the half-drawn one; the nested request is dropped instead.
    bool painting_ = false;
    // State of the draw in progress (canvas, axis position, text height of "0", decimals).
    TDrawState* draw_ = nullptr;
};

}  // namespace kvb
