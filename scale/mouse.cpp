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
    // The arithmetic runs in extended precision; each named factor (s, f, r, a, g, c) is
    // rounded to a double, as the range itself is. Pixel quantities are taken as Extended, so
    // that extreme integers cannot overflow on subtraction.
    using E = Extended;
    const E x = X, y = Y, sx = StartX, sy = StartY, w = Width, h = Height;
    const E ml = MarginLeft, mr = MarginRight, mt = MarginTop, mb = MarginBottom;
    const E lh = w - ml - mr, lv = h - mt - mb;
    const bool horizontal = ScaleType == sctXB || ScaleType == sctXT;
    if (Logarithmic && !(Lo > 0 && Hi > 0 && RangeLow > 0 && RangeHigh > 0)) return false;
    const E lo = Lo, hi = Hi;
    const E g = static_cast<double>(std::sqrt(lo * hi)), c = static_cast<double>((lo + hi) / 2);
    E low = 0, high = 0;

    switch (MouseAction) {
    case maPan:
        if (!Logarithmic) {
            const E width = static_cast<E>(RangeHigh) - RangeLow;
            const E s = static_cast<double>(horizontal ? width * (x - sx) / lh : width * (y - sy) / lv);
            low = horizontal ? lo - s : lo + s;
            high = horizontal ? hi - s : hi + s;
        } else {
            const E ratio = std::log(static_cast<E>(RangeHigh) / RangeLow);
            const E f = static_cast<double>(horizontal ? std::exp(ratio * (sx - x) / lh)
                                                       : std::exp(ratio * (y - sy) / lv));
            low = lo * f;
            high = hi * f;
        }
        break;
    case maZoom: {
        const bool nearHalf = horizontal ? sx < ml + lh / 2 : sy > mt + lv / 2;
        if (!Logarithmic) {
            E r;
            if (horizontal)
                r = static_cast<double>(nearHalf ? (w - x - mr) / (w - sx - mr) : (x - ml) / (sx - ml));
            else
                r = static_cast<double>(nearHalf ? (y - mt) / (sy - mt) : (h - y - mb) / (h - sy - mb));
            // The pointer on the margin of the fixed end makes the ratio 0 (or undefined).
            if (r == 0 || !std::isfinite(r)) return false;
            if (nearHalf) {
                low = hi - (hi - lo) / r;
                high = hi;
            } else {
                low = lo;
                high = lo + (hi - lo) / r;
            }
        } else {
            E a;
            if (horizontal)
                a = static_cast<double>((nearHalf ? (x - sx) : (sx - x)) / lh + 1);
            else
                a = static_cast<double>((nearHalf ? (sy - y) : (y - sy)) / lv + 1);
            const E f = static_cast<double>(std::pow(hi / g, a));
            if (nearHalf) {
                low = g / f;
                high = hi;
            } else {
                low = lo;
                high = g * f;
            }
        }
        break;
    }
    case maZoomDrag:
    default: {
        if (!Logarithmic) {
            const E a = static_cast<double>(horizontal ? 1 - (x - sx) / w : (y - sy) / h + 1);
            low = c - (hi - lo) * a / 2;
            high = c + (hi - lo) * a / 2;
        } else {
            const E a = static_cast<double>(horizontal ? (sx - x) / w + 1 : (y - sy) / h + 1);
            const E f = static_cast<double>(std::pow(hi / g, a));
            low = g / f;
            high = g * f;
        }
        break;
    }
    }
    const double newLow = static_cast<double>(low), newHigh = static_cast<double>(high);
    if (!std::isfinite(newLow) || !std::isfinite(newHigh)) return false;
    NewLow = newLow;
    NewHigh = newHigh;
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
