// Converts local calendar time to OLE Automation dates.
#include "ole_date.h"

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr long kDaysToOleEpoch = 693899;

// Days since 1 March of year 0; starting the year in March puts the leap day at the end of the year.
long DaysFromCivil(int year, int month, int day)
{
    const int shiftedYear = month <= 2 ? year - 1 : year;
    const long era = (shiftedYear >= 0 ? shiftedYear : shiftedYear - 399) / 400;
    const long yearOfEra = shiftedYear - era * 400;
    const long monthFromMarch = month > 2 ? month - 3 : month + 9;
    const long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

} // namespace

double OleDateFromLocalTime(const LocalDateTime& time)
{
    const long days = DaysFromCivil(time.m_year, time.m_month, time.m_day) - kDaysToOleEpoch;
    const long milliseconds = ((time.m_hour * 60L + time.m_minute) * 60L + time.m_second) * 1000L + time.m_millisecond;
    return static_cast<double>(days) + static_cast<double>(milliseconds) / kMillisecondsPerDay;
}

double OleDateBefore(double now, unsigned long elapsedMs)
{
    return now - static_cast<double>(elapsedMs) / kMillisecondsPerDay;
}
