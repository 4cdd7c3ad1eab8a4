// Classification of GetVersion values into Windows releases.
#include "windows_version.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t k9xFamily = 0x80000000u;

uint32_t Version(bool nt, uint32_t major, uint32_t minor, uint32_t build = 0)
{
    return major | (minor << 8) | (build << 16) | (nt ? 0 : k9xFamily);
}

struct Case
{
    const char* name;
    uint32_t value;
    WindowsVersion expected;
};

TEST(ClassifyWindowsVersion, NamesEachReleaseByFamilyAndVersion)
{
    const Case cases[] = {
        {"Win32s on 3.1", Version(false, 3, 10), Win32sOrOlder},
        {"9x 4.0 is Windows 95", Version(false, 4, 0), Win95},
        {"9x 4.3 (OSR2 style) is still 95", Version(false, 4, 3), Win95},
        {"9x 4.9 is below 4.10, so 95", Version(false, 4, 9), Win95},
        {"9x 4.10 is Windows 98", Version(false, 4, 10), Win98},
        {"9x 4.89 is still 98", Version(false, 4, 89), Win98},
        {"9x 4.90 is Me", Version(false, 4, 90), WinMe},
        {"9x 5.0 counts as Me", Version(false, 5, 0), WinMe},
        {"NT 4.0", Version(true, 4, 0), WinNT4},
        {"2000", Version(true, 5, 0), Win2000},
        {"XP", Version(true, 5, 1), WinXP},
        {"Server 2003", Version(true, 5, 2), WinServer2003},
        {"Vista", Version(true, 6, 0), WinVista},
        {"7 is other", Version(true, 6, 1), WinNTOther},
        {"10 is other", Version(true, 10, 0), WinNTOther},
        {"NT 3.51 is other", Version(true, 3, 51), WinNTOther},
        {"NT 4.1 is other", Version(true, 4, 1), WinNTOther},
        {"build number is ignored", Version(true, 5, 1, 2600), WinXP},
        {"9x build bits below the family bit are ignored", Version(false, 4, 10, 0x7FFF), Win98},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyWindowsVersion(c.value), c.expected) << c.name;
}

} // namespace
