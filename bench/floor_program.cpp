// RollixFloor.exe: the least a program of Rollix Portable's design can cost, for the benchmark to measure against:
// one hidden top-level window of the main window's class, a 500 ms timer, and a message loop that ends on WM_CLOSE.
#include <windows.h>

namespace {

// The program's main window class, so that both are found the same way; the caption differs, so both can run.
constexpr char kWindowClass[] = "obj_Form";
constexpr char kCaption[] = "Rollix Floor";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerIntervalMs = 500;

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        // The tick costs its delivery and nothing more: that is the floor.
        return 0;
    case WM_DESTROY:
        ::KillTimer(window, kTimerId);
        ::PostQuitMessage(0);
        return 0;
    default:
        // WM_CLOSE included: the default destroys the window.
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassA(&windowClass) == 0)
        return 1;
    // Never shown: created without WS_VISIBLE.
    HWND window =
        ::CreateWindowExA(0, kWindowClass, kCaption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ::SetTimer(window, kTimerId, kTimerIntervalMs, nullptr);

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
