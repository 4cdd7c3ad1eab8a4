// The recording machine for tests.
#include "recording_machine.h"

#include <cstdio>

namespace {
std::string Text(const char* text)
{
    return text == nullptr ? "(null)" : text;
}

std::string HandleText(HWND window)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", static_cast<void*>(window));
    return buffer;
}
} // namespace

RecordingMachine::RecordingMachine()
{
    PlayWindows10();
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    modulePath = path;
    cursor = POINT{100, 100};
    localTime = SYSTEMTIME{2026, 12, 2, 8, 12, 0, 0, 0};
    SetAppMachine(this);
}

RecordingMachine::~RecordingMachine()
{
    SetAppMachine(nullptr);
}

std::vector<std::string> RecordingMachine::CallsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

void RecordingMachine::SetVersion(bool nt, int major, int minor)
{
    version = static_cast<DWORD>(major) | (static_cast<DWORD>(minor) << 8) | (nt ? 0 : 0x80000000u);
    versionInfo = OSVERSIONINFOA{};
    versionInfo.dwOSVersionInfoSize = sizeof versionInfo;
    versionInfo.dwMajorVersion = static_cast<DWORD>(major);
    versionInfo.dwMinorVersion = static_cast<DWORD>(minor);
    versionInfo.dwPlatformId = nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
}

void RecordingMachine::PlayWindows95() { SetVersion(false, 4, 0); }
void RecordingMachine::PlayWindowsNT4() { SetVersion(true, 4, 0); }
void RecordingMachine::PlayWindowsXP() { SetVersion(true, 5, 1); }
void RecordingMachine::PlayWindowsVista() { SetVersion(true, 6, 0); }
void RecordingMachine::PlayWindows10() { SetVersion(true, 10, 0); }

DWORD RecordingMachine::GetVersion()
{
    Record("GetVersion");
    return version;
}

LPSTR RecordingMachine::GetCommandLine()
{
    return &commandLine[0];
}

DWORD RecordingMachine::GetModuleFileName(char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    DWORD length = static_cast<DWORD>(modulePath.size());
    if (length >= size)
        length = size - 1;
    modulePath.copy(buffer, length);
    buffer[length] = '\0';
    return length;
}

BOOL RecordingMachine::ShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data)
{
    shellOperations.push_back(operation);
    shellRecords.push_back(*data);
    Record("ShellNotifyIcon " + std::to_string(operation));
    return realShell ? AppMachine::ShellNotifyIcon(operation, data) : TRUE;
}

BOOL RecordingMachine::SetPriorityClass(DWORD priorityClass)
{
    Record("SetPriorityClass " + std::to_string(priorityClass));
    return TRUE;
}

BOOL RecordingMachine::SetProcessWorkingSetSize(SIZE_T minimum, SIZE_T maximum)
{
    char line[80];
    std::snprintf(line, sizeof line, "SetProcessWorkingSetSize %llx %llx", static_cast<unsigned long long>(minimum),
                  static_cast<unsigned long long>(maximum));
    Record(line);
    return TRUE;
}

void RecordingMachine::Sleep(DWORD milliseconds)
{
    Record("Sleep " + std::to_string(milliseconds));
}

BOOL RecordingMachine::GetVersionEx(OSVERSIONINFOA* info)
{
    Record("GetVersionEx " + std::to_string(info->dwOSVersionInfoSize));
    if (versionExFails)
        return FALSE;
    DWORD size = info->dwOSVersionInfoSize;
    *info = versionInfo;
    info->dwOSVersionInfoSize = size;
    return TRUE;
}

bool RecordingMachine::ChangeWindowMessageFilter(UINT message, DWORD action)
{
    Record("ChangeWindowMessageFilter " + std::to_string(message) + " " + std::to_string(action));
    return true;
}

HINSTANCE RecordingMachine::ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                                         const char* directory, int show)
{
    Record("ShellExecute " + Text(verb) + " " + Text(file) + " [" + Text(parameters) + "] [" + Text(directory) +
           "] " + std::to_string(show) + " owner=" + HandleText(owner));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(launchSucceeds ? 42 : 2));
}

BOOL RecordingMachine::ShellExecuteEx(SHELLEXECUTEINFOA* info)
{
    char line[64];
    std::snprintf(line, sizeof line, " size=%lu mask=%lx show=%d owner=", static_cast<unsigned long>(info->cbSize),
                  static_cast<unsigned long>(info->fMask), info->nShow);
    Record("ShellExecuteEx " + Text(info->lpVerb) + " " + Text(info->lpFile) + " [" + Text(info->lpParameters) +
           "] [" + Text(info->lpDirectory) + "]" + line + HandleText(info->hwnd));
    return launchSucceeds ? TRUE : FALSE;
}

void RecordingMachine::GetLocalTime(SYSTEMTIME* time)
{
    Record("GetLocalTime");
    *time = localTime;
}

BOOL RecordingMachine::GetCursorPos(POINT* point)
{
    Record("GetCursorPos");
    if (cursorFails)
        return FALSE;
    *point = cursor;
    return TRUE;
}

BOOL RecordingMachine::IsIconic(HWND window)
{
    Record("IsIconic " + HandleText(window));
    return AppMachine::IsIconic(window);
}

BOOL RecordingMachine::ShowWindow(HWND window, int command)
{
    Record("ShowWindow " + HandleText(window) + " " + std::to_string(command));
    return TRUE;
}

HWND RecordingMachine::GetForegroundWindow()
{
    Record("GetForegroundWindow");
    return foregroundWindow;
}

DWORD RecordingMachine::GetWindowThreadProcessId(HWND window)
{
    Record("GetWindowThreadProcessId " + HandleText(window));
    return AppMachine::GetWindowThreadProcessId(window);
}

BOOL RecordingMachine::AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach)
{
    Record(std::string("AttachThreadInput ") + (attach ? "attach" : "detach"));
    (void)attachThread;
    (void)toThread;
    return attach ? (attachSucceeds ? TRUE : FALSE) : TRUE;
}

BOOL RecordingMachine::BringWindowToTop(HWND window)
{
    Record("BringWindowToTop " + HandleText(window));
    return TRUE;
}

BOOL RecordingMachine::SetForegroundWindow(HWND window)
{
    Record("SetForegroundWindow " + HandleText(window));
    if (foregroundFollowsSetForeground)
        foregroundWindow = window;
    return TRUE;
}

BOOL RecordingMachine::SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni)
{
    if (action == SPI_GETFOREGROUNDLOCKTIMEOUT) {
        Record("SystemParametersInfo get");
        *static_cast<DWORD*>(value) = foregroundLockTimeout;
        return TRUE;
    }
    if (action == SPI_SETFOREGROUNDLOCKTIMEOUT) {
        auto timeout = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value));
        Record("SystemParametersInfo set " + std::to_string(timeout) + " " + std::to_string(winIni));
        return TRUE;
    }
    Record("SystemParametersInfo " + std::to_string(action) + " " + std::to_string(param));
    return FALSE;
}

void RecordingMachine::HookStart(int convertToScroll, int linesToScroll, int flags)
{
    Record("HookStart " + std::to_string(convertToScroll) + " " + std::to_string(linesToScroll) + " " +
           std::to_string(flags));
}

void RecordingMachine::HookStop()
{
    Record("HookStop");
}

double RecordingMachine::LastMouseMessageTime()
{
    Record("LastMouseMessageTime");
    return lastMouseMessageTime;
}

int RecordingMachine::MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    char flags[32];
    std::snprintf(flags, sizeof flags, " %#x owner=", type);
    Record("MessageBox " + Text(caption) + ": " + Text(text) + flags + HandleText(owner));
    return IDOK;
}
