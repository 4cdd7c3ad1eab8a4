// The watchdog's test and the date-time arithmetic it needs.
#include "watchdog_rule.h"

#include <cmath>

namespace {
constexpr long double kMillisecondsPerDay = 86400000.0L;
// Three seconds; the limit is 1/28800 of a day.
constexpr long long kReinstallLimitMs = 3000;

// Days from 1 March of year 0 (proleptic Gregorian) to the given civil date.
long long DaysFromCivil(long long year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    long long era = (year >= 0 ? year : year - 399) / 400;
    long long yearOfEra = year - era * 400;
    long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}
} // namespace

double DateTimeFromParts(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    long long days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    long long ms = ((static_cast<long long>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(static_cast<long double>(days) + static_cast<long double>(ms) / kMillisecondsPerDay);
}

bool ShouldReinstall(double now, double lastMouseMessage)
{
    long double difference = static_cast<long double>(now) - static_cast<long double>(lastMouseMessage);
    if (!(difference == difference)) // a NaN from the library is no evidence of a dropped hook
        return false;
    long double ms = std::nearbyint(difference * kMillisecondsPerDay);
    return ms > static_cast<long double>(kReinstallLimitMs);
}
