// Test-side driving of the settings editor: folders, processes, input and the stand-in program window.
#include "editor_driver.h"

#include "editor_ids.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 10000;

std::vector<unsigned>* g_codes = nullptr;
UINT g_rollixMessage = 0;

std::string EditorBuildPath()
{
    // The editor is built to <build>/bin, the Wine tests to <build>/tests/bin.
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module);
    path.resize(path.find_last_of("\\/") + 1);
    path += ROLLIX_EDITOR_FROM_TESTS;
    char full[MAX_PATH];
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

struct FindDialogArgs
{
    DWORD processId;
    HWND skip;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param)
{
    auto* args = reinterpret_cast<FindDialogArgs*>(param); // NOLINT(performance-no-int-to-ptr)
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    if (processId == args->processId && window != args->skip && IsWindowVisible(window) &&
        lstrcmpA(className, args->className) == 0) {
        args->found = window;
        return FALSE;
    }
    return TRUE;
}

// GetWindowText cannot read a control of another process; WM_GETTEXT asks the control itself.
std::string TextOf(HWND window)
{
    char text[1024] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kSendTimeoutMs,
                        &result);
    return text;
}

BOOL CALLBACK AppendChildText(HWND child, LPARAM param)
{
    *reinterpret_cast<std::string*>(param) += TextOf(child) + "\n"; // NOLINT(performance-no-int-to-ptr)
    return TRUE;
}

LRESULT CALLBACK FakeProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_rollixMessage && g_codes != nullptr) {
        g_codes->push_back(static_cast<unsigned>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::string> IniLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
}

EditorFolder::EditorFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int s_serial = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof(name), "%srollix-editor-%lu-%lu-%d", temp, GetCurrentProcessId(), GetTickCount(),
                  ++s_serial);
    m_path = name;
    CreateDirectoryA(m_path.c_str(), nullptr);
    CopyFileA(EditorBuildPath().c_str(), ExePath().c_str(), FALSE);
}

EditorFolder::~EditorFolder()
{
    SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(IniPath().c_str())) {
        RemoveDirectoryA(IniPath().c_str());
    }
    DeleteFileA(ExePath().c_str());
    RemoveDirectoryA(m_path.c_str());
}

std::string EditorFolder::IniPath() const
{
    return m_path + "\\rollix.ini";
}

std::string EditorFolder::ExePath() const
{
    return FilePath("RollixConfig.exe");
}

std::string EditorFolder::FilePath(const char* name) const
{
    return m_path + "\\" + name;
}

void EditorFolder::WriteIni(const std::string& text) const
{
    const HANDLE file = CreateFileA(IniPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string EditorFolder::ReadIni() const
{
    std::string text;
    const HANDLE file = CreateFileA(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<no file>";
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

std::string EditorFolder::Value(const char* key, const char* section) const
{
    char text[2048];
    GetPrivateProfileStringA(section, key, "<missing>", text, sizeof(text), IniPath().c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, IniPath().c_str());
    return text;
}

EditorProcess::EditorProcess(const EditorFolder& folder)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + folder.ExePath() + "\"";
    CreateProcessA(folder.ExePath().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &m_process);
}

EditorProcess::~EditorProcess()
{
    if (m_process.hProcess != nullptr) {
        if (Running()) {
            TerminateProcess(m_process.hProcess, 99);
            WaitForSingleObject(m_process.hProcess, kSendTimeoutMs);
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool EditorProcess::WaitForDialog()
{
    if (m_process.hProcess == nullptr) {
        return false;
    }
    // An editor that ended (crashed) will show no dialog: no use waiting out the time.
    WaitFor([this] {
        FindDialogArgs args = {m_process.dwProcessId, nullptr, ROLLIX_EDITOR_CLASS, nullptr};
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&args));
        m_dialog = args.found;
        return m_dialog != nullptr || !Running();
    });
    return m_dialog != nullptr;
}

bool EditorProcess::WaitForExit(DWORD* exitCode)
{
    const bool ended = WaitFor([this] { return !Running(); });
    if (ended && exitCode != nullptr) {
        GetExitCodeProcess(m_process.hProcess, exitCode);
    }
    return ended;
}

bool EditorProcess::Running() const
{
    return m_process.hProcess != nullptr && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

HWND EditorProcess::Control(int id) const
{
    return GetDlgItem(m_dialog, id);
}

void EditorProcess::Click(int id) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result);
}

void EditorProcess::PostClick(int id) const
{
    PostMessageA(Control(id), BM_CLICK, 0, 0);
}

bool EditorProcess::Checked(int id) const
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(Control(id), BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
    return state == BST_CHECKED;
}

int EditorProcess::Selection(int id) const
{
    DWORD_PTR index = 0;
    SendMessageTimeoutA(Control(id), CB_GETCURSEL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &index);
    return static_cast<int>(index);
}

void EditorProcess::Choose(int id, int index) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_NORMAL, kSendTimeoutMs, &result);
    // The list tells its dialog of a choice the user makes, not of one set from outside.
    SendMessageTimeoutA(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(id)),
                        SMTO_NORMAL, kSendTimeoutMs, &result);
}

std::string EditorProcess::Text(int id) const
{
    return TextOf(Control(id));
}

void EditorProcess::Type(int id, const char* text) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), EM_SETSEL, 0, -1, SMTO_NORMAL, kSendTimeoutMs, &result);
    for (; *text != '\0'; ++text) {
        SendMessageTimeoutA(Control(id), WM_CHAR, static_cast<unsigned char>(*text), 1, SMTO_NORMAL, kSendTimeoutMs,
                            &result);
    }
}

void EditorProcess::Paste(int id, const char* text) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kSendTimeoutMs,
                        &result);
}

HWND EditorProcess::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(m_process.dwThreadId, &info);
    return info.hwndFocus;
}

void EditorProcess::PressKey(WPARAM key) const
{
    // Posted like real input, so it passes through the editor's IsDialogMessage loop.
    const HWND target = Focus() != nullptr ? Focus() : m_dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

void EditorProcess::PressAltKey(char letter) const
{
    const HWND target = Focus() != nullptr ? Focus() : m_dialog;
    constexpr LPARAM kAltDown = 1 | (1 << 29);
    PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), kAltDown);
}

HWND EditorProcess::WaitForMessageBox() const
{
    HWND box = nullptr;
    WaitFor([this, &box] {
        FindDialogArgs args = {m_process.dwProcessId, m_dialog, "#32770", nullptr};
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&args));
        box = args.found;
        return box != nullptr;
    });
    return box;
}

HWND EditorProcess::WaitForWindow(const char* title) const
{
    HWND found = nullptr;
    const bool shown = WaitFor([&] {
        found = FindWindowA(nullptr, title);
        DWORD processId = 0;
        GetWindowThreadProcessId(found, &processId);
        return found != nullptr && processId == m_process.dwProcessId && IsWindowVisible(found);
    });
    return shown ? found : nullptr;
}

std::string EditorProcess::WindowTexts(HWND window)
{
    std::string texts;
    AppendChildText(window, reinterpret_cast<LPARAM>(&texts));
    EnumChildWindows(window, AppendChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

FakeProgram::FakeProgram()
{
    static std::vector<unsigned> s_codes;
    s_codes.clear();
    g_codes = &s_codes;
    g_rollixMessage = RegisterWindowMessageA("WM_ROLLIX_MSG");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FakeProgramProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "obj_Form";
    RegisterClassA(&windowClass);
    m_window = CreateWindowA("obj_Form", "Rollix Portable", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
}

FakeProgram::~FakeProgram()
{
    DestroyWindow(m_window);
    g_codes = nullptr;
}

std::vector<unsigned> FakeProgram::Codes()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    return *g_codes;
}

std::vector<std::string> LineChanges(const std::string& before, const std::string& after)
{
    std::multiset<std::string> gone;
    for (const std::string& line : IniLines(before)) {
        gone.insert(line);
    }
    std::vector<std::string> changes;
    for (const std::string& line : IniLines(after)) {
        const auto found = gone.find(line);
        if (found != gone.end()) {
            gone.erase(found);
        } else {
            changes.push_back("+" + line);
        }
    }
    for (const std::string& line : gone) {
        changes.push_back("-" + line);
    }
    std::sort(changes.begin(), changes.end());
    return changes;
}
