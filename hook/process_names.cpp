// Finds and keeps the program file of the processes whose windows the pointer passes over.
#include "process_names.h"

ProcessNames::ProcessNames()
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 != nullptr) {
        m_queryImageName = reinterpret_cast<QueryImageNameProc>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "QueryFullProcessImageNameA")));
    }
}

ProcessNames::~ProcessNames()
{
    for (Entry& entry : m_entries) {
        if (entry.m_process != nullptr) {
            CloseHandle(entry.m_process);
        }
    }
}

const char* ProcessNames::Of(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == 0) {
        return "";
    }
    ++m_uses;
    Entry* oldest = &m_entries[0];
    for (Entry& entry : m_entries) {
        if (entry.m_process != nullptr && entry.m_processId == processId) {
            entry.m_lastUse = m_uses;
            return entry.m_path;
        }
        if (entry.m_lastUse < oldest->m_lastUse) {
            oldest = &entry;
        }
    }
    if (m_queryImageName == nullptr) {
        return "";
    }
    // The limited right is granted even for most processes of higher integrity.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return ""; // not kept: without a handle a reused id would go unnoticed
    }
    char path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!m_queryImageName(process, 0, path, &size)) {
        CloseHandle(process);
        return "";
    }
    if (oldest->m_process != nullptr) {
        CloseHandle(oldest->m_process);
    }
    oldest->m_processId = processId;
    oldest->m_process = process;
    oldest->m_lastUse = m_uses;
    lstrcpynA(oldest->m_path, path, MAX_PATH);
    return oldest->m_path;
}
