// Finds the system functions that not every Windows version has.
#include "system_functions.h"

namespace {

SystemFunctions Found;
bool Looked = false;

template <class Proc> Proc Lookup(HMODULE module, const char* name)
{
    return module == nullptr ? nullptr : reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

void FindSystemFunctions()
{
    if (Looked) {
        return;
    }
    Looked = true;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    Found.m_setThreadDpiAwarenessContext =
        Lookup<SetThreadDpiAwarenessContextProc>(user32, "SetThreadDpiAwarenessContext");
    Found.m_physicalToLogicalPerMonitor = Lookup<PointConversionProc>(user32, "PhysicalToLogicalPointForPerMonitorDPI");
    Found.m_physicalToLogical = Lookup<PointConversionProc>(user32, "PhysicalToLogicalPoint");
    Found.m_windowFromPhysicalPoint = Lookup<WindowFromPhysicalPointProc>(user32, "WindowFromPhysicalPoint");
    Found.m_isProcessDpiAware = Lookup<IsProcessDpiAwareProc>(user32, "IsProcessDPIAware");
    Found.m_getModuleHandleEx = Lookup<GetModuleHandleExProc>(GetModuleHandleA("kernel32.dll"), "GetModuleHandleExA");
    HMODULE advapi32 = LoadLibraryA("advapi32.dll");
    Found.m_openProcessToken = Lookup<OpenProcessTokenProc>(advapi32, "OpenProcessToken");
    Found.m_getTokenInformation = Lookup<GetTokenInformationProc>(advapi32, "GetTokenInformation");
    // Loaded once and kept for the life of the process, as advapi32: a hook thread must not load a library.
    Found.m_dwmGetWindowAttribute = Lookup<DwmGetWindowAttributeProc>(LoadLibraryA("dwmapi.dll"), "DwmGetWindowAttribute");
}

const SystemFunctions& Functions()
{
    return Found;
}
