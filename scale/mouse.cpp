// Dragging on an axis: the range computation shared with the chart, and the scale's handlers.
#include <cmath>

#include "scale/ScaleDraw.h"

namespace kvb {

bool ComputeZoomPan(Integer X, Integer Y, Integer StartX, Integer StartY, Integer Width,
                    Integer Height, Integer MarginLeft, Integer MarginRight, Integer MarginTop,
                    Integer MarginBottom, double Lo, double Hi, TMouseActMode MouseAction,
                    TScaleType ScaleType, bool Logarithmic, double RangeLow, double RangeHigh,
                    double& NewLow, double& NewHigh) {
    if (MouseAction != maPan && MouseAction != maZoom && MouseAction != maZoomDrag) return false;
    // Pixel quantities as doubles, so that extreme integers cannot overflow on subtraction.
    const double x = X, y = Y, sx = StartX, sy = StartY, w = Width, h = Height;
    const double ml = MarginLeft, mr = MarginRight, mt = MarginTop, mb = MarginBottom;
    const double lh = w - ml - mr, lv = h - mt - mb;
    const bool horizontal = ScaleType == sctXB || ScaleType == sctXT;
    if (Logarithmic && !(Lo > 0 && Hi > 0 && RangeLow > 0 && RangeHigh > 0)) return false;
    const double g = std::sqrt(Lo * Hi), c = (Lo + Hi) / 2;
    double low = 0, high = 0;

    switch (MouseAction) {
    case maPan:
        if (!Logarithmic) {
            const double s = horizontal ? (RangeHigh - RangeLow) * (x - sx) / lh
                                        : (RangeHigh - RangeLow) * (y - sy) / lv;
            low = horizontal ? Lo - s : Lo + s;
            high = horizontal ? Hi - s : Hi + s;
        } else {
            const double f = horizontal ? std::exp(std::log(RangeHigh / RangeLow) * (sx - x) / lh)
                                        : std::exp(std::log(RangeHigh / RangeLow) * (y - sy) / lv);
            low = Lo * f;
            high = Hi * f;
        }
        break;
    case maZoom: {
        const bool nearHalf = horizontal ? sx < ml + lh / 2 : sy > mt + lv / 2;
        if (!Logarithmic) {
            double r;
            if (horizontal)
                r = nearHalf ? (w - x - mr) / (w - sx - mr) : (x - ml) / (sx - ml);
            else
                r = nearHalf ? (y - mt) / (sy - mt) : (h - y - mb) / (h - sy - mb);
            // The pointer on the margin of the fixed end makes the ratio 0 (or undefined).
            if (r == 0 || !std::isfinite(r)) return false;
            if (nearHalf) {
                low = Hi - (Hi - Lo) / r;
                high = Hi;
            } else {
                low = Lo;
                high = Lo + (Hi - Lo) / r;
            }
        } else {
            double a;
            if (horizontal)
                a = (nearHalf ? (x - sx) : (sx - x)) / lh + 1;
            else
                a = (nearHalf ? (sy - y) : (y - sy)) / lv + 1;
            const double f = std::pow(Hi / g, a);
            if (nearHalf) {
                low = g / f;
                high = Hi;
            } else {
                low = Lo;
                high = g * f;
            }
        }
        break;
    }
    case maZoomDrag:
    default: {
        if (!Logarithmic) {
            const double a = horizontal ? 1 - (x - sx) / w : (y - sy) / h + 1;
            low = c - (Hi - Lo) * a / 2;
            high = c + (Hi - Lo) * a / 2;
        } else {
            const double a = horizontal ? (sx - x) / w + 1 : (y - sy) / h + 1;
            const double f = std::pow(Hi / g, a);
            low = g / f;
            high = g * f;
        }
        break;
    }
    }
    if (!std::isfinite(low) || !std::isfinite(high)) return false;
    NewLow = low;
    NewHigh = high;
    return true;
}

// ---------------------------------------------------------------------------------------
// The scale's handlers. A drag starts at the first qualifying move with the left button held
// and measures every later move from there; moves outside the axis band are ignored without
// ending it.

void TScale::MouseMove(TShiftState Shift, Integer X, Integer Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft)) return;
    const std::int64_t w = Width(), h = Height();
    const bool horizontal = scaleType_ == sctXB || scaleType_ == sctXT;
    const bool inBand = horizontal ? (marginLeft_ < X && X < w - marginRight_ && 0 < Y && Y < h)
                                   : (0 < X && X < w && marginTop_ < Y && Y < h - marginBottom_);
    if (!inBand) return;
    if (!dragging_) {
        dragStartX_ = X;
        dragStartY_ = Y;
        dragStartLow_ = rangeLow_;
        dragStartHigh_ = rangeHigh_;
    } else {
        double low, high;
        if (ComputeZoomPan(X, Y, dragStartX_, dragStartY_, Width(), Height(), marginLeft_, marginRight_,
                           marginTop_, marginBottom_, dragStartLow_, dragStartHigh_, mouseAction_, scaleType_,
                           logarithmic_, rangeLow_, rangeHigh_, low, high)) {
            const bool saved = suppressPaint_;
            SetSuppressPaint(true);
            SetRange(low, high);
            SetSuppressPaint(saved);
            if (onZoomPan_) onZoomPan_(this);
        }
    }
    dragging_ = true;
}

void TScale::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    dragging_ = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TScale::DblClick() {
    if (mouseAction_ == maPan)
        mouseAction_ = maZoom;
    else if (mouseAction_ == maZoom)
        mouseAction_ = maPan;
    TCustomControl::DblClick();
}

}  // namespace kvb
