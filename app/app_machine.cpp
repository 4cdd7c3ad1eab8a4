// The real machine of the program: each call goes straight to Windows or to the hook library.
#include "app_machine.h"

#include "hooklib/rollix_hook.h"

namespace {
AppMachine g_realAppMachine;
AppMachine* g_appMachine = &g_realAppMachine;
} // namespace

BOOL AppMachine::SetPriorityClass(DWORD priorityClass)
{
    return ::SetPriorityClass(::GetCurrentProcess(), priorityClass);
}

BOOL AppMachine::SetProcessWorkingSetSize(SIZE_T minimum, SIZE_T maximum)
{
    return ::SetProcessWorkingSetSize(::GetCurrentProcess(), minimum, maximum);
}

void AppMachine::Sleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}

BOOL AppMachine::GetVersionEx(OSVERSIONINFOA* info)
{
    return ::GetVersionExA(info);
}

bool AppMachine::ChangeWindowMessageFilter(UINT message, DWORD action)
{
    // Looked up at run time: the call exists only on Vista and later.
    using FilterRoutine = BOOL(WINAPI*)(UINT, DWORD);
    HMODULE user32 = ::LoadLibraryA("user32.dll");
    if (reinterpret_cast<UINT_PTR>(user32) < 32)
        return false;
    auto routine = reinterpret_cast<FilterRoutine>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "ChangeWindowMessageFilter")));
    if (routine != nullptr)
        routine(message, action);
    ::FreeLibrary(user32);
    return routine != nullptr;
}

HINSTANCE AppMachine::ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                                   const char* directory, int show)
{
    return ::ShellExecuteA(owner, verb, file, parameters, directory, show);
}

BOOL AppMachine::ShellExecuteEx(SHELLEXECUTEINFOA* info)
{
    return ::ShellExecuteExA(info);
}

void AppMachine::GetLocalTime(SYSTEMTIME* time)
{
    ::GetLocalTime(time);
}

BOOL AppMachine::GetCursorPos(POINT* point)
{
    return ::GetCursorPos(point);
}

BOOL AppMachine::IsIconic(HWND window)
{
    return ::IsIconic(window);
}

BOOL AppMachine::ShowWindow(HWND window, int command)
{
    return ::ShowWindow(window, command);
}

HWND AppMachine::GetForegroundWindow()
{
    return ::GetForegroundWindow();
}

DWORD AppMachine::GetWindowThreadProcessId(HWND window)
{
    return ::GetWindowThreadProcessId(window, nullptr);
}

BOOL AppMachine::AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach)
{
    return ::AttachThreadInput(attachThread, toThread, attach);
}

BOOL AppMachine::BringWindowToTop(HWND window)
{
    return ::BringWindowToTop(window);
}

BOOL AppMachine::SetForegroundWindow(HWND window)
{
    return ::SetForegroundWindow(window);
}

BOOL AppMachine::SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni)
{
    return ::SystemParametersInfoA(action, param, value, winIni);
}

void AppMachine::HookStart(int convertToScroll, int linesToScroll, int flags)
{
    RollixHookStart(convertToScroll, linesToScroll, flags);
}

void AppMachine::HookStop()
{
    RollixHookStop();
}

double AppMachine::LastMouseMessageTime()
{
    return GetLastMouseMessageTime();
}

int AppMachine::MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(owner, text, caption, type);
}

AppMachine& Sys()
{
    return *g_appMachine;
}

void SetAppMachine(AppMachine* machine)
{
    g_appMachine = machine != nullptr ? machine : &g_realAppMachine;
    SetMachine(g_appMachine);
}
