// Process-wide flags of start-up and restart, and the Windows version test they start from.
#include "rxglobals.h"

#include "app_machine.h"

bool VistaOrLater = false;
bool AdminSwitchStart = false;
bool RestartRequested = false;
bool RestartElevated = false;
unsigned int ControlMessageNumber = 0;
unsigned int TaskbarMessageNumber = 0;

namespace {
constexpr DWORD kVistaMajorVersion = 6;
// The record holds no pointers, so its size is the same on 32 and 64 bits.
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA record");
} // namespace

void ComputeVistaOrLater()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    // A failed call counts as older than Vista.
    VistaOrLater = Sys().GetVersionEx(&info) != FALSE && info.dwMajorVersion >= kVistaMajorVersion;
}
