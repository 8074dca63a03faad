// Calendar dates and times of day on serial numbers counted in days from 1899-12-30, and
// their formatting.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/system/System.h"

namespace kvb {

namespace {

namespace chr = std::chrono;

// 1899-12-30 is 25569 days before the Unix epoch that sys_days counts from.
constexpr long kEpochOffset = 25569;
constexpr Int64 kMSecsPerDay = 86400000;

constexpr const char* kShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonthNames[] = {"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};
constexpr const char* kShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};

// A serial split the way the formatter reads it: whole milliseconds, rounded once, so that the
// date and the time of day always agree (23:59:59.9996 rounds up to midnight of the next day,
// never to a time of 24:00). The integer part counts days; the magnitude of the fraction is
// the time of day, also for negative serials (sign-and-magnitude).
struct TStamp {
    bool valid = false;
    Int64 days = 0;   // towards zero
    Int64 msecs = 0;  // 0 .. kMSecsPerDay - 1
};

// Far beyond the calendar, but well inside what a double multiplied by a day's milliseconds
// and chrono's year range can hold.
constexpr Extended kSerialLimit = 1.0e7L;

TStamp ToStamp(TDateTime value) noexcept {
    TStamp s;
    if (!std::isfinite(value) || std::fabs(value) > kSerialLimit) return s;
    const Int64 ms = Round(static_cast<Extended>(value) * kMSecsPerDay);
    s.valid = true;
    s.days = ms / kMSecsPerDay;
    s.msecs = (ms < 0 ? -ms : ms) % kMSecsPerDay;
    return s;
}

// Years 1 … 32767 decode; days before 0001-01-01 give the invalid all-zero date.
bool DaysToDate(Int64 days, Word& year, Word& month, Word& day) noexcept {
    year = month = day = 0;
    if (days < static_cast<Int64>(MinDateTime)) return false;
    const chr::year_month_day ymd{chr::sys_days{chr::days{days - kEpochOffset}}};
    if (!ymd.ok() || int(ymd.year()) < 1) return false;
    year = static_cast<Word>(int(ymd.year()));
    month = static_cast<Word>(unsigned(ymd.month()));
    day = static_cast<Word>(unsigned(ymd.day()));
    return true;
}

void AppendNumber(std::string& out, Int64 value, int minDigits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", minDigits, static_cast<long long>(value));
    out += buf;
}

char Lower(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool StartsWithAmPm(const std::string& f, std::size_t i) noexcept {
    static constexpr char kAmPm[] = "am/pm";
    if (f.size() - i < 5) return false;
    for (std::size_t k = 0; k < 5; ++k)
        if (Lower(f[i + k]) != kAmPm[k]) return false;
    return true;
}

// An hour code is on the 12-hour clock when an am/pm code comes later in the format; quoted
// text is skipped, so a literal "am/pm" does not count.
bool AmPmFollows(const std::string& f, std::size_t i) noexcept {
    while (i < f.size()) {
        const char c = f[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = f.find(c, i + 1);
            if (close == std::string::npos) return false;
            i = close + 1;
        } else if (StartsWithAmPm(f, i)) {
            return true;
        } else {
            ++i;
        }
    }
    return false;
}

}  // namespace

bool IsLeapYear(Word year) noexcept {
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

Word DaysInMonth(Word year, Word month) noexcept {
    static constexpr Word kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& result) noexcept {
    if (year < 1 || year > 9999) return false;
    const chr::year_month_day ymd{chr::year{year}, chr::month{month}, chr::day{day}};
    if (!ymd.ok()) return false;
    result = static_cast<TDateTime>(chr::sys_days{ymd}.time_since_epoch().count() + kEpochOffset);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Invalid argument to date encode");
    return result;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
    if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000)
        throw EConvertError("Invalid argument to time encode");
    return static_cast<TDateTime>((Int64(hour) * 3600000 + Int64(min) * 60000 + Int64(sec) * 1000 + msec)) /
           static_cast<TDateTime>(kMSecsPerDay);
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
    const TStamp s = ToStamp(date);
    year = month = day = 0;
    if (s.valid) DaysToDate(s.days, year, month, day);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
    const TStamp s = ToStamp(time);
    const Int64 ms = s.msecs;
    hour = static_cast<Word>(ms / 3600000);
    min = static_cast<Word>(ms / 60000 % 60);
    sec = static_cast<Word>(ms / 1000 % 60);
    msec = static_cast<Word>(ms % 1000);
}

Word DayOfWeek(TDateTime date) {
    const TStamp s = ToStamp(date);
    if (!s.valid) return 0;
    // 1899-12-30 was a Saturday (7).
    const Int64 r = ((s.days % 7) + 7 + 6) % 7;
    return static_cast<Word>(r + 1);
}

std::string FormatDateTime(const std::string& format, TDateTime dateTime) {
    const TStamp stamp = ToStamp(dateTime);
    Word year = 0, month = 0, day = 0;
    if (stamp.valid) DaysToDate(stamp.days, year, month, day);
    const Int64 ms = stamp.msecs;
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    const int second = static_cast<int>(ms / 1000 % 60);
    const int msec = static_cast<int>(ms % 1000);

    std::string out;
    out.reserve(format.size() + 8);
    bool lastWasHour = false;
    std::size_t i = 0;
    const std::size_t n = format.size();
    auto run = [&](char lower) {
        std::size_t count = 0;
        while (i < n && Lower(format[i]) == lower) ++i, ++count;
        return count;
    };
    while (i < n) {
        const char c = format[i];
        const char lc = Lower(c);
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(c, i + 1);
            const std::size_t end = close == std::string::npos ? n : close;
            out.append(format, i + 1, end - i - 1);
            i = close == std::string::npos ? n : close + 1;
            continue;
        }
        if (lc == 'a' && StartsWithAmPm(format, i)) {
            // The letters keep the case the format writes them in ("AM/PM" gives "PM").
            const bool pm = hour >= 12;
            const char first = pm ? 'p' : 'a';
            out += (format[i] >= 'A' && format[i] <= 'Z') ? static_cast<char>(first - 32) : first;
            out += format[i + 1];
            i += 5;
            lastWasHour = false;
            continue;
        }
        switch (lc) {
            case 'd': {
                const std::size_t count = run('d');
                if (count <= 2) {
                    AppendNumber(out, day, static_cast<int>(count));
                } else if (stamp.valid && year != 0) {
                    const Word dow = DayOfWeek(dateTime);
                    out += (count == 3 ? kShortDayNames : kLongDayNames)[dow - 1];
                }
                lastWasHour = false;
                break;
            }
            case 'm': {
                const std::size_t count = run('m');
                if (lastWasHour && count <= 2) {
                    AppendNumber(out, minute, static_cast<int>(count));
                } else if (count <= 2) {
                    AppendNumber(out, month, static_cast<int>(count));
                } else if (month >= 1 && month <= 12) {
                    out += (count == 3 ? kShortMonthNames : kLongMonthNames)[month - 1];
                }
                lastWasHour = false;
                break;
            }
            case 'y': {
                const std::size_t count = run('y');
                if (count <= 2)
                    AppendNumber(out, year % 100, 2);
                else
                    AppendNumber(out, year, 4);
                lastWasHour = false;
                break;
            }
            case 'h': {
                const bool twelve = AmPmFollows(format, i);
                const std::size_t count = run('h');
                int h = hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                AppendNumber(out, h, count >= 2 ? 2 : 1);
                lastWasHour = true;
                break;
            }
            case 'n': {
                const std::size_t count = run('n');
                AppendNumber(out, minute, count >= 2 ? 2 : 1);
                lastWasHour = false;
                break;
            }
            case 's': {
                const std::size_t count = run('s');
                AppendNumber(out, second, count >= 2 ? 2 : 1);
                lastWasHour = false;
                break;
            }
            case 'z': {
                const std::size_t count = run('z');
                AppendNumber(out, msec, count >= 3 ? 3 : static_cast<int>(count));
                lastWasHour = false;
                break;
            }
            default:
                // Separators and any other character are copied; they do not end an hour's
                // claim on a following "m" ("hh:mm" is hours and minutes).
                out += c;
                ++i;
                break;
        }
    }
    return out;
}

}  // namespace kvb
