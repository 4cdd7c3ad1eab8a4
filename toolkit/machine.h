// The toolkit's calls that depend on the machine, behind one interface that tests replace with a recorder.
#pragma once

#include <windows.h>
#include <shellapi.h>

class Machine
{
public:
    virtual ~Machine() = default;

    virtual DWORD GetVersion();
    virtual LPSTR GetCommandLine();
    virtual DWORD GetModuleFileName(char* buffer, DWORD size);
    virtual BOOL ShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data);
    // The message loop's looks at the thread's queue (any window, any message) and its waits: under Wine each is a
    // trip to the window server.
    virtual BOOL PeekMessage(MSG* message, UINT removal);
    virtual BOOL WaitMessage();
};

// The machine in use: the real one unless a test installed another.
Machine& TheMachine();
// Installs a replacement (null restores the real machine). The caller keeps ownership.
void SetMachine(Machine* machine);
