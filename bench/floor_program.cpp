// RollixFloor.exe: the least a program of Rollix Portable's design can cost, for the benchmark to measure against:
// one hidden top-level window of the main window's class, a 500 ms timer, and a message loop that ends on WM_CLOSE.
// Built once more as RollixTickFloor.exe (ROLLIX_TICK_FLOOR), with what the program cannot leave out of an idle
// wake: its wait (WaitMessage, then PeekMessage until the queue is empty), the tick's cursor read, and the
// program's manifest, whose DPI awareness makes Wine map every cursor read through the monitor's DPI.
#include <windows.h>

namespace {

// The program's main window class, so that all are found the same way; the captions differ, so all can run.
constexpr char kWindowClass[] = "obj_Form";
#ifdef ROLLIX_TICK_FLOOR
constexpr char kCaption[] = "Rollix Tick Floor";
#else
constexpr char kCaption[] = "Rollix Floor";
#endif
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerIntervalMs = 500;

#ifdef ROLLIX_TICK_FLOOR
POINT g_lastCursor{};

// The tick's work while the pointer stands still: one cursor read and its comparison.
void ReadCursor()
{
    POINT cursor;
    if (::GetCursorPos(&cursor) && (cursor.x != g_lastCursor.x || cursor.y != g_lastCursor.y))
        g_lastCursor = cursor;
}
#endif

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        // The floor's tick costs its delivery and nothing more; the tick floor's also reads the cursor.
#ifdef ROLLIX_TICK_FLOOR
        ReadCursor();
#endif
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
#ifdef ROLLIX_TICK_FLOOR
    for (;;) {
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::WaitMessage();
    }
#else
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
#endif
}
