// The window the wheel is aimed at in the hook tests, run in a process of its own: a top-level window with scroll
// bars, a child without, a stand-in of a system-routed framework window, and a second top-level window that takes
// the focus. Every wheel and scroll message they receive is appended to a log with its time.
//   hook_target_window.exe <log file> [capture] [fullscreen]
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;
HWND Top;
HWND Child;
HWND Core;
HWND Focus;

const char* NameOf(HWND window)
{
    return window == Top     ? "top"
           : window == Child ? "child"
           : window == Core  ? "core"
           : window == Focus ? "focus"
                             : "?";
}

const char* MessageName(UINT message)
{
    switch (message) {
    case WM_MOUSEWHEEL:
        return "wheel";
    case WM_MOUSEHWHEEL:
        return "hwheel";
    case WM_VSCROLL:
        return "vscroll";
    case WM_HSCROLL:
        return "hscroll";
    default:
        return nullptr;
    }
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const char* name = MessageName(message)) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        char line[160];
        const int length = std::snprintf(line, sizeof(line), "%lld %s %s %08lx %08lx\n", now.QuadPart, NameOf(window),
                                         name, static_cast<unsigned long>(wParam & 0xFFFFFFFFu),
                                         static_cast<unsigned long>(lParam & 0xFFFFFFFF));
        DWORD written = 0;
        WriteFile(LogFile, line, static_cast<DWORD>(length), &written, nullptr);
        // Handled here, so that DefWindowProc does not hand a child's wheel on to its parent as well.
        return 0;
    }
    if (message == WM_DESTROY && window == Focus) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Register(const char* className)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    bool capture = false;
    bool fullScreen = false;
    for (int i = 2; i < argc; ++i) {
        capture = capture || std::strcmp(argv[i], "capture") == 0;
        fullScreen = fullScreen || std::strcmp(argv[i], "fullscreen") == 0;
    }
    LogFile = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (LogFile == INVALID_HANDLE_VALUE) {
        return 3;
    }
    Register("RollixTargetTop");
    Register("RollixTargetChild");
    Register("Windows.UI.Core.CoreWindow");
    Register("RollixTargetFocus");
    Top = CreateWindowExA(0, "RollixTargetTop", "Target", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                          100, 100, 420, 300, nullptr, nullptr, nullptr, nullptr);
    Child = CreateWindowExA(0, "RollixTargetChild", "", WS_CHILD | WS_BORDER | WS_VISIBLE, 30, 30, 200, 150, Top,
                            nullptr, nullptr, nullptr);
    Core = CreateWindowExA(0, "Windows.UI.Core.CoreWindow", "", WS_CHILD | WS_BORDER | WS_VISIBLE, 250, 30, 100, 150,
                           Top, nullptr, nullptr, nullptr);
    if (fullScreen) {
        Focus = CreateWindowExA(WS_EX_TOPMOST, "RollixTargetFocus", "Full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr,
                                nullptr);
    } else {
        Focus = CreateWindowExA(0, "RollixTargetFocus", "Focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    }
    SetForegroundWindow(Focus);
    SetFocus(Focus);
    if (capture) {
        // Wine itself routes the wheel to the window under the pointer; with the capture on the focused window the
        // system hands the wheel to that window instead, as Windows does to the focus, so the hook's routing shows.
        SetCapture(Focus);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }

    char readyPath[MAX_PATH + 8];
    std::snprintf(readyPath, sizeof(readyPath), "%s.ready", argv[1]);
    char ready[200];
    const int length = std::snprintf(ready, sizeof(ready), "%llu %llu %llu %llu\n",
                                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(Top)),
                                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(Child)),
                                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(Core)),
                                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(Focus)));
    // Written whole under another name first, so the driver never reads half of it.
    char partPath[MAX_PATH + 16];
    std::snprintf(partPath, sizeof(partPath), "%s.part", readyPath);
    HANDLE readyFile = CreateFileA(partPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(readyFile, ready, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(readyFile);
    MoveFileA(partPath, readyPath);

    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseHandle(LogFile);
    return 0;
}
