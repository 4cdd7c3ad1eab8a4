// The smoothing keys through the profile functions; a missing file or key gives the defaults.
#include "smooth_settings_file.h"

#include <windows.h>

namespace {

constexpr char kSection[] = "router";
// What a missing key reads as; no value in a file can hold it.
constexpr char kAbsent[] = "\x01";
constexpr DWORD kValueSize = 32;

const char* ReadKey(const char* path, const char* key, char (&value)[kValueSize])
{
    const DWORD length = GetPrivateProfileStringA(kSection, key, kAbsent, value, kValueSize, path);
    return length == 1 && value[0] == kAbsent[0] ? nullptr : value;
}

} // namespace

SmoothSettings ReadSmoothSettings(const char* path)
{
    char smooth[kValueSize];
    char duration[kValueSize];
    char acceleration[kValueSize];
    return ParseSmoothSettings(ReadKey(path, "SmoothScroll", smooth), ReadKey(path, "SmoothDuration", duration),
                               ReadKey(path, "WheelAcceleration", acceleration));
}
