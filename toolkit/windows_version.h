// Which Windows release runs the program, as the start-up and the menu need to know it.
#pragma once

#include <cstdint>

enum WindowsVersion : uint8_t
{
    Win32sOrOlder = 0,
    Win95 = 1,
    Win98 = 2,
    WinMe = 3,
    WinNT4 = 4,
    Win2000 = 5,
    WinXP = 6,
    WinServer2003 = 7,
    WinVista = 8,
    WinNTOther = 9,
};

// Classifies a value as GetVersion reports it (bit 31 set: 9x family; low byte major, next byte minor).
WindowsVersion ClassifyWindowsVersion(uint32_t getVersionValue);

// The running release; asks the machine once per process and remembers the answer.
WindowsVersion GetWindowsVersion();
