// End-to-end harness: folders, processes, windows and the files that the program and the doubles leave.
#include "e2e_harness.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace e2e {

namespace {

// Paths of the built program and of the doubles, given by the build.
constexpr char kBuiltProgram[] = ROLLIX_E2E_PROGRAM;
constexpr char kBuiltHookLibrary[] = ROLLIX_E2E_HOOK_LIBRARY;
constexpr char kBuiltEditor[] = ROLLIX_E2E_EDITOR;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string WithoutTrailingBackslash(std::string path)
{
    while (path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return path;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

std::string ProcessImage(HANDLE process)
{
    char image[MAX_PATH * 2];
    DWORD size = sizeof image;
    if (!::QueryFullProcessImageNameA(process, 0, image, &size))
        return std::string();
    return std::string(image, size);
}

bool IsUnder(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && Lower(path.substr(0, folder.size())) == Lower(folder);
}

struct WindowSearch
{
    DWORD processId;
    HWND found;
};

struct ClassSearch
{
    DWORD processId;
    const char* className;
    HWND found;
};

constexpr char kTrayIconClass[] = "__winex11_tray_icon";
constexpr char kStandaloneTrayClass[] = "__winex11_standalone_tray";

std::string ClassName(HWND window)
{
    char name[256];
    int length = ::GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

template <typename Record> bool ReadRemote(HANDLE process, const void* address, Record* record)
{
    SIZE_T read = 0;
    return address != nullptr && ::ReadProcessMemory(process, address, record, sizeof *record, &read) &&
           read == sizeof *record;
}

// Window enumeration callbacks are named functions: a lambda has no stdcall conversion on 32 bits.
BOOL CALLBACK FindClassOfProcess(HWND window, LPARAM context)
{
    auto* wanted = reinterpret_cast<ClassSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != wanted->processId || ClassName(window) != wanted->className)
        return TRUE;
    wanted->found = window;
    return FALSE;
}

BOOL CALLBACK CountTrayIcon(HWND window, LPARAM context)
{
    if (ClassName(window) == kTrayIconClass && ::IsWindowVisible(window))
        ++*reinterpret_cast<int*>(context);
    return TRUE;
}

// Icons inside the stand-alone tray are its children; an icon docked into an X tray is top-level.
BOOL CALLBACK CountTrayIcons(HWND window, LPARAM context)
{
    if (ClassName(window) == kStandaloneTrayClass)
        ::EnumChildWindows(window, &CountTrayIcon, context);
    else
        CountTrayIcon(window, context);
    return TRUE;
}

// Another process's command line lies in its own memory: the process block names its parameters, which hold
// the line. The layouts are those of a process of the same width as this one.
std::string CommandLineOf(HANDLE process)
{
    using QueryRoutine = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryRoutine>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return std::string();
    PEB block{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!ReadRemote(process, basic.PebBaseAddress, &block) ||
        !ReadRemote(process, block.ProcessParameters, &parameters))
        return std::string();
    std::wstring wide(parameters.CommandLine.Length / sizeof(WCHAR), L'\0');
    SIZE_T read = 0;
    if (wide.empty() ||
        !::ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0], wide.size() * sizeof(WCHAR), &read))
        return std::string();
    int size =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (!text.empty())
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollIntervalMs, QS_ALLINPUT);
    }
}

long long WallClockNs()
{
    // 100 ns steps since 1601; Wine reads them from the same clock as "date".
    constexpr long long kUnixEpochIn1601Steps = 116444736000000000LL;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    long long steps = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (steps - kUnixEpochIn1601Steps) * 100;
}

std::string WindowsPath(const std::string& builtPath)
{
    std::string path = builtPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    // Wine maps the Unix root to drive Z:.
    if (!path.empty() && path[0] == '\\')
        path = "Z:" + path;
    return path;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return Lower(WithoutTrailingBackslash(a)) == Lower(WithoutTrailingBackslash(b));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    ::CloseHandle(file);
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == text.size();
}

std::string IconLoadFault()
{
    if (::LoadIconA(nullptr, IDI_APPLICATION) != nullptr)
        return std::string();
    return "no icon loads in this process (LoadIconA of the system's application icon fails with error " +
           std::to_string(::GetLastError()) + "), so none does in the program, which has the same width";
}

std::string WindowText(HWND window)
{
    char text[1024];
    int length = ::GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

ScratchFolder::ScratchFolder()
{
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%srollix-e2e-%lu-%d\\", base, ::GetCurrentProcessId(), ++counter);
        if (::CreateDirectoryA(name, nullptr)) {
            // The long form, as the program reports its own path, even where the temporary folder is short.
            char full[MAX_PATH];
            DWORD length = ::GetLongPathNameA(name, full, sizeof full);
            m_path = length > 0 && length < sizeof full ? full : name;
            if (m_path.back() != '\\')
                m_path += '\\';
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

bool ScratchFolder::Exists(const std::string& name) const
{
    return ::GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ProgramFolder::ProgramFolder()
{
    m_ready = ::CopyFileA(WindowsPath(kBuiltProgram).c_str(), File(kProgramName).c_str(), FALSE) &&
              ::CopyFileA(WindowsPath(kBuiltHookLibrary).c_str(), File(kHookLibraryName).c_str(), FALSE) &&
              ::CopyFileA(WindowsPath(kBuiltEditor).c_str(), File(kEditorName).c_str(), FALSE);
}

ProgramFolder::~ProgramFolder()
{
    KillLeftovers();
}

void ProgramFolder::WriteSettings(const std::string& text) const
{
    WriteFileText(File(kSettingsName), text);
}

std::string ProgramFolder::ReadSettings() const
{
    return ReadFileText(File(kSettingsName));
}

std::vector<std::string> ProgramFolder::SettingsLines() const
{
    std::vector<std::string> lines;
    for (std::string line : Lines(ReadSettings())) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        size_t last = line.find_last_not_of(" \t");
        lines.push_back(line.substr(first, last - first + 1));
    }
    return lines;
}

bool ProgramFolder::MakeSettingsUnwritable() const
{
    return ::CreateDirectoryA(File(kSettingsName).c_str(), nullptr) != 0;
}

std::vector<std::string> ProgramFolder::HookLog() const
{
    return Lines(ReadFileText(File(kHookLogName)));
}

int ProgramFolder::CountHookCalls(const std::string& line) const
{
    std::vector<std::string> log = HookLog();
    return static_cast<int>(std::count(log.begin(), log.end(), line));
}

void ProgramFolder::SetHookTime(const std::string& text) const
{
    if (text.empty())
        ::DeleteFileA(File(kHookTimeName).c_str());
    else
        WriteFileText(File(kHookTimeName), text);
}

std::vector<EditorLaunch> ProgramFolder::EditorLaunches() const
{
    static const std::string kDirectoryField = "dir=";
    static const std::string kCommandField = "\tcmd=";
    std::vector<EditorLaunch> launches;
    for (const std::string& line : Lines(ReadFileText(File(kEditorLogName)))) {
        EditorLaunch launch;
        size_t command = line.find(kCommandField);
        if (line.compare(0, kDirectoryField.size(), kDirectoryField) == 0 && command != std::string::npos) {
            launch.directory = line.substr(kDirectoryField.size(), command - kDirectoryField.size());
            launch.commandLine = line.substr(command + kCommandField.size());
        } else {
            launch.commandLine = line;
        }
        launches.push_back(launch);
    }
    return launches;
}

std::vector<DWORD> ProgramFolder::RunningProcesses() const
{
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr)
            continue;
        // A process that has ended may linger in the list while someone holds its handle.
        if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT && IsUnder(ProcessImage(process), Path()))
            ids.push_back(entry.th32ProcessID);
        ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
    return ids;
}

bool ProgramFolder::WaitUntilIdle(DWORD timeoutMs) const
{
    return WaitFor([this] { return RunningProcesses().empty(); }, timeoutMs);
}

void ProgramFolder::KillLeftovers() const
{
    for (DWORD id : RunningProcesses()) {
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process == nullptr)
            continue;
        ::TerminateProcess(process, kKilledExitCode);
        ::WaitForSingleObject(process, kExitTimeoutMs);
        ::CloseHandle(process);
    }
}

ProgramRun::~ProgramRun()
{
    Kill();
    if (m_process != nullptr)
        ::CloseHandle(m_process);
}

bool ProgramRun::Start(const std::string& programPath, const std::string& arguments, const std::string& workingFolder)
{
    // A run whose process has ended may start the program again.
    if (IsRunning())
        return false;
    if (m_process != nullptr)
        ::CloseHandle(m_process);
    m_process = nullptr;
    std::string commandLine = "\"" + programPath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started))
        return false;
    ::CloseHandle(started.hThread);
    m_process = started.hProcess;
    m_processId = started.dwProcessId;
    return true;
}

bool ProgramRun::Attach(DWORD processId)
{
    if (m_process != nullptr)
        return false;
    m_process =
        ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (m_process == nullptr)
        return false;
    m_processId = processId;
    return true;
}

bool ProgramRun::IsRunning() const
{
    return m_process != nullptr && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

std::string ProgramRun::State() const
{
    if (m_process == nullptr)
        return "not started";
    if (IsRunning())
        return "running";
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    char text[48];
    std::snprintf(text, sizeof text, "ended with code %lu", code);
    return text;
}

bool ProgramRun::WaitForExit(DWORD* exitCode, DWORD timeoutMs)
{
    if (m_process == nullptr || !WaitFor([this] { return !IsRunning(); }, timeoutMs))
        return false;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    if (exitCode != nullptr)
        *exitCode = code;
    return true;
}

bool ProgramRun::WaitForExitMoment(long long* endedNs, DWORD timeoutMs)
{
    if (m_process == nullptr)
        return false;
    // Waits on the handle itself rather than polling, so that the moment is not rounded up to a poll.
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD waited = ::GetTickCount() - start;
        if (waited > timeoutMs)
            return false;
        DWORD woke = ::MsgWaitForMultipleObjects(1, &m_process, FALSE, timeoutMs - waited, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            *endedNs = WallClockNs();
            return true;
        }
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

void ProgramRun::Kill()
{
    if (!IsRunning())
        return;
    ::TerminateProcess(m_process, kKilledExitCode);
    ::WaitForSingleObject(m_process, kExitTimeoutMs);
}

HWND ProgramRun::MainWindow() const
{
    for (HWND window : RunningCopies()) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == m_processId)
            return window;
    }
    return nullptr;
}

HWND ProgramRun::WaitForMainWindow(DWORD timeoutMs) const
{
    HWND window = nullptr;
    WaitFor([&] { return (window = MainWindow()) != nullptr || !IsRunning(); }, timeoutMs);
    return window;
}

bool ProgramRun::PostControl(WPARAM code, LPARAM lParam) const
{
    return PostControlTo(MainWindow(), code, lParam);
}

bool ProgramRun::PostClose() const
{
    HWND window = MainWindow();
    return window != nullptr && ::PostMessageA(window, WM_CLOSE, 0, 0);
}

HWND ProgramRun::TimerWindow() const
{
    return TopLevelWindowOf(m_processId, kTimerWindowClass);
}

std::string ProgramRun::CommandLine() const
{
    return IsRunning() ? CommandLineOf(m_process) : std::string();
}

// Window enumeration callbacks are named functions: a lambda does not convert to the 32-bit CALLBACK convention.
static BOOL CALLBACK FindErrorBox(HWND window, LPARAM context)
{
    auto* wanted = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != wanted->processId || !::IsWindowVisible(window) || WindowText(window) != kErrorBoxCaption)
        return TRUE;
    wanted->found = window;
    return FALSE;
}

HWND ProgramRun::ErrorBox() const
{
    WindowSearch search{m_processId, nullptr};
    ::EnumWindows(&FindErrorBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramRun::WaitForErrorBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    WaitFor([&] { return (box = ErrorBox()) != nullptr || !IsRunning(); }, timeoutMs);
    return box;
}

std::vector<HWND> RunningCopies()
{
    std::vector<HWND> windows;
    for (HWND window = ::FindWindowExA(nullptr, nullptr, kMainWindowClass, kMainWindowCaption); window != nullptr;
         window = ::FindWindowExA(nullptr, window, kMainWindowClass, kMainWindowCaption))
        windows.push_back(window);
    return windows;
}

DWORD WindowProcess(HWND window)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner;
}

DWORD WaitForCopyOtherThan(DWORD processId, DWORD timeoutMs)
{
    DWORD found = 0;
    WaitFor(
        [&] {
            for (HWND window : RunningCopies()) {
                DWORD owner = WindowProcess(window);
                if (owner != 0 && owner != processId)
                    found = owner;
            }
            return found != 0;
        },
        timeoutMs);
    return found;
}

HWND TopLevelWindowOf(DWORD processId, const std::string& className)
{
    ClassSearch search{processId, className.c_str(), nullptr};
    ::EnumWindows(&FindClassOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PostControlTo(HWND window, WPARAM code, LPARAM lParam)
{
    UINT message = ::RegisterWindowMessageA(kControlMessageName);
    return window != nullptr && message != 0 && ::PostMessageA(window, message, code, lParam);
}

std::string FirstParameter(const std::string& commandLine)
{
    size_t at = 0;
    auto skipBlanks = [&] {
        while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t'))
            ++at;
    };
    auto takeWord = [&] {
        std::string word;
        bool quoted = false;
        for (; at < commandLine.size(); ++at) {
            char c = commandLine[at];
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && (c == ' ' || c == '\t'))
                break;
            else
                word += c;
        }
        return word;
    };
    skipBlanks();
    takeWord();
    skipBlanks();
    return takeWord();
}

bool PlacePointer(POINT where)
{
    // Wine learns the screen's size in a process only when first asked for it; until then SetCursorPos clips
    // the pointer to an empty screen and puts it at 0,0.
    if (::GetSystemMetrics(SM_CXVIRTUALSCREEN) <= where.x || ::GetSystemMetrics(SM_CYVIRTUALSCREEN) <= where.y)
        return false;
    POINT now{};
    return ::SetCursorPos(where.x, where.y) && ::GetCursorPos(&now) && now.x == where.x && now.y == where.y;
}

int TrayIconCount()
{
    int count = 0;
    ::EnumWindows(&CountTrayIcons, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool WaitUntilNoCopyRuns(DWORD timeoutMs)
{
    return WaitFor([] { return RunningCopies().empty(); }, timeoutMs);
}

static BOOL CALLBACK KeepLongestStaticText(HWND child, LPARAM context)
{
    char className[32];
    ::GetClassNameA(child, className, sizeof className);
    std::string text = WindowText(child);
    auto* best = reinterpret_cast<std::string*>(context);
    if (Lower(className) == "static" && text.size() > best->size())
        *best = text;
    return TRUE;
}

std::string MessageBoxText(HWND box)
{
    std::string longest;
    ::EnumChildWindows(box, &KeepLongestStaticText, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

bool DismissMessageBox(HWND box)
{
    HWND button = ::GetDlgItem(box, IDOK);
    return ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

} // namespace e2e
