// Another program's low-level mouse hook, as a hotkey tool installs one: it logs every wheel event it sees and,
// with "swallow-up", swallows the wheel rolled away from the user, as a tool that took that wheel for a hotkey;
// with "reverse", replaces every wheel event that is not its own injection by an injected reversed one, as a
// reversing tool that knows no other tool's mark.
//   other_hook_process.exe <log file> [swallow-up|reverse]
// Once its hook is installed it creates "<log file>.ready".
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;
HHOOK Hook = nullptr;
bool SwallowUp = false;
bool Reverse = false;
constexpr ULONG_PTR kOwnMark = 0x4F544852; // "OTHR"

LRESULT CALLBACK HookProc(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION && (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL)) {
        const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        const int delta = static_cast<short>(HIWORD(info.mouseData));
        char line[64];
        const int length =
            std::snprintf(line, sizeof(line), "%s %d\n", message == WM_MOUSEWHEEL ? "wheel" : "hwheel", delta);
        DWORD written = 0;
        WriteFile(LogFile, line, static_cast<DWORD>(length), &written, nullptr);
        if (SwallowUp && message == WM_MOUSEWHEEL && delta > 0) {
            return 1; // taken for a hotkey
        }
        if (Reverse && info.dwExtraInfo != kOwnMark) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = message == WM_MOUSEWHEEL ? MOUSEEVENTF_WHEEL : MOUSEEVENTF_HWHEEL;
            input.mi.mouseData = static_cast<DWORD>(-delta);
            input.mi.dwExtraInfo = kOwnMark;
            SendInput(1, &input, sizeof(input));
            return 1;
        }
    }
    return CallNextHookEx(Hook, code, message, data);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    SwallowUp = argc > 2 && std::strcmp(argv[2], "swallow-up") == 0;
    Reverse = argc > 2 && std::strcmp(argv[2], "reverse") == 0;
    LogFile = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (LogFile == INVALID_HANDLE_VALUE) {
        return 3;
    }
    Hook = SetWindowsHookExA(WH_MOUSE_LL, HookProc, GetModuleHandleA(nullptr), 0);
    if (Hook == nullptr) {
        return 4;
    }
    char readyPath[MAX_PATH + 8];
    std::snprintf(readyPath, sizeof(readyPath), "%s.ready", argv[1]);
    CloseHandle(CreateFileA(readyPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
