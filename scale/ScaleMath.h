// The arithmetic of the axis scale without a canvas or a window: the 1-2-5 step rule, automatic
// decimals and number texts, user texts and inscripts, duration and date/time texts with their
// step tables, the world-to-pixel mapping and the drag computation. TScale and the chart draw
// with these; tests call them with tables of cases.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "base/KVB_kvbbase.h"
#include "platform/system/System.h"

namespace kvb {

// ---------------------------------------------------------------------------------------
// Tick placement constants

// Relative tolerance of the logarithmic and duration tick tests.
constexpr Extended TickFuzz = 0.999999999L;
// Entries of the tick list recorded per draw.
constexpr Integer TickListCapacity = 250;
// No loop of a tick pass examines more positions than this, and no draw makes more tick marks
// than MaxTicksPerDraw. A step of 1 over a range of 1e300 (MinTicks 0), or a step lost below
// the precision of huge values, would otherwise run for ever, and a dense logarithmic axis
// over 600 decades would label 1800 ticks; no axis shows anything useful past a few hundred.
// 400 keeps the 301 unit ticks of a 0..300 axis.
constexpr Integer MaxTickPositions = 400;
constexpr Integer MaxTicksPerDraw = 1000;

// The 1-2-5 rule: the largest nice step (1, 2 or 5 × 10^k) that splits Low..High into at
// least MinTicks intervals, the first multiple of it at Low (within 0.1 % of a step) and the
// number of minor intervals per step. MinTicks 0 gives a fixed step of 1.
//
// On a reversed range (Low > High) with MinTicks 0 the step is −1, starting at the first
// integer not above Low (within 0.1 %): a step of +1 would walk away from High and the tick
// passes, which advance towards High, would never end.
void NiceTickStep(Integer MinTicks, Extended Low, Extended High, Extended& First, Extended& Step,
                  Word& SubDiv);

// ---------------------------------------------------------------------------------------
// Numeric labels

// Effective decimals of a linear axis for DecPlaces −2 and −3 (−1 means scientific).
Integer AutoDecPlacesLinear(Extended RangeLow, Extended RangeHigh);
// Effective decimals of a logarithmic axis for DecPlaces −2.
Integer AutoDecPlacesLog(Extended RangeLow, Extended RangeHigh);

// The number text of a tick label. Decimals ≥ 0: fixed point with exactly that many
// decimals, "." as separator whatever the locale, rounded on the 18-digit decimal expansion
// with halves away from zero. Decimals −1: eight characters of scientific notation
// (" 1.5E+03", "-2.0E-05"), or eight "*" when the exponent needs three digits.
// A value that rounds to zero is written without a minus sign.
std::string FormatTickNumber(Extended Value, Integer Decimals);

// The label of a major tick of a linear axis before user texts and inscripts: zero snapping,
// the 14-character cut and the empty text of non-integer ticks when DecPlaces is 0. Value is
// replaced by 0 when it is snapped.
std::string LinearTickLabel(Extended& Value, Extended RangeLow, Extended RangeHigh,
                            Integer DecPlaces, Integer EffectiveDecimals);
// The label of a major tick of a logarithmic axis (Multiplier 1, 2 or 5 of a power of ten)
// before user texts and inscripts.
std::string LogTickLabel(Extended Value, Integer Multiplier, Integer DecPlaces,
                         Integer EffectiveDecimals);

// Item N (1-based) of a "|"-separated list; past the end the last item; empty for N ≤ 0.
std::string PickUserTickText(const std::string& Text, Integer N);
// Puts the label into the inscript at its first "&", or after the inscript without one.
std::string ApplyInscript(const std::string& Label, const std::string& Inscript);

// ---------------------------------------------------------------------------------------
// Durations and dates

// The duration table of ftTime axes, index 1..28 (index 0 is unused).
constexpr Integer DurationTableSize = 28;
extern const double DurationSteps[DurationTableSize + 1];
extern const Integer DurationMinorIntervals[DurationTableSize + 1];
// The largest index whose step is ≤ X, or 0 when X is below the smallest step.
Integer DurationIndex(Extended X);

// Clock, day and month step tables, index 1..6 (months 1..5); index 0 is unused.
extern const Integer HourSteps[7], HourMinorSteps[7];
extern const Integer MinSecSteps[7], MinSecMinorSteps[7];
extern const Integer HundredthSteps[7], HundredthMinorSteps[7];
extern const Integer DaySteps[7];
extern const Integer MonthSteps[6];
// The largest index of Table[1..Count] whose entry is ≤ X; 1 when none is.
Integer StepIndex(const Integer* Table, Integer Count, Extended X);

// What a date/time axis draws for a range of X days per tick.
enum TDateTimePass : std::uint8_t {
    dpBelowOneSecond, dpClockHundredths, dpClockSeconds, dpClockMinutes, dpClockHours, dpDays,
    dpMonths, dpYears
};
TDateTimePass ChooseDateTimePass(Extended X, bool Vertical);

// Year pass: the step in years for XY years per tick (at least 1) and its minor step.
void YearSteps(Extended XY, bool ShortTicks, Integer& Step, Integer& Minor);

// The text of a duration label: a sign character (blank or "-") and hh:mm:ss, or hh:mm:ss.zzz
// with milliseconds. The value is rounded to whole milliseconds before it is split, so a tick
// computed a hair below a whole second (0.9999999) reads as that second and never as
// 00:00:00.1000.
std::string FormatDuration(Extended Value, bool WithMs);

// FormatDateTime after two corrections: values within 1e-8 of zero become 0, and negative
// serials are turned into the formatter's sign-and-magnitude form (−0.25 becomes −1.75).
std::string FormatDT(const std::string& Format, Extended Value);
// The corrected serial that FormatDT hands to the formatter.
double DateTimeForFormat(Extended Value);

// A single character as a quoted literal of a FormatDateTime format.
std::string QuotedLiteral(char c);

// ---------------------------------------------------------------------------------------
// The world-to-pixel mapping of one axis.

struct TScaleMapping {
    // Kept in double precision, as the scale's settings are; the mapping itself is evaluated
    // in extended precision, so a value whose pixel lies a hair below a half (50 on a 0..100
    // axis of 359 pixels: 3.59 as a double times 50 is 179.4999…) is not pushed onto it.
    double Factor = 1.0;  // pixels per unit (per unit of ln on logarithmic axes)
    double Offset = 0.0;  // pixel of value 0 (of ln 1)
    bool Logarithmic = false;
    bool Ascending = true;  // RangeHigh ≥ RangeLow
    Integer Width = 0;      // where non-positive values go on a descending logarithmic axis

    // The pixel of a value along the axis, clamped to ±2147483647 and rounded halves to even.
    Integer Map(double value) const noexcept {
        Extended p;
        if (!Logarithmic) {
            p = static_cast<Extended>(Factor) * value + Offset;
        } else if (value > 1e-100) {
            p = static_cast<Extended>(Factor) * std::log(static_cast<Extended>(value)) + Offset;
        } else {
            return Ascending ? 0 : Width;
        }
        if (!(p > -2147483647.0L)) {  // also NaN
            return p != p ? 0 : -2147483647;
        }
        if (p > 2147483647.0L) return 2147483647;
        return RoundHalfEven(p);
    }

    // Round's rule (halves to the even neighbour) for values already within the Integer
    // range. Round guards the floating-point rounding mode on every call, which costs more
    // than the whole mapping, and an extended-to-integer conversion switches the x87 control
    // word. A double's conversion truncates whatever the mode. The double keeps 22 fraction
    // bits even at 2^31, so its fraction decides alike unless it lies next to a half, where
    // the double may have rounded the value onto the half: there the exact extended
    // remainder decides.
    static Integer RoundHalfEven(Extended value) noexcept {
        const double p = static_cast<double>(value);
        const auto t = static_cast<std::int64_t>(p);
        const double fd = p - static_cast<double>(t);
        if (std::fabs(std::fabs(fd) - 0.5) > 1e-6) return static_cast<Integer>(fd > 0.5 ? t + 1 : (fd < -0.5 ? t - 1 : t));
        const Extended f = value - static_cast<Extended>(t);  // exact: |f| < 1 and t < 2^32
        if (f > 0.5L || (f == 0.5L && (t & 1) != 0)) return static_cast<Integer>(t + 1);
        if (f < -0.5L || (f == -0.5L && (t & 1) != 0)) return static_cast<Integer>(t - 1);
        return static_cast<Integer>(t);
    }
};

// ---------------------------------------------------------------------------------------
// The new range of a drag on an axis, for maPan, maZoom and maZoomDrag (false for every other
// action). Moves whose result is not a usable range are ignored and give false as well: a zoom
// ratio of 0 (the pointer on the far margin), a logarithmic range with an end ≤ 0, an axis of
// no length, or any result that is not a finite double. The arithmetic is extended; the
// factors of the drag (shift, ratio, exponent, centre, geometric mean) are rounded to doubles.
bool ComputeZoomPan(Integer X, Integer Y, Integer StartX, Integer StartY, Integer Width,
                    Integer Height, Integer MarginLeft, Integer MarginRight, Integer MarginTop,
                    Integer MarginBottom, double Lo, double Hi, TMouseActMode MouseAction,
                    TScaleType ScaleType, bool Logarithmic, double RangeLow, double RangeHigh,
                    double& NewLow, double& NewHigh);

// ---------------------------------------------------------------------------------------
// Date/time label formats (FormatDateTime codes; separators as quoted literals)

enum TClockUnit : std::uint8_t { cuHour, cuMinute, cuSecond, cuHundredth };
std::string ClockFormat(TClockUnit Unit, TTimeFormat TimeFormat, char TimeSeparator);
std::string DayTickFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator);
std::string MonthTickFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator);
std::string DateLineFormat(TDateOrder Order, bool MonthName, TYearLength Year, char Separator);

}  // namespace kvb
