// Finds and keeps the program file of the processes whose windows the pointer passes over.
#include "process_names.h"

#include "integrity_level.h"
#include "system_functions.h"

namespace {

// The RID of the token's mandatory label (TokenIntegrityLevel, Vista on); false where the system has none.
bool ReadIntegrityLevel(HANDLE process, DWORD& level)
{
    const SystemFunctions& functions = Functions();
    HANDLE token = nullptr;
    if (functions.m_openProcessToken == nullptr || functions.m_getTokenInformation == nullptr ||
        !functions.m_openProcessToken(process, TOKEN_QUERY, &token)) {
        return false;
    }
    // A label holds one SID of one sub-authority; the room is for any SID.
    alignas(void*) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    const bool read =
        functions.m_getTokenInformation(token, TokenIntegrityLevel, buffer, sizeof(buffer), &size) != FALSE;
    CloseHandle(token);
    if (!read) {
        return false;
    }
    const SID* sid = static_cast<const SID*>(reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid);
    if (sid == nullptr || sid->SubAuthorityCount == 0) {
        return false;
    }
    level = sid->SubAuthority[sid->SubAuthorityCount - 1];
    return true;
}

} // namespace

ProcessNames::ProcessNames()
{
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 != nullptr) {
        m_queryImageName = reinterpret_cast<QueryImageNameProc>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "QueryFullProcessImageNameA")));
    }
    m_ownLevelKnown = ReadIntegrityLevel(GetCurrentProcess(), m_ownLevel);
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
    const Entry* entry = Lookup(window);
    return entry != nullptr ? entry->m_path : "";
}

bool ProcessNames::AboveOurIntegrity(HWND window)
{
    const Entry* entry = Lookup(window);
    if (entry != nullptr) {
        return entry->m_aboveUs;
    }
    IntegrityFacts facts; // a process we cannot even open
    facts.m_ownKnown = m_ownLevelKnown;
    return RunsAboveUs(facts);
}

const ProcessNames::Entry* ProcessNames::Lookup(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == 0) {
        return nullptr;
    }
    ++m_uses;
    Entry* oldest = &m_entries[0];
    for (Entry& entry : m_entries) {
        if (entry.m_process != nullptr && entry.m_processId == processId) {
            entry.m_lastUse = m_uses;
            return &entry;
        }
        if (entry.m_lastUse < oldest->m_lastUse) {
            oldest = &entry;
        }
    }
    // The limited right is granted even for most processes of higher integrity; before Vista it does not exist.
    HANDLE process = OpenProcess(m_ownLevelKnown ? PROCESS_QUERY_LIMITED_INFORMATION : PROCESS_QUERY_INFORMATION,
                                 FALSE, processId);
    if (process == nullptr) {
        return nullptr; // not kept: without a handle a reused id would go unnoticed
    }
    IntegrityFacts facts;
    facts.m_ownKnown = m_ownLevelKnown;
    facts.m_own = static_cast<std::uint32_t>(m_ownLevel);
    DWORD level = 0;
    facts.m_read = m_ownLevelKnown && ReadIntegrityLevel(process, level);
    facts.m_level = level;
    char path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (m_queryImageName == nullptr || !m_queryImageName(process, 0, path, &size)) {
        path[0] = '\0';
    }
    if (oldest->m_process != nullptr) {
        CloseHandle(oldest->m_process);
    }
    oldest->m_processId = processId;
    oldest->m_process = process;
    oldest->m_lastUse = m_uses;
    oldest->m_aboveUs = RunsAboveUs(facts);
    lstrcpynA(oldest->m_path, path, MAX_PATH);
    return oldest;
}
