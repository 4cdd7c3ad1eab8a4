// A machine for tests: records every call that leaves the process and plays any Windows version,
// command line, program path, clock, cursor and hook library. Window calls stay real unless told.
#pragma once

#include "app_machine.h"
#include "e2e_harness.h"

#include <string>
#include <vector>

class RecordingMachine : public AppMachine
{
public:
    RecordingMachine();
    ~RecordingMachine() override;

    // What the program asked for, one line per call, e.g. "ShellExecute open C:\\x\\RollixConfig.exe".
    std::vector<std::string> calls;
    // Calls whose line starts with the prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    int CountCalls(const std::string& prefix) const { return static_cast<int>(CallsStartingWith(prefix).size()); }

    // Windows version as GetVersion and GetVersionExA report it.
    void PlayWindows95();
    void PlayWindowsNT4();
    void PlayWindowsXP();
    void PlayWindowsVista();
    void PlayWindows10();
    DWORD version = 0;
    OSVERSIONINFOA versionInfo{};
    bool versionExFails = false;

    std::string commandLine = "RollixPortable.exe";
    // The program's own file; its folder is where settings live in tests.
    std::string modulePath;

    SYSTEMTIME localTime{};
    POINT cursor{};
    bool cursorFails = false;
    double lastMouseMessageTime = 0;
    // Results of the foreground calls.
    HWND foregroundWindow = nullptr;
    bool attachSucceeds = true;
    bool foregroundFollowsSetForeground = true;
    DWORD foregroundLockTimeout = 200000;
    bool launchSucceeds = true;
    // Shell_NotifyIconA records only, unless passed through to the real shell.
    bool realShell = false;
    std::vector<NOTIFYICONDATAA> shellRecords;
    std::vector<DWORD> shellOperations;

    DWORD GetVersion() override;
    LPSTR GetCommandLine() override;
    DWORD GetModuleFileName(char* buffer, DWORD size) override;
    BOOL ShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data) override;

    BOOL SetPriorityClass(DWORD priorityClass) override;
    BOOL SetProcessWorkingSetSize(SIZE_T minimum, SIZE_T maximum) override;
    void Sleep(DWORD milliseconds) override;
    BOOL GetVersionEx(OSVERSIONINFOA* info) override;
    bool ChangeWindowMessageFilter(UINT message, DWORD action) override;
    HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) override;
    BOOL ShellExecuteEx(SHELLEXECUTEINFOA* info) override;
    void GetLocalTime(SYSTEMTIME* time) override;
    BOOL GetCursorPos(POINT* point) override;
    BOOL IsIconic(HWND window) override;
    BOOL ShowWindow(HWND window, int command) override;
    HWND GetForegroundWindow() override;
    DWORD GetWindowThreadProcessId(HWND window) override;
    BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach) override;
    BOOL BringWindowToTop(HWND window) override;
    BOOL SetForegroundWindow(HWND window) override;
    BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) override;
    void HookStart(int convertToScroll, int linesToScroll, int flags) override;
    void HookStop() override;
    double LastMouseMessageTime() override;
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;

private:
    void Record(const std::string& line) { calls.push_back(line); }
    void SetVersion(bool nt, int major, int minor);
};

// A fresh empty folder for a test, removed with its files when the object goes.
class TempFolder : public e2e::ScratchFolder
{
public:
    void Write(const std::string& name, const std::string& text) const { e2e::WriteFileText(File(name), text); }
    std::string Read(const std::string& name) const { return e2e::ReadFileText(File(name)); }
};

// Polls the condition until it holds or the time runs out, pumping this thread's messages meanwhile.
template <typename F>
bool WaitFor(F condition, DWORD timeoutMs = 10000)
{
    return e2e::WaitFor(condition, timeoutMs);
}
