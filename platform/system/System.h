// The run-time library of the framework: numeric types and rounding, the process-wide
// pseudo-random generator, calendar dates and their formatting, file names and the
// exception classes every layer raises.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kvb {

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Double = double;
// 80-bit on x86-64; axis arithmetic relies on the extra precision.
using Extended = long double;
// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// ---------------------------------------------------------------------------------------
// Exceptions

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A value or an object cannot be converted or assigned to the requested kind.
class EConvertError : public Exception { using Exception::Exception; };
// An allocation the caller asked for cannot be satisfied.
class EOutOfMemory : public Exception { using Exception::Exception; };
// A stored layout or stream cannot be read.
class EReadError : public Exception { using Exception::Exception; };
// A stream or file cannot be written.
class EWriteError : public Exception { using Exception::Exception; };
// A file cannot be opened.
class EFOpenError : public Exception { using Exception::Exception; };
// A picture file is malformed or of an unsupported kind.
class EInvalidGraphic : public Exception { using Exception::Exception; };
// An operation is not allowed in the object's current state.
class EInvalidOperation : public Exception { using Exception::Exception; };
// No usable font is installed.
class EFontError : public Exception { using Exception::Exception; };

// ---------------------------------------------------------------------------------------
// Rounding. Round sends halves to the even neighbour, as the platform's run-time does.
// Values outside the Int64 range saturate; NaN gives 0.

Int64 Round(Extended value) noexcept;
// Integer part, towards zero, as a floating value.
Extended Int(Extended value) noexcept;
// Integer part, towards zero (saturating; NaN gives 0).
Int64 Trunc(Extended value) noexcept;
// Fractional part: value − Int(value), with the sign of value.
Extended Frac(Extended value) noexcept;
// Largest integer not above value (saturating; NaN gives 0).
Int64 Floor(Extended value) noexcept;

// ---------------------------------------------------------------------------------------
// The process-wide pseudo-random generator: a 32-bit linear congruential state advanced before
// every draw, state := state * 134775813 + 1 (mod 2^32).

Cardinal RandSeed() noexcept;
void SetRandSeed(Cardinal seed) noexcept;
// state / 2^32, in [0, 1).
Double Random() noexcept;
// floor(n * state / 2^32), in [0, n) for n > 0; 0 for n <= 0 (the state still advances).
Integer Random(Integer n) noexcept;

// ---------------------------------------------------------------------------------------
// Dates. Serial numbers count days from 1899-12-30; days before it are negative.

constexpr TDateTime MinDateTime = -693593.0;  // 0001-01-01
constexpr TDateTime MaxDateTime = 2958465.99999999;  // 9999-12-31 23:59:59.999

bool IsLeapYear(Word year) noexcept;
Word DaysInMonth(Word year, Word month) noexcept;
// Raises EConvertError for a date outside 0001-01-01 … 9999-12-31 or a day the month lacks.
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& result) noexcept;
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
// The calendar date of the integer part (the time of day is dropped: −0.5 is 1899-12-30).
// The serial is first rounded to whole milliseconds, so a time that rounds up to midnight
// belongs to the next day, in step with DecodeTime. A serial before 0001-01-01, NaN or an
// infinity gives year, month and day 0.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday … 7 = Saturday.
Word DayOfWeek(TDateTime date);

// Formats a serial number with the codes d, dd, m, mm, mmm, yy, yyyy, h, hh, n, nn, s, ss, z, zz,
// zzz, am/pm (turns on the 12-hour clock for the hours before it), "literal text" and
// 'literal text'; every other character is copied. An "m" or "mm" right after an hour code is
// minutes. A negative serial is read in sign-and-magnitude form: its integer part counts days
// back from 1899-12-30 and its fraction is the time of day.
std::string FormatDateTime(const std::string& format, TDateTime dateTime);

// ---------------------------------------------------------------------------------------
// File names

// The part after the last '/' (or '\\', for names written on the original platform).
std::string ExtractFileName(const std::string& path);

}  // namespace kvb
