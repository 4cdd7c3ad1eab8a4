// Local time as OLE Automation dates, the clock the watchdog compares with.
#include "ole_date.h"

#include <gtest/gtest.h>

namespace {

constexpr double kMillisecond = 1.0 / 86400000.0;

LocalDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0)
{
    LocalDateTime time;
    time.m_year = year;
    time.m_month = month;
    time.m_day = day;
    time.m_hour = hour;
    time.m_minute = minute;
    time.m_second = second;
    time.m_millisecond = millisecond;
    return time;
}

struct DateCase
{
    const char* m_name;
    LocalDateTime m_time;
    double m_date;
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << c.m_name;
}

const DateCase kDateCases[] = {
    {"EpochIsZero", At(1899, 12, 30), 0.0},
    {"NewYear1900IsDayTwo", At(1900, 1, 1), 2.0},
    {"Year1900HasNoLeapDay", At(1900, 3, 1), 61.0},
    {"Millennium", At(2000, 1, 1), 36526.0},
    {"LeapDay2024", At(2024, 2, 29), 45351.0},
    {"DayAfterLeapDay", At(2024, 3, 1), 45352.0},
    {"NoonIsHalfADay", At(2000, 1, 1, 12), 36526.5},
    {"LastMillisecondOfTheDay", At(1999, 12, 31, 23, 59, 59, 999), 36526.0 - kMillisecond},
    {"OneMillisecondAfterMidnight", At(2024, 1, 1, 0, 0, 0, 1), 45292.0 + kMillisecond},
};

class OleDate : public testing::TestWithParam<DateCase>
{
};

TEST_P(OleDate, Converts)
{
    EXPECT_NEAR(OleDateFromLocalTime(GetParam().m_time), GetParam().m_date, kMillisecond / 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, OleDate, testing::ValuesIn(kDateCases),
                         [](const testing::TestParamInfo<DateCase>& info) { return info.param.m_name; });

TEST(OleDateBefore, SubtractsMilliseconds)
{
    const double now = OleDateFromLocalTime(At(2024, 6, 1, 10, 0, 0, 0));
    EXPECT_NEAR(OleDateBefore(now, 3000), OleDateFromLocalTime(At(2024, 6, 1, 9, 59, 57, 0)), kMillisecond / 10);
    EXPECT_DOUBLE_EQ(OleDateBefore(now, 0), now);
    // Across midnight into the previous day.
    const double justAfterMidnight = OleDateFromLocalTime(At(2024, 6, 1, 0, 0, 0, 500));
    EXPECT_NEAR(OleDateBefore(justAfterMidnight, 1000), OleDateFromLocalTime(At(2024, 5, 31, 23, 59, 59, 500)),
                kMillisecond / 10);
}

TEST(OleDateBefore, ThreeSecondsOldIsJustAtTheWatchdogLimit)
{
    // The watchdog re-installs above 1/28800 day; a hook silent for 3.1 s must show up above it, 2.9 s below.
    const double now = OleDateFromLocalTime(At(2024, 6, 1, 10, 0, 0, 0));
    EXPECT_GT(now - OleDateBefore(now, 3100), 1.0 / 28800);
    EXPECT_LT(now - OleDateBefore(now, 2900), 1.0 / 28800);
}

} // namespace
