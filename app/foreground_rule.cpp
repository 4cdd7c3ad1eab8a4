// Which systems need the input-attach method to move another process's window to the foreground.
#include "foreground_rule.h"

namespace {
constexpr int kPlatformWindows = 1; // the 9x family
constexpr int kPlatformNT = 2;
} // namespace

bool NeedsForegroundWorkaround(int platformId, int majorVersion, int minorVersion)
{
    if (platformId == kPlatformNT)
        return majorVersion > 4;
    if (platformId == kPlatformWindows)
        return majorVersion > 4 || (majorVersion == 4 && minorVersion > 0);
    return false;
}
