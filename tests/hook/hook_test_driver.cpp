// The Wine-side driver of the hook tests and the path benchmark: processes, xdotool, the message pump, the log.
#include "hook_test_driver.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kXdotoolTimeoutMs = 20000;
constexpr DWORD kMessageTimeoutMs = 15000;
constexpr int kWheelDownButton = 5;

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWhole(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

} // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        // Wakes at once for the hook's call, which arrives as a sent message.
        MsgWaitForMultipleObjectsEx(0, nullptr, pollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

double LocalNowOle()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME fileTime;
    SystemTimeToFileTime(&now, &fileTime);
    ULARGE_INTEGER ticks; // 100 ns since 1 January 1601
    ticks.LowPart = fileTime.dwLowDateTime;
    ticks.HighPart = fileTime.dwHighDateTime;
    // 1601-01-01 lies 109205 days before 1899-12-30.
    return static_cast<double>(ticks.QuadPart) / 864000000000.0 - 109205.0;
}

WorkFolder::WorkFolder()
{
    // Two folders of one process may be made within the same tick.
    static unsigned long made = 0;
    char name[64];
    std::snprintf(name, sizeof(name), "rollix-hook-%lu-%lu-%lu", GetCurrentProcessId(), GetTickCount(), ++made);
    m_unixPath = std::string("/tmp/") + name;
    m_windowsPath = std::string("Z:\\tmp\\") + name;
    CreateDirectoryA(m_windowsPath.c_str(), nullptr);
}

WorkFolder::~WorkFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(WindowsPath("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA(WindowsPath(found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_windowsPath.c_str());
}

bool RunXdotool(const WorkFolder& folder, const std::string& arguments)
{
    static int runs = 0;
    const std::string marker = "xdotool-" + std::to_string(++runs) + ".done";
    // Wine cannot wait for a Unix process, so the shell leaves a marker once xdotool has succeeded.
    std::string command = "/bin/sh -c \"" ROLLIX_XDOTOOL " " + arguments + " && : > " + folder.UnixPath(marker) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string markerPath = folder.WindowsPath(marker);
    return PumpUntil([&] { return FileExists(markerPath); }, kXdotoolTimeoutMs);
}

bool TargetWindowProcess::Start(const std::string& options, const std::string& exe)
{
    const std::string log = m_folder.WindowsPath("target.log");
    const std::string ready = log + ".ready";
    std::string command = "\"" + exe + "\" \"" + log + "\" " + options;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    if (!PumpUntil([&] { return FileExists(ready); }, kStartTimeoutMs)) {
        return false;
    }
    const std::string text = ReadWhole(ready);
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        char name[32] = {};
        unsigned long long handle = 0;
        if (std::sscanf(text.substr(start, end - start).c_str(), "%31s %llu", name, &handle) == 2) {
            m_windows[name] = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
        }
    }
    m_top = Window("top");
    m_child = Window("child");
    m_core = Window("core");
    m_focus = Window("focus");
    return IsWindow(m_top) && IsWindow(m_child) && IsWindow(m_core) && IsWindow(m_focus);
}

HWND TargetWindowProcess::Window(const std::string& name) const
{
    const auto found = m_windows.find(name);
    return found == m_windows.end() ? nullptr : found->second;
}

void TargetWindowProcess::Stop()
{
    if (m_process != nullptr) {
        TerminateProcess(m_process, 0);
        WaitForSingleObject(m_process, kStartTimeoutMs);
        CloseHandle(m_process);
        m_process = nullptr;
    }
}

std::vector<LoggedMessage> TargetWindowProcess::Log() const
{
    std::vector<LoggedMessage> entries;
    const std::string text = ReadWhole(m_folder.WindowsPath("target.log"));
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        char window[16] = {};
        char message[16] = {};
        LoggedMessage entry;
        if (std::sscanf(text.substr(start, end - start).c_str(), "%lld %15s %15s %x %x", &entry.m_time, window, message,
                        &entry.m_wParam, &entry.m_lParam) == 5) {
            entry.m_window = window;
            entry.m_message = message;
            entries.push_back(entry);
        }
    }
    return entries;
}

std::size_t TargetWindowProcess::Count(const std::string& window, const std::string& message) const
{
    std::size_t count = 0;
    for (const LoggedMessage& entry : Log()) {
        count += entry.m_window == window && entry.m_message == message ? 1 : 0;
    }
    return count;
}

std::vector<LoggedMessage> TargetWindowProcess::Of(const std::string& window, const std::string& message) const
{
    std::vector<LoggedMessage> found;
    for (const LoggedMessage& entry : Log()) {
        if (entry.m_window == window && entry.m_message == message) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<int> TargetWindowProcess::Deltas(const std::string& window, const std::string& message) const
{
    std::vector<int> deltas;
    for (const LoggedMessage& entry : Of(window, message)) {
        deltas.push_back(entry.Delta());
    }
    return deltas;
}

std::vector<int> TargetWindowProcess::Codes(const std::string& window, const std::string& message) const
{
    std::vector<int> codes;
    for (const LoggedMessage& entry : Of(window, message)) {
        codes.push_back(entry.Code());
    }
    return codes;
}

bool TargetWindowProcess::WaitFor(const std::string& window, const std::string& message, std::size_t count) const
{
    return PumpUntil([&] { return Count(window, message) >= count; }, kMessageTimeoutMs);
}

POINT CenterOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string MoveAndClick(POINT point, int button)
{
    return "mousemove " + std::to_string(point.x) + " " + std::to_string(point.y) + " click " + std::to_string(button);
}

bool WheelFence(const WorkFolder& folder, const TargetWindowProcess& target)
{
    const std::size_t before = target.Count("focus", "wheel");
    return RunXdotool(folder, MoveAndClick(CenterOf(target.m_core), kWheelDownButton)) &&
           target.WaitFor("focus", "wheel", before + 1);
}

namespace {

HANDLE StartTestProcess(const char* exe, const std::string& arguments)
{
    std::string command = std::string("\"") + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

} // namespace

OtherHookProcess::~OtherHookProcess()
{
    if (m_process != nullptr) {
        TerminateProcess(m_process, 0);
        WaitForSingleObject(m_process, kStartTimeoutMs);
        CloseHandle(m_process);
    }
}

bool OtherHookProcess::Start(const std::string& options)
{
    const std::string log = m_folder.WindowsPath("other-hook.log");
    m_process = StartTestProcess(ROLLIX_OTHER_HOOK_EXE, "\"" + log + "\" " + options);
    return m_process != nullptr && PumpUntil([&] { return FileExists(log + ".ready"); }, kStartTimeoutMs);
}

std::vector<int> OtherHookProcess::WheelDeltas() const
{
    std::vector<int> deltas;
    const std::string text = ReadWhole(m_folder.WindowsPath("other-hook.log"));
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        int delta = 0;
        if (std::sscanf(text.substr(start, end - start).c_str(), "wheel %d", &delta) == 1) {
            deltas.push_back(delta);
        }
    }
    return deltas;
}

HookLibrary::~HookLibrary()
{
    if (m_module != nullptr) {
        m_stop();
        FreeLibrary(m_module);
    }
}

bool HookLibrary::Load(const std::string& path)
{
    m_module = LoadLibraryA(path.c_str());
    return FindExports();
}

bool HookLibrary::Load(const std::wstring& path)
{
    m_module = LoadLibraryW(path.c_str());
    return FindExports();
}

bool HookLibrary::FindExports()
{
    if (m_module == nullptr) {
        return false;
    }
    m_start = reinterpret_cast<void(WINAPI*)(int, int, int)>(
        reinterpret_cast<void*>(GetProcAddress(m_module, "RollixHookStart")));
    m_stop = reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(m_module, "RollixHookStop")));
    m_lastTime = reinterpret_cast<double(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(m_module, "GetLastMouseMessageTime")));
    m_callbackTimes = reinterpret_cast<int(WINAPI*)(double*, int)>(
        reinterpret_cast<void*>(GetProcAddress(m_module, "RollixHookCallbackTimes")));
    return m_start != nullptr && m_stop != nullptr && m_lastTime != nullptr;
}

std::vector<double> HookLibrary::CallbackTimes(int latest)
{
    std::vector<double> times(static_cast<std::size_t>(latest));
    const int written = m_callbackTimes != nullptr ? m_callbackTimes(times.data(), latest) : 0;
    times.resize(static_cast<std::size_t>(written));
    return times;
}

bool FakeProgramWindow::Create()
{
    m_controlMessage = RegisterWindowMessageA("WM_ROLLIX_MSG");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "obj_Form";
    RegisterClassA(&windowClass);
    m_window = CreateWindowExA(0, "obj_Form", "Rollix Portable", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_window != nullptr;
}

FakeProgramWindow::~FakeProgramWindow()
{
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

LRESULT CALLBACK FakeProgramWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<FakeProgramWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == self->m_controlMessage) {
        self->m_controls.push_back(Control{wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
