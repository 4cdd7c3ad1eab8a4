// The program file of a window's process, looked up once per process and kept. Each entry holds the process
// open: while a handle is open the system never hands its process id to another process, so an id found here
// is still the same program. Each entry knows as well whether that process runs above our integrity level.
#pragma once

#include <windows.h>

constexpr int kKeptProcesses = 16;

class ProcessNames
{
  public:
    ProcessNames();
    ~ProcessNames();
    ProcessNames(const ProcessNames&) = delete;
    ProcessNames& operator=(const ProcessNames&) = delete;

    // The full path of the program that runs the window, or "" when it cannot be found.
    const char* Of(HWND window);
    // Whether the window's process runs at a higher integrity level than ours, read once per process.
    bool AboveOurIntegrity(HWND window);

  private:
    struct Entry
    {
        DWORD m_processId = 0;
        HANDLE m_process = nullptr;
        DWORD m_lastUse = 0;
        char m_path[MAX_PATH] = "";
        bool m_aboveUs = false;
    };

    // The entry of the window's process, read now unless kept; null when it cannot be opened.
    const Entry* Lookup(HWND window);

    using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

    // QueryFullProcessImageNameA, Vista and later; before, programs cannot be named and only class exclusions apply.
    QueryImageNameProc m_queryImageName = nullptr;
    bool m_ownLevelKnown = false;
    DWORD m_ownLevel = 0;
    Entry m_entries[kKeptProcesses];
    DWORD m_uses = 0;
};
