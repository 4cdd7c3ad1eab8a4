// Local wall-clock time as an OLE Automation date: days since 30 December 1899, the fraction the time of day.
// It is the clock the program's watchdog reads, so the two can be subtracted.
#pragma once

struct LocalDateTime
{
    int m_year = 1899;
    int m_month = 12;
    int m_day = 30;
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    int m_millisecond = 0;
};

double OleDateFromLocalTime(const LocalDateTime& time);

// The date of an event that happened elapsedMs milliseconds before the date now.
double OleDateBefore(double now, unsigned long elapsedMs);
