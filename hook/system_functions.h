// The system functions the router looks up at run time, so that the library still loads where they are missing:
// the DPI functions (Vista, 8.1, Windows 10 1607) and the window manager's cloaking (Windows 8). Found once, before
// the first hook thread starts; the threads only read them.
#pragma once

#include <windows.h>

using DpiAwarenessContext = HANDLE;
using SetThreadDpiAwarenessContextProc = DpiAwarenessContext(WINAPI*)(DpiAwarenessContext);
using PointConversionProc = BOOL(WINAPI*)(HWND, POINT*);
using WindowFromPhysicalPointProc = HWND(WINAPI*)(POINT);
using IsProcessDpiAwareProc = BOOL(WINAPI*)();
using DwmGetWindowAttributeProc = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using GetModuleHandleExProc = BOOL(WINAPI*)(DWORD, LPCSTR, HMODULE*);
using OpenProcessTokenProc = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE*);
using GetTokenInformationProc = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, DWORD*);

struct SystemFunctions
{
    SetThreadDpiAwarenessContextProc m_setThreadDpiAwarenessContext = nullptr;
    PointConversionProc m_physicalToLogicalPerMonitor = nullptr;
    PointConversionProc m_physicalToLogical = nullptr;
    WindowFromPhysicalPointProc m_windowFromPhysicalPoint = nullptr;
    IsProcessDpiAwareProc m_isProcessDpiAware = nullptr;
    DwmGetWindowAttributeProc m_dwmGetWindowAttribute = nullptr;
    GetModuleHandleExProc m_getModuleHandleEx = nullptr; // Windows XP on
    OpenProcessTokenProc m_openProcessToken = nullptr;   // the NT family
    GetTokenInformationProc m_getTokenInformation = nullptr;
};

// Looks them up the first time; the caller serialises the calls (the exports' lock).
void FindSystemFunctions();
const SystemFunctions& Functions();
