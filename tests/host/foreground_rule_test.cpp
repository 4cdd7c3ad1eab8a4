// Which systems need the attach method to change the foreground window.
#include "foreground_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(ForegroundRuleTest, Windows98AndNT5OnNeedTheWorkaround)
{
    struct Case
    {
        int platform, major, minor;
        bool needs;
        const char* name;
    } cases[] = {
        {1, 4, 0, false, "Windows 95"}, {1, 4, 10, true, "Windows 98"}, {1, 4, 90, true, "Windows ME"},
        {2, 4, 0, false, "NT 4.0"},     {2, 3, 51, false, "NT 3.51"},   {2, 5, 0, true, "Windows 2000"},
        {2, 6, 0, true, "Vista"},       {2, 10, 0, true, "Windows 10"}, {0, 6, 0, false, "Win32s"},
        {3, 10, 0, false, "unknown platform"}, {0, 0, 0, false, "failed query"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeedsForegroundWorkaround(c.platform, c.major, c.minor), c.needs) << c.name;
}

} // namespace
