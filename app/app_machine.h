// The program's calls that leave the process or depend on the machine: launches, elevation, priority and
// working set, the Windows version, the clock, the cursor, the foreground, the hook library and the error box.
#pragma once

#include "../toolkit/machine.h"

class AppMachine : public Machine
{
public:
    // Process
    virtual BOOL SetPriorityClass(DWORD priorityClass);
    virtual BOOL SetProcessWorkingSetSize(SIZE_T minimum, SIZE_T maximum);
    virtual void Sleep(DWORD milliseconds);
    virtual BOOL GetVersionEx(OSVERSIONINFOA* info);
    // Allows a message through the process's message filter; false when the system has no such call.
    virtual bool ChangeWindowMessageFilter(UINT message, DWORD action);

    // Launches
    virtual HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                                   const char* directory, int show);
    virtual BOOL ShellExecuteEx(SHELLEXECUTEINFOA* info);

    // The clock and the pointer
    virtual void GetLocalTime(SYSTEMTIME* time);
    virtual BOOL GetCursorPos(POINT* point);

    // Foreground control
    virtual BOOL IsIconic(HWND window);
    virtual BOOL ShowWindow(HWND window, int command);
    virtual HWND GetForegroundWindow();
    virtual DWORD GetWindowThreadProcessId(HWND window);
    virtual BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach);
    virtual BOOL BringWindowToTop(HWND window);
    virtual BOOL SetForegroundWindow(HWND window);
    virtual BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni);

    // The hook library
    virtual void HookStart(int convertToScroll, int linesToScroll, int flags);
    virtual void HookStop();
    virtual double LastMouseMessageTime();

    // The one failure shown to the user
    virtual int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
};

// The program installs an AppMachine at start; tests install a recorder derived from it.
AppMachine& Sys();
void SetAppMachine(AppMachine* machine);
