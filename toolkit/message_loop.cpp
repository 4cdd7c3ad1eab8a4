// The message loop of the program's one thread, and its orderly end.
#include "message_loop.h"

WindowObject* MainWindow = nullptr;
uint8_t LoopActive = 0;
bool Terminated = false;

namespace {
bool MessageWaiting()
{
    MSG message;
    return ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}
} // namespace

void RunLoop(WindowObject** mainWindow)
{
    ++LoopActive;
    MainWindow = *mainWindow;
    if (MainWindow != nullptr)
        MainWindow->CreateWindowHandle();
    while (!Terminated) {
        // WaitMessage sleeps until a message arrives that is new since the queue was last looked at, so one
        // left behind a WM_NULL (which ends a pass) would wait for the next one to come: wait only when the
        // queue is empty.
        if (!MessageWaiting())
            ::WaitMessage();
        PumpMessages(*mainWindow);
    }
    if (*mainWindow != nullptr)
        EndRun(mainWindow);
}

bool PumpOneMessage(WindowObject* mainWindow)
{
    MSG message;
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (LOWORD(message.message) == WM_QUIT) {
        Terminated = true;
    } else if (mainWindow == nullptr || !mainWindow->PreTranslateMessage(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    // A WM_NULL ends the pass early; the loop then waits again.
    return LOWORD(message.message) != 0;
}

void PumpMessages(WindowObject* mainWindow)
{
    while (PumpOneMessage(mainWindow)) {
    }
}

void EndRun(WindowObject** mainWindow)
{
    bool wasTerminated = Terminated;
    Terminated = true;
    LoopActive = 0;
    WindowObject* window = MainWindow;
    MainWindow = nullptr;
    if (window == nullptr)
        return;
    AddRef(window);
    if (!wasTerminated) {
        PumpMessages(window);
        ::SendMessageA(GetWindowHandle(window), WM_CLOSE, 0, 0);
    }
    *mainWindow = nullptr;
    Release(window);
    Release(window);
}

BOOL PostClose(WindowObject* window)
{
    return ::PostMessageA(window->Handle, WM_CLOSE, 0, 0);
}
