// The watchdog's date-times and its strict three-second test.
#include "watchdog_rule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kSecond = 1.0 / 86400.0;

TEST(WatchdogRuleTest, DateTimesCountDaysFromTheLastDayOf1899)
{
    EXPECT_DOUBLE_EQ(DateTimeFromParts(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(DateTimeFromParts(1900, 1, 1, 12, 0, 0, 0), 2.5);
    EXPECT_DOUBLE_EQ(DateTimeFromParts(2000, 1, 1, 0, 0, 0, 0), 36526.0);
    EXPECT_DOUBLE_EQ(DateTimeFromParts(2024, 2, 29, 6, 0, 0, 0), 45351.25);
    EXPECT_NEAR(DateTimeFromParts(2026, 12, 8, 0, 0, 1, 500) - DateTimeFromParts(2026, 12, 8, 0, 0, 0, 0),
                1.5 * kSecond, 1e-12);
}

TEST(WatchdogRuleTest, OnlyMoreThanThreeSecondsReinstalls)
{
    double now = DateTimeFromParts(2026, 12, 8, 12, 0, 5, 0);
    struct Case
    {
        double age;
        bool reinstall;
    } cases[] = {{5.0, true}, {3.1, true}, {3.001, true}, {3.0, false}, {2.999, false}, {2.9, false}, {0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(ShouldReinstall(now, now - c.age * kSecond), c.reinstall) << c.age << " s";
}

TEST(WatchdogRuleTest, ExactlyThreeSecondsDoesNotReinstallAtAnyTimeOfDay)
{
    for (int hour = 0; hour < 24; ++hour) {
        for (int second = 3; second < 60; second += 7) {
            double now = DateTimeFromParts(2026, 12, 8, hour, 17, second, 250);
            double last = DateTimeFromParts(2026, 12, 8, hour, 17, second - 3, 250);
            EXPECT_FALSE(ShouldReinstall(now, last)) << hour << ":17:" << second;
            EXPECT_TRUE(ShouldReinstall(now + 0.001 * kSecond, last)) << hour << ":17:" << second;
        }
    }
}

TEST(WatchdogRuleTest, ClockGoingBackOrNonsenseNeverReinstalls)
{
    double now = DateTimeFromParts(2026, 12, 8, 12, 0, 0, 0);
    EXPECT_FALSE(ShouldReinstall(now, now + 3600 * kSecond));
    EXPECT_FALSE(ShouldReinstall(now, std::numeric_limits<double>::quiet_NaN()));
}

TEST(WatchdogRuleTest, MidnightIsCrossedSmoothly)
{
    double before = DateTimeFromParts(2026, 12, 31, 23, 59, 58, 0);
    double after = DateTimeFromParts(2027, 1, 1, 0, 0, 2, 0);
    EXPECT_TRUE(ShouldReinstall(after, before));
}

} // namespace
