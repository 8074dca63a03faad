// Duration and date/time axes: step tables, label formats and texts.
#include <cmath>
#include <cstdio>

#include "scale/ScaleDraw.h"

namespace kvb {

const double DurationSteps[DurationTableSize + 1] = {
    0,   0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,  0.2,  0.5,   1,     2,     5,     10, 20,
    30,  60,    120,   180,   300,  600,  1200, 1800, 3600, 7200,  14400, 21600, 43200, 86400};
const Integer DurationMinorIntervals[DurationTableSize + 1] = {
    0, 5, 4, 5, 5, 4, 5, 5, 4, 5, 5, 4, 5, 5, 4, 6, 6, 6, 6, 5, 5, 6, 6, 6, 4, 4, 6, 6, 6};

const Integer HourSteps[7] = {0, 1, 2, 3, 6, 8, 12};
const Integer HourMinorSteps[7] = {0, 1, 1, 1, 2, 2, 3};
const Integer MinSecSteps[7] = {0, 1, 2, 5, 10, 20, 30};
const Integer MinSecMinorSteps[7] = {0, 1, 1, 1, 2, 5, 10};
const Integer HundredthSteps[7] = {0, 1, 2, 5, 10, 20, 50};
const Integer HundredthMinorSteps[7] = {0, 1, 1, 1, 5, 10, 10};
const Integer DaySteps[7] = {0, 1, 2, 3, 7, 14, 28};
const Integer MonthSteps[6] = {0, 1, 2, 3, 4, 6};

Integer DurationIndex(Extended X) {
    // In double precision, like the table: 0.003 / 3 must find the 0.001 step.
    const double x = static_cast<double>(X);
    for (Integer k = DurationTableSize; k >= 1; --k)
        if (DurationSteps[k] <= x) return k;
    return 0;
}

Integer StepIndex(const Integer* Table, Integer Count, Extended X) {
    for (Integer i = Count; i >= 1; --i)
        if (Table[i] <= X) return i;
    return 1;
}

TDateTimePass ChooseDateTimePass(Extended X, bool Vertical) {
    if (Vertical) {
        if (X <= 1.0L / 8640000) return dpBelowOneSecond;
        if (X <= 1.0L / 86400) return dpClockHundredths;
        if (X <= 1.0L / 1440) return dpClockSeconds;
    } else {
        if (X <= 0.000011574L) return dpBelowOneSecond;
        if (X <= 0.00069444L) return dpClockSeconds;
    }
    if (X <= 0.041667L) return dpClockMinutes;
    if (X <= 1) return dpClockHours;
    if (X <= 30) return dpDays;
    if (X > 366) return dpYears;
    return dpMonths;
}

void YearSteps(Extended XY, bool ShortTicks, Integer& Step, Integer& Minor) {
    if (!(XY >= 1)) XY = 1;
    // Ranges are at most a few million days, so steps stay far below this; the bound only
    // keeps the integer conversion defined for whatever a caller passes.
    if (XY > 1e9L) XY = 1e9L;
    const Extended L = std::log10(XY);
    const Extended m = std::pow(10.0L, Frac(L));
    const int f = m < 2 ? 1 : (m < 5 ? 2 : 5);
    Step = static_cast<Integer>(Round(Int(std::pow(10.0L, Int(L))) * f));
    if (!ShortTicks || Step <= 1)
        Minor = Step;
    else
        Minor = static_cast<Integer>(Round(static_cast<Extended>(Step) / (f == 5 ? 5 : 2)));
    if (Minor < 1) Minor = 1;
}

std::string FormatDuration(Extended Value, bool WithMs) {
    Extended a = std::fabs(Value) * 1000;
    // Whole milliseconds; beyond 2^63 every Extended is an integer already.
    if (a < 9.2e18L) a = static_cast<Extended>(Round(a));
    if (!std::isfinite(a)) a = 0;
    const Extended totalSeconds = std::floor(a / 1000);
    const Extended ms = a - totalSeconds * 1000;
    const Extended hours = std::floor(totalSeconds / 3600);
    const Extended rest = totalSeconds - hours * 3600;
    const Extended minutes = std::floor(rest / 60);
    const Extended seconds = rest - minutes * 60;
    char buf[96];
    const char sign = Value < 0 && a > 0 ? '-' : ' ';
    if (WithMs)
        std::snprintf(buf, sizeof buf, "%c%02.0Lf:%02.0Lf:%02.0Lf.%03.0Lf", sign, hours, minutes, seconds, ms);
    else
        std::snprintf(buf, sizeof buf, "%c%02.0Lf:%02.0Lf:%02.0Lf", sign, hours, minutes, seconds);
    return buf;
}

double DateTimeForFormat(Extended Value) {
    if (std::fabs(Value) < 1e-8L) return 0.0;
    if (Value < 0) {
        const Extended f = Frac(Value);
        const Extended fl = static_cast<Extended>(Floor(Value));
        return static_cast<double>(f <= -1e-8L ? fl - f - 1 : fl - f);
    }
    return static_cast<double>(Value);
}

std::string FormatDT(const std::string& Format, Extended Value) {
    try {
        return FormatDateTime(Format, DateTimeForFormat(Value));
    } catch (const Exception&) {
        // The date axis admits serials up to 3000000, past the calendar's 31 December 9999;
        // such a tick gets no text rather than ending the paint.
        return {};
    }
}

std::string QuotedLiteral(char c) {
    const char quote = c == '"' ? '\'' : '"';
    std::string s;
    s += quote;
    s += c;
    s += quote;
    return s;
}

std::string ClockFormat(TClockUnit Unit, TTimeFormat TimeFormat, char TimeSeparator) {
    const std::string s = QuotedLiteral(TimeSeparator);
    switch (TimeFormat) {
    case tfHHhMM:
        switch (Unit) {
        case cuHour: return "h\"h\"";
        case cuMinute: return "h\"h\"nn";
        case cuSecond: return "h\"h\"nn" + s + "ss";
        case cuHundredth: return "h\"h\"nn" + s + "ss.zz";
        }
        break;
    case tfAMPM:
        switch (Unit) {
        case cuHour: return "ham/pm";
        case cuMinute: return "h" + s + "nnam/pm";
        case cuSecond: return "h" + s + "nn\".\"ssam/pm";
        case cuHundredth: return "h" + s + "nn\".\"ss.zzam/pm";
        }
        break;
    case tfHHMMSS:
    default:
        break;
    }
    switch (Unit) {
    case cuHour:
    case cuMinute: return "hh" + s + "nn";
    case cuSecond: return "hh" + s + "nn" + s + "ss";
    case cuHundredth:
    default: return "hh" + s + "nn" + s + "ss.zz";
    }
}

namespace {
std::string MonthCode(bool MonthName) { return MonthName ? "mmm" : "mm"; }
std::string YearCode(TYearLength Year) {
    return Year == ylYY ? "yy" : (Year == ylYYYY ? "yyyy" : "");
}
}  // namespace

std::string DayTickFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator) {
    const std::string s = QuotedLiteral(Separator), mon = MonthCode(MonthName), yr = YearCode(Year);
    switch (Order) {
    case doMMDDYY: return mon + s + "dd" + s + yr;
    case doYYMMDD: return yr + s + mon + s + "dd";
    case doDDMMYY:
    default: return "dd" + s + mon + s + yr;
    }
}

std::string MonthTickFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator) {
    const std::string s = QuotedLiteral(Separator), mon = MonthCode(MonthName), yr = YearCode(Year);
    if (Order == doYYMMDD) return yr + s + mon;
    return mon + s + yr;
}

std::string DateLineFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator) {
    const std::string s = QuotedLiteral(Separator), mon = MonthCode(MonthName), yr = YearCode(Year);
    switch (Order) {
    case doMMDDYY: return yr.empty() ? mon + s + "dd" : mon + s + "dd" + s + yr;
    case doYYMMDD: return yr.empty() ? mon + s + "dd" : yr + s + mon + s + "dd";
    case doDDMMYY:
    default: return yr.empty() ? "dd" + s + mon : "dd" + s + mon + s + yr;
    }
}

// ---------------------------------------------------------------------------------------
// Tick passes of duration and date/time axes

namespace {

// Duration and date axes divide the range by MinTicks; MinTicks 0 (a fixed step of 1 on
// numeric axes) has no meaning in days or seconds and counts as one interval here.
Integer IntervalsOf(Integer minTicks) { return minTicks <= 0 ? 1 : minTicks; }

Int64 NonNegativeMod(Int64 a, Int64 b) { return ((a % b) + b) % b; }

// The day of month a tick's label shows: the formatter works to the millisecond, so a tick a
// hair before midnight belongs to the next day.
Word DayOfMonth(Extended v) {
    Word y, m, d;
    DecodeDate(static_cast<double>(std::floor(v + 0.5L / 86400000)), y, m, d);
    return d;
}

}  // namespace

bool TScale::DrawTimeTicks() {
    const Extended low = rangeLow_, high = rangeHigh_;
    const bool vertical = draw_->Vertical;
    const Extended dir = high > low ? 1.0L : -1.0L;
    const Extended x = std::fabs(high - low) / IntervalsOf(minTicks_);
    const Integer k = DurationIndex(x);
    if (k == DurationTableSize || k == 0) return false;
    const Extended step = dir * static_cast<Extended>(DurationSteps[k]);
    const Extended minor = step / DurationMinorIntervals[k];
    Int64 count = Trunc((high - low) / minor) + 5;
    if (count > MaxTickPositions) count = MaxTickPositions;
    const Extended start = Int(low / step / TickFuzz) * step;
    // Each end is widened outwards by TickFuzz, away from the other end, so that a tick
    // computed a hair beyond an end still counts. On a reversed axis the outward direction
    // of each end is the opposite one; widening as for a rising axis would pull the ends
    // inwards and lose the tick at RangeLow (3600..0) or at RangeHigh (0..-3600).
    auto widen = [](Extended v, Extended outward) { return v * outward > 0 ? v / TickFuzz : v * TickFuzz; };
    const Extended lowLimit = widen(low, -dir);
    const Extended highLimit = widen(high, dir);
    auto inside = [&](Extended v) { return dir * lowLimit <= dir * v && dir * v <= dir * highLimit; };

    if (shortTicks_) {
        for (Int64 t = 0; t <= count && !draw_->Full(); ++t) {
            const Extended v = start + t * minor;
            if (!inside(v)) continue;
            RecordTick(v);
            DrawMark(v, 4);
            FireTickDrawn(v);
        }
    }
    for (Int64 t = 0; t <= count && !draw_->Full(); ++t) {
        const Extended v = start + t * minor;
        const Extended r = v / step;
        if (!(std::fabs(r - std::round(r)) < 0.01L) || !inside(v)) continue;
        if (vertical || !shortTicks_) RecordTick(v);
        DrawMark(v, vertical ? 6 : 7);
        DrawTickLabel(v, FormatDuration(v, k <= 9), lpNumber);
        FireTickDrawn(v);
    }
    return true;
}

void TScale::DrawDateTimeTicks() {
    const Extended low = rangeLow_, high = rangeHigh_;
    if (!(high >= low && low >= MinDateTime && high <= 3000000)) {
        DrawMessage(true);
        return;
    }
    const Extended x = (high - low) / IntervalsOf(minTicks_);
    switch (ChooseDateTimePass(x, draw_->Vertical)) {
    case dpBelowOneSecond: DrawMessage(false); break;
    case dpClockHundredths: DrawClockPass(8640000, HundredthSteps, HundredthMinorSteps, cuHundredth, x); break;
    case dpClockSeconds: DrawClockPass(86400, MinSecSteps, MinSecMinorSteps, cuSecond, x); break;
    case dpClockMinutes: DrawClockPass(1440, MinSecSteps, MinSecMinorSteps, cuMinute, x); break;
    case dpClockHours: DrawClockPass(24, HourSteps, HourMinorSteps, cuHour, x); break;
    case dpDays: DrawDayPass(x); break;
    case dpMonths: DrawMonthPass(); break;
    case dpYears: DrawYearPass(); break;
    }
}

void TScale::DrawMessage(bool Invalid) {
    TCanvas* c = draw_->Canvas;
    const std::int64_t m = ValueToPixel((rangeLow_ + rangeHigh_) / 2);
    const std::int64_t a = draw_->AxisPos;
    if (draw_->Vertical) {
        static const char* const kInvalid[] = {"invalid", "DateTime", "scale"};
        static const char* const kBelow[] = {"DateTime", "range is", "below 1", "second"};
        const char* const* words = Invalid ? kInvalid : kBelow;
        const int count = Invalid ? 3 : 4;
        const std::int64_t th = c->TextHeight("T");
        for (int i = 0; i < count; ++i) {
            const std::string word = words[i];
            const std::int64_t left = scaleType_ == sctYL ? a + 2 : a - 2 - c->TextWidth(word);
            c->TextOut(ClampToInteger(left), ClampToInteger(m + (i - 1) * th), word);
        }
        return;
    }
    const std::string text = Invalid ? "invalid DateTime scale" : "DateTime range is below 1 second";
    c->TextOut(ClampToInteger(m - c->TextWidth(text) / 2), ClampToInteger(a + 7), text);
}

void TScale::DrawClockPass(Integer Unit, const Integer* Steps, const Integer* MinorSteps, TClockUnit Clock,
                           Extended X) {
    const Extended low = rangeLow_, high = rangeHigh_;
    const bool vertical = draw_->Vertical;
    const Integer i = StepIndex(Steps, 6, X * Unit);
    const Extended major = static_cast<Extended>(Steps[i]) / Unit;
    const Extended minor = static_cast<Extended>(MinorSteps[i]) / Unit;
    // The first multiple of the step, counted from midnight, at or after RangeLow. The time
    // of day is taken from the day's start below RangeLow: a negative RangeLow at midnight
    // (-1.0) has time 0 there, not a whole day, which would put the first tick a day late.
    const Extended d0 = std::floor(low);
    const Int64 q = static_cast<Int64>(std::ceil(Unit * (low - d0)));
    const Int64 e = NonNegativeMod(Steps[i] - NonNegativeMod(q, Steps[i]), Steps[i]);
    const Extended first = d0 + static_cast<Extended>(q + e) / Unit;

    const std::string format = ClockFormat(Clock, dateFormat_->TimeFormat(), dateFormat_->TimeSeparator());
    const std::string dateFormat = DateLineFormat(dateFormat_->DateOrder(), dateFormat_->MonthName(),
                                                  dateFormat_->YearLength(), dateFormat_->DateSeparator());
    const TDateForTime dateForTime = dateFormat_->DateForTime();
    Integer marker = -1;

    Extended cur = first;
    if (shortTicks_)
        for (Integer n = 0; n < MaxTickPositions && cur > low; ++n) cur -= minor;
    for (Integer n = 0; n < MaxTickPositions && !draw_->Full() && cur - high < 1e-8L; ++n) {
        if (cur >= low) {
            RecordTick(cur);
            const Extended r = cur / major;
            if (!shortTicks_ || std::fabs(r - static_cast<Extended>(Round(r))) <= 0.1L) {
                DrawMark(cur, vertical ? 6 : 7);
                DrawTickLabel(cur, FormatDT(format, cur), lpOwnHeight);
                bool withDate = dateForTime == dtAllTicks;
                if (dateForTime == dtOnePerChart && marker < 0) {
                    withDate = true;
                    marker = DayOfMonth(cur);
                } else if (dateForTime == dtOnePerDay) {
                    const Integer day = DayOfMonth(cur);
                    if (day != marker) {
                        withDate = true;
                        marker = day;
                    }
                }
                if (withDate) DrawDateLine(cur, FormatDT(dateFormat, cur));
            } else {
                DrawMark(cur, 4);
            }
            FireTickDrawn(cur);
        }
        cur += shortTicks_ ? minor : major;
    }
}

void TScale::DrawDayPass(Extended X) {
    const Extended low = rangeLow_, high = rangeHigh_;
    // Serials past 31 December 9999 (the range test admits them) have no calendar date.
    if (low > MaxDateTime) return;
    Word year, month, day;
    DecodeDate(static_cast<double>(low), year, month, day);
    if (year == 0) return;
    const bool vertical = draw_->Vertical;
    const Integer i = StepIndex(DaySteps, 6, X);
    const Int64 step = DaySteps[i];
    const Extended jan1 = EncodeDate(year, 1, 1);
    const Extended first = jan1 + static_cast<Extended>(Trunc(low - jan1) / step * step);
    const Int64 phase = NonNegativeMod(Round(first), step);
    const Extended minor = i <= 4 ? 1 : 7;
    const std::string format = DayTickFormat(dateFormat_->DateOrder(), dateFormat_->MonthName(),
                                             dateFormat_->YearLength(), dateFormat_->DateSeparator());
    Extended cur = first;
    for (Integer n = 0; n < MaxTickPositions && !draw_->Full() && cur - high < 1e-8L; ++n) {
        if (cur >= low) {
            RecordTick(cur);
            if (shortTicks_ && NonNegativeMod(Round(cur), step) != phase) {
                DrawMark(cur, 4);
            } else {
                DrawMark(cur, vertical ? 6 : 7);
                DrawTickLabel(cur, FormatDT(format, cur), lpOwnHeight);
            }
            FireTickDrawn(cur);
        }
        cur += shortTicks_ ? minor : static_cast<Extended>(step);
    }
}

void TScale::DrawMonthPass() {
    const Extended low = rangeLow_, high = rangeHigh_;
    if (low > MaxDateTime) return;
    Word y, m, d;
    DecodeDate(static_cast<double>(low), y, m, d);
    if (y == 0) return;
    Integer year = y, month = m;
    const bool vertical = draw_->Vertical;
    const Extended xm = (high - low) / 30.4375L / IntervalsOf(minTicks_);
    const Integer step = MonthSteps[StepIndex(MonthSteps, 5, xm)];
    auto advance = [&](Integer months) {
        month += months;
        while (month > 12) {
            month -= 12;
            ++year;
        }
    };
    if (step > 1 && !shortTicks_) {
        do advance(1);
        while (month % step != 1);
    }
    const std::string format = MonthTickFormat(dateFormat_->DateOrder(), dateFormat_->MonthName(),
                                               dateFormat_->YearLength(), dateFormat_->DateSeparator());
    for (Integer n = 0; n < MaxTickPositions && !draw_->Full() && year <= 9999; ++n) {
        const Extended cur = EncodeDate(static_cast<Word>(year), static_cast<Word>(month), 1);
        if (!(cur - high < 1e-8L)) break;
        if (cur >= low) {
            RecordTick(cur);
            if (shortTicks_ && month % step != 1 && step != 1) {
                DrawMark(cur, 4);
            } else {
                DrawMark(cur, vertical ? 6 : 7);
                DrawTickLabel(cur, FormatDT(format, cur), lpOwnHeight);
            }
            FireTickDrawn(cur);
        }
        advance(shortTicks_ ? 1 : step);
    }
}

void TScale::DrawYearPass() {
    const Extended low = rangeLow_, high = rangeHigh_;
    if (low > MaxDateTime) return;
    Word y, m, d;
    DecodeDate(static_cast<double>(low), y, m, d);
    if (y == 0) return;
    const bool vertical = draw_->Vertical;
    Integer step, minor;
    YearSteps((high - low) / 365.25L / IntervalsOf(minTicks_), shortTicks_, step, minor);
    Integer year = ((y - 1) / minor + 1) * minor;
    if (year == y && (m > 1 || d > 1)) year += minor;
    const TYearLength length = dateFormat_->YearLength();
    // The pass ends with the calendar: a year after 9999 would be clamped to 31 December 9999
    // again and again, so no tick is drawn past it.
    for (Integer n = 0; n < MaxTickPositions && !draw_->Full() && year <= 9999; ++n) {
        const Extended cur = EncodeDate(static_cast<Word>(year), 1, 1);
        if (!(cur - high < 1e-8L)) break;
        std::string text;
        if (length == ylYY) {
            text = FormatDT("yy", cur);
        } else if (length == ylYYYY) {
            text = FormatDT("yyyy", cur);
            text.erase(0, text.find_first_not_of('0') == std::string::npos ? 0 : text.find_first_not_of('0'));
        }
        RecordTick(cur);
        if (shortTicks_ && year % step != 0) {
            DrawMark(cur, 4);
        } else {
            DrawMark(cur, vertical ? 6 : 7);
            DrawTickLabel(cur, std::move(text), lpOwnHeight);
        }
        FireTickDrawn(cur);
        year += minor;
    }
}

}  // namespace kvb
