// The running Windows release, asked of the machine once per process.
#include "machine.h"
#include "windows_version.h"

namespace {
// 0xFF: not determined yet.
constexpr uint8_t kVersionUnknown = 0xFF;
uint8_t g_windowsVersion = kVersionUnknown;
} // namespace

WindowsVersion GetWindowsVersion()
{
    if (g_windowsVersion == kVersionUnknown)
        g_windowsVersion = ClassifyWindowsVersion(TheMachine().GetVersion());
    return static_cast<WindowsVersion>(g_windowsVersion);
}
