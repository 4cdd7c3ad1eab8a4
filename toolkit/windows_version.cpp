// Classification of a GetVersion value; no Windows calls, so it is tested on the host.
#include "windows_version.h"

namespace {
// GetVersion sets the top bit outside the NT family (Windows 95, 98, Me and Win32s).
constexpr uint32_t kNot9xFamilyMask = 0x80000000u;
constexpr uint32_t kByteMask = 0xFF;
constexpr int kMinorShift = 8;
// Windows 95 was the first 9x release with major version 4; anything lower is Win32s on Windows 3.x.
constexpr uint32_t kWin95Major = 4;

// major × 256 + minor
constexpr uint32_t Release(uint32_t major, uint32_t minor)
{
    return (major << kMinorShift) | minor;
}
} // namespace

WindowsVersion ClassifyWindowsVersion(uint32_t getVersionValue)
{
    uint32_t major = getVersionValue & kByteMask;
    uint32_t minor = (getVersionValue >> kMinorShift) & kByteMask;
    uint32_t release = Release(major, minor);

    if ((getVersionValue & kNot9xFamilyMask) == 0) {
        switch (release) {
        case Release(4, 0):
            return WinNT4;
        case Release(5, 0):
            return Win2000;
        case Release(5, 1):
            return WinXP;
        case Release(5, 2):
            return WinServer2003;
        case Release(6, 0):
            return WinVista;
        default:
            return WinNTOther;
        }
    }
    if (major < kWin95Major)
        return Win32sOrOlder;
    if (release < Release(4, 10))
        return Win95;
    if (release < Release(4, 90))
        return Win98;
    return WinMe;
}
