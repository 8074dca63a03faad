// Numeric tick labels: automatic decimals, number texts, user texts and inscripts.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>

#include "scale/ScaleDraw.h"

namespace kvb {

namespace {

constexpr std::size_t kMaxLabelLength = 14;
constexpr int kSignificantDigits = 18;

// The 18 significant digits of |Value| and the power of ten of the first one
// (|Value| = d0.d1d2… × 10^Exponent). Zero gives eighteen "0" and exponent 0.
void DecimalExpansion(Extended Value, std::string& Digits, int& Exponent) {
    const Extended a = std::fabs(Value);
    if (a == 0) {
        Digits.assign(kSignificantDigits, '0');
        Exponent = 0;
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", a);  // d.ddddddddddddddddde±x
    Digits.clear();
    Digits.push_back(buf[0]);
    const char* p = buf + 2;
    while (*p >= '0' && *p <= '9') Digits.push_back(*p++);
    Exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
}

// Keeps the first Keep digits of Digits, rounding on the next one with halves away from zero.
// A carry out of the first digit adds one digit at the front and raises the exponent.
void RoundDigits(std::string& Digits, int Keep, int& Exponent) {
    if (Keep >= static_cast<int>(Digits.size())) return;
    if (Keep < 0) {
        Digits.clear();
        return;
    }
    const bool up = Digits[static_cast<std::size_t>(Keep)] >= '5';
    Digits.resize(static_cast<std::size_t>(Keep));
    if (!up) return;
    int i = Keep - 1;
    while (i >= 0 && Digits[static_cast<std::size_t>(i)] == '9') Digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++Digits[static_cast<std::size_t>(i)];
    } else {
        Digits.insert(Digits.begin(), '1');
        ++Exponent;
    }
}

std::string Scientific(Extended Value) {
    if (Value == 0) return " 0.0E+00";
    std::string digits;
    int exponent = 0;
    DecimalExpansion(Value, digits, exponent);
    RoundDigits(digits, 2, exponent);
    if (exponent <= -100 || exponent >= 100) return "********";
    std::string s;
    s += Value < 0 ? '-' : ' ';
    s += digits[0];
    s += '.';
    s += digits[1];
    s += 'E';
    s += exponent < 0 ? '-' : '+';
    const int e = std::abs(exponent);
    s += static_cast<char>('0' + e / 10);
    s += static_cast<char>('0' + e % 10);
    return s;
}

std::string Fixed(Extended Value, int Decimals) {
    std::string digits;
    int exponent = 0;
    DecimalExpansion(Value, digits, exponent);
    // Digits before the decimal point: exponent + 1; keep those and Decimals more.
    int point = exponent + 1;
    RoundDigits(digits, point + Decimals, exponent);
    point = exponent + 1;
    bool zero = true;
    for (char c : digits) zero = zero && c == '0';
    std::string s;
    // A value that rounds to zero is written "0.00", not "-0.00".
    if (Value < 0 && !zero) s += '-';
    auto digitAt = [&](int i) { return i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0'; };
    if (point <= 0) {
        s += '0';
    } else {
        for (int i = 0; i < point; ++i) s += digitAt(i);
    }
    if (Decimals > 0) {
        s += '.';
        for (int j = 0; j < Decimals; ++j) s += digitAt(point + j);
    }
    return s;
}

// Whether Value lies within 1e-6 of an integer. Beyond 2^63 every Extended is an integer,
// where Round would saturate.
bool NearInteger(Extended Value) {
    if (std::fabs(Value) >= 9.2e18L) return true;
    return std::fabs(Value - static_cast<Extended>(Round(Value))) <= 1e-6L;
}

void Cut(std::string& s) {
    if (s.size() > kMaxLabelLength) s.resize(kMaxLabelLength);
}

}  // namespace

Integer AutoDecPlacesLinear(Extended RangeLow, Extended RangeHigh) {
    const Extended d = std::fabs(RangeHigh - RangeLow);
    // The limits are compared in double precision, as they are typed: a range of 0.0001
    // entered as a double lies a hair above the extended 0.0001.
    if (d >= 1000000 || static_cast<double>(d) <= 0.0001) return -1;
    if (d >= 100) return 0;
    return static_cast<Integer>(2 - Round(std::log(d) / 2.5L));
}

Integer AutoDecPlacesLog(Extended RangeLow, Extended RangeHigh) {
    const Extended lo = std::fmin(RangeLow, RangeHigh), hi = std::fmax(RangeLow, RangeHigh);
    const Extended d = hi - lo;
    if (d >= 1000000 || static_cast<double>(d) <= 0.0001) return -1;
    if (lo >= 1) return 0;
    // lo is never 0 on a scale that accepted Logarithmic; log10 of 0 would give −inf, which
    // Round turns into a huge decimal count, so the result is clamped to what the setter allows.
    const Int64 r = 1 - Round(std::log10(std::fabs(lo)));
    return static_cast<Integer>(r > 12 ? 12 : (r < -1 ? -1 : r));
}

std::string FormatTickNumber(Extended Value, Integer Decimals) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value > 0 ? "INF" : "-INF";
    if (Decimals < 0) return Scientific(Value);
    return Fixed(Value, Decimals > 40 ? 40 : Decimals);
}

std::string LinearTickLabel(Extended& Value, Extended RangeLow, Extended RangeHigh,
                            Integer DecPlaces, Integer EffectiveDecimals) {
    const Extended width = RangeHigh - RangeLow;
    std::string text;
    if (std::fabs(Value / width) < 1e-14L) {
        Value = 0;
        if (std::fabs(width) > 100000)
            text = EffectiveDecimals == 0 ? "0" : "0.0";
        else
            text = FormatTickNumber(0, EffectiveDecimals);
    } else {
        text = FormatTickNumber(Value, EffectiveDecimals);
    }
    Cut(text);
    if (DecPlaces == 0 && !NearInteger(Value)) text.clear();
    return text;
}

std::string LogTickLabel(Extended Value, Integer Multiplier, Integer DecPlaces,
                         Integer EffectiveDecimals) {
    std::string text;
    if (EffectiveDecimals == -3) {
        if (Multiplier == 1) text = FormatTickNumber(static_cast<Extended>(Round(std::log10(Value))), 0);
    } else {
        text = FormatTickNumber(Value, EffectiveDecimals);
    }
    Cut(text);
    if (DecPlaces == -2 && text.find('.') != std::string::npos &&
        text.find('e') == std::string::npos && text.find('E') == std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return text;
}

std::string PickUserTickText(const std::string& Text, Integer N) {
    if (N <= 0 || Text.empty()) return {};
    std::size_t start = 0;
    for (Integer item = 1;; ++item) {
        const std::size_t bar = Text.find('|', start);
        if (bar == std::string::npos || item == N) return Text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        start = bar + 1;
    }
}

std::string ApplyInscript(const std::string& Label, const std::string& Inscript) {
    if (Label.empty() || Inscript.empty()) return Label;
    const std::size_t amp = Inscript.find('&');
    if (amp == std::string::npos) return Inscript + Label;
    return Inscript.substr(0, amp) + Label + Inscript.substr(amp + 1);
}

// ---------------------------------------------------------------------------------------
// Drawing one tick of a scale

void TScale::RecordTick(Extended Value) noexcept {
    if (numTicks_ < TickListCapacity && numTicks_ < static_cast<Integer>(tickList_.size()))
        tickList_[static_cast<std::size_t>(numTicks_++)] = static_cast<double>(Value);
}

void TScale::DrawMark(Extended Value, Integer Length) {
    TCanvas* c = draw_->Canvas;
    ++draw_->Marks;
    const Integer p = ValueToPixel(static_cast<double>(Value));
    const std::int64_t a = draw_->AxisPos;
    switch (scaleType_) {
    case sctYL: c->MoveTo(draw_->AxisPos, p); c->LineTo(ClampToInteger(a + Length), p); break;
    case sctYR: c->MoveTo(draw_->AxisPos, p); c->LineTo(ClampToInteger(a - Length), p); break;
    case sctXT: c->MoveTo(p, draw_->AxisPos); c->LineTo(p, ClampToInteger(a + Length)); break;
    case sctXB:
    default: c->MoveTo(p, draw_->AxisPos); c->LineTo(p, ClampToInteger(a - Length)); break;
    }
}

void TScale::FireTickDrawn(Extended Value) {
    if (!onScaleTickDrawn_) return;
    const Integer p = ValueToPixel(static_cast<double>(Value));
    if (draw_->Vertical)
        onScaleTickDrawn_(this, draw_->Canvas, scaleType_, static_cast<double>(Value), draw_->AxisPos, p);
    else
        onScaleTickDrawn_(this, draw_->Canvas, scaleType_, static_cast<double>(Value), p, draw_->AxisPos);
}

std::string TScale::FinishNumericLabel(std::string Text, Integer Index) const {
    if (labelType_ == ftUserText) return PickUserTickText(userTickText_, Index);
    return ApplyInscript(Text, scaleInscript_);
}

void TScale::DrawTickLabel(Extended Value, std::string Text, TLabelPlace Place) {
    if (onBeforeTickLabel_) onBeforeTickLabel_(this, scaleType_, static_cast<double>(Value), Text);
    if (Text.empty()) return;
    TCanvas* c = draw_->Canvas;
    const std::int64_t p = ValueToPixel(static_cast<double>(Value));
    const std::int64_t a = draw_->AxisPos;
    std::int64_t left, top;
    if (draw_->Vertical) {
        const std::int64_t th = Place == lpNumber ? draw_->TextHeight0 : c->TextHeight(Text);
        left = scaleType_ == sctYL ? a + 8 : a - 8 - c->TextWidth(Text);
        top = p - th / 2;
    } else {
        const std::int64_t hw = c->TextWidth(Text) / 2, th = c->TextHeight(Text), w = Width();
        // Centred under the tick, but kept 2 pixels off both edges of the control.
        left = p + hw >= w - 2 ? w - 2 * hw - 2 : p - std::min(hw, p - 2);
        top = scaleType_ == sctXT ? a + 7 : a - 7 - th;
    }
    c->TextOut(ClampToInteger(left), ClampToInteger(top), Text);
}

void TScale::DrawDateLine(Extended Value, std::string Text) {
    TCanvas* c = draw_->Canvas;
    const std::int64_t p = ValueToPixel(static_cast<double>(Value));
    const std::int64_t a = draw_->AxisPos;
    if (draw_->Vertical) {
        // Placed for the text as made; a handler's replacement keeps that place.
        const std::int64_t th = c->TextHeight(Text);
        const std::int64_t left = scaleType_ == sctYL ? a + 8 : a - 8 - c->TextWidth(Text);
        const std::int64_t top = p - 3 * (th / 2);
        if (onBeforeTickLabel_) onBeforeTickLabel_(this, scaleType_, static_cast<double>(Value), Text);
        if (!Text.empty()) c->TextOut(ClampToInteger(left), ClampToInteger(top), Text);
        return;
    }
    if (onBeforeTickLabel_) onBeforeTickLabel_(this, scaleType_, static_cast<double>(Value), Text);
    if (Text.empty()) return;
    const std::int64_t hw = c->TextWidth(Text) / 2, th = c->TextHeight(Text), w = Width();
    // One text line further from the axis than the time label.
    const std::int64_t row = scaleType_ == sctXT ? a + th : a - th;
    const std::int64_t left = p + hw >= w - 2 ? w - 2 * hw - 2 : p - std::min(hw, p - 2);
    const std::int64_t top = scaleType_ == sctXT ? row + 7 : row - 7 - th;
    c->TextOut(ClampToInteger(left), ClampToInteger(top), Text);
}

}  // namespace kvb
