// Tick placement: the 1-2-5 step rule and the linear and logarithmic tick passes.
#include <cmath>

#include "scale/ScaleDraw.h"

namespace kvb {

namespace {

// Powers of ten for the decades axes actually use; powl costs more than the rest of the rule.
constexpr int kPow10Min = -60, kPow10Max = 60;
struct Pow10Table {
    Extended v[kPow10Max - kPow10Min + 1];
    Pow10Table() {
        for (int k = kPow10Min; k <= kPow10Max; ++k) v[k - kPow10Min] = std::pow(10.0L, static_cast<Extended>(k));
    }
};
const Pow10Table kPow10;

Extended Pow10(Extended k) {
    // k is integral; through a double the conversion is one SSE instruction instead of an
    // x87 control-word switch.
    if (k >= kPow10Min && k <= kPow10Max) return kPow10.v[static_cast<int>(static_cast<double>(k)) - kPow10Min];
    return std::pow(10.0L, k);
}

// Moves First on by Step until it lies no more than 0.1 % of a step before Low. Two rounds
// suffice in exact arithmetic; the bound only matters where Step is lost below the precision
// of First, and then First is left where it is.
void AdvanceToLow(Extended Low, Extended Step, Extended dir, Extended& First) {
    const Extended tol = 0.001L * std::fabs(Step);
    for (int n = 0; n < 64 && dir * (Low - First) > tol; ++n) First += Step;
}

constexpr Extended kLog2 = 0.301029995663981195213738894724493027L + 1e-10L;
constexpr Extended kLog5 = 0.698970004336018804786261105275506973L + 1e-10L;

// log10(X) as the step rule needs it. The extended logarithm costs more than the rest of the
// rule, and the rule only looks at where the fraction of the logarithm lies against 1e-10,
// 1 − 1e-10, log10(2) + 1e-10 and log10(5) + 1e-10; the double logarithm is off by far less
// than 1e-11 there, so it decides alike except within 1e-11 of one of those points, where the
// extended one is taken. X outside the normal doubles (a range of a few denormals) takes the
// extended one as well.
Extended Log10ForStep(Extended X) {
    const double xd = static_cast<double>(X);
    if (!std::isnormal(xd) || xd >= 1e300) return std::log10(X);
    const double gd = std::log10(xd);
    const double hf = gd - std::floor(gd);
    constexpr double kMargin = 1e-11;
    const double points[] = {1e-10, 1 - 1e-10, static_cast<double>(kLog2), static_cast<double>(kLog5)};
    for (double p : points)
        if (std::fabs(hf - p) < kMargin) return std::log10(X);
    return gd;
}

}  // namespace

void NiceTickStep(Integer MinTicks, Extended Low, Extended High, Extended& First, Extended& Step,
                  Word& SubDiv) {
    if (Low == High) {
        First = Low;
        Step = 0;
        SubDiv = 1;
        return;
    }
    const Extended dir = Low < High ? 1.0L : -1.0L;
    if (MinTicks == 0) {
        Step = dir;
        First = Int(Low) - dir;
        AdvanceToLow(Low, Step, dir, First);
        SubDiv = std::fabs(High - Low) > 10 ? 1 : 5;
        return;
    }
    const Extended x = std::fabs(High - Low) / MinTicks;
    Extended g = Log10ForStep(x);
    Extended h = g - Int(g);
    if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
        h = 0;
        g = static_cast<Extended>(Round(g));
    }
    if (g < 0 && h != 0) g -= 1;
    if (h < 0) h += 1;
    Extended mantissa;
    if (h < kLog2) {
        mantissa = 1;
        SubDiv = 5;
    } else if (h < kLog5) {
        mantissa = 2;
        SubDiv = 4;
    } else {
        mantissa = 5;
        SubDiv = 5;
    }
    Step = dir * mantissa * Pow10(Int(g));
    First = (Int(Low / Step) - 1) * Step;
    AdvanceToLow(Low, Step, dir, First);
}

// ---------------------------------------------------------------------------------------
// Tick passes. Vertical and horizontal scales differ in a few points: a horizontal scale
// draws nothing for a zero step, records a linear major tick only when the minor pass has not
// recorded that position already, and fires OnScaleTickDrawn after the label instead of
// before it; major marks are 6 pixels long on vertical scales and 7 on horizontal ones.

void TScale::DrawLinearTicks() {
    const Extended low = rangeLow_, high = rangeHigh_;
    Extended first, step;
    Word subDiv;
    NiceTickStep(minTicks_, low, high, first, step, subDiv);
    // Vertical scales would loop on a zero step as well; the range invariant keeps it away,
    // and the guard keeps it away from a scale whose invariant a caller has broken.
    if (step == 0 || !std::isfinite(step) || !std::isfinite(first)) return;
    const bool vertical = draw_->Vertical;
    const Extended minor = step / subDiv;
    const Extended dir = high > low ? 1.0L : -1.0L;
    const Integer decimals = (decPlaces_ == -2 || decPlaces_ == -3) ? AutoDecPlacesLinear(low, high) : decPlaces_;

    if (shortTicks_) {
        const Extended start = first - step;
        for (Integer i = 0; i < MaxTickPositions && !draw_->Full(); ++i) {
            const Extended v = start + i * minor;
            if (dir * v >= dir * low) {
                RecordTick(v);
                DrawMark(v, 4);
                FireTickDrawn(v);
            }
            if (!(dir * 0.001L * minor >= dir * (start + (i + 1) * minor - high))) break;
        }
    }

    const bool labelled = labelType_ != ftNoFigs;
    for (Integer i = 0; i < MaxTickPositions && !draw_->Full(); ++i) {
        const Extended v = first + i * step;
        Extended shown = v;  // 0 after zero snapping, for the label and the events
        std::string text;
        if (labelled) {
            text = LinearTickLabel(shown, low, high, decPlaces_, decimals);
            text = FinishNumericLabel(std::move(text), ++draw_->LabelIndex);
        }
        if (vertical) {
            RecordTick(v);
            DrawMark(v, 6);
            FireTickDrawn(shown);
            if (labelled) DrawTickLabel(shown, std::move(text), lpNumber);
        } else {
            if (!shortTicks_) RecordTick(v);
            DrawMark(v, 7);
            if (labelled) DrawTickLabel(shown, std::move(text), lpNumber);
            FireTickDrawn(shown);
        }
        if (!(dir * 0.001L * step >= dir * (first + (i + 1) * step - high))) break;
    }
}

void TScale::DrawLogTicks() {
    // A scale still taking its defaults accepts Logarithmic over any range; with an end at or
    // below zero there is no decade to mark, so it gets no ticks at all.
    if (!(rangeLow_ > 0 && rangeHigh_ > 0)) return;
    const Extended L = std::log10(static_cast<Extended>(rangeHigh_) / rangeLow_);
    if (std::fabs(L) < 1) {
        DrawLinearTicks();
        return;
    }
    const bool vertical = draw_->Vertical;
    const bool dense = minTicks_ > std::fabs(L) + 0.5L;
    const Extended lo = std::fmin(rangeLow_, rangeHigh_), hi = std::fmax(rangeLow_, rangeHigh_);
    const Integer decimals = decPlaces_ == -2 ? AutoDecPlacesLog(rangeLow_, rangeHigh_) : decPlaces_;
    const Extended base = Pow10(std::floor(std::log10(lo * TickFuzz)));
    const bool labelled = labelType_ != ftNoFigs;
    Extended m = 1;

    auto tick = [&](Integer j, bool major) {
        const Extended v = j * base * m;
        if (draw_->Full() || !(lo < v / TickFuzz && v * TickFuzz < hi)) return;
        if (major) {
            RecordTick(v);
            DrawMark(v, vertical ? 6 : 7);
            FireTickDrawn(v);
            if (labelled) {
                std::string text = LogTickLabel(v, j, decPlaces_, decimals);
                DrawTickLabel(v, FinishNumericLabel(std::move(text), ++draw_->LabelIndex), lpNumber);
            }
        } else if (vertical) {
            if (!shortTicks_) return;
            RecordTick(v);
            DrawMark(v, 6);
            FireTickDrawn(v);
        } else {
            if (shortTicks_) {
                RecordTick(v);
                DrawMark(v, 4);
            }
            FireTickDrawn(v);
        }
    };

    for (Integer decade = 0; decade < MaxTickPositions && !draw_->Full(); ++decade) {
        tick(1, true);
        if (dense)
            for (Integer j = 2; j <= 9; ++j) tick(j, j == 2 || j == 5);
        m *= 10;
        if (hi < TickFuzz * base * m) break;
    }
}

}  // namespace kvb
