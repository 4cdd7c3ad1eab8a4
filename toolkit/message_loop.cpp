// The message loop of the program's one thread, and its orderly end.
#include "message_loop.h"

#include "machine.h"

WindowObject* MainWindow = nullptr;
uint8_t LoopActive = 0;
bool Terminated = false;

namespace {

// What one look at the queue found.
enum class Taken
{
    Nothing,
    NullMessage,
    Message,
};

Taken TakeOneMessage(WindowObject* mainWindow)
{
    MSG message;
    if (!TheMachine().PeekMessage(&message, PM_REMOVE))
        return Taken::Nothing;
    if (LOWORD(message.message) == WM_QUIT) {
        Terminated = true;
    } else if (mainWindow == nullptr || !mainWindow->PreTranslateMessage(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return LOWORD(message.message) != 0 ? Taken::Message : Taken::NullMessage;
}

// One pumping pass; true when it ended because the queue was empty, false when a WM_NULL ended it.
bool PumpPass(WindowObject* mainWindow)
{
    for (;;) {
        switch (TakeOneMessage(mainWindow)) {
        case Taken::Nothing:
            return true;
        case Taken::NullMessage:
            return false;
        case Taken::Message:
            break;
        }
    }
}

bool MessageWaiting()
{
    MSG message;
    return TheMachine().PeekMessage(&message, PM_NOREMOVE) != FALSE;
}

} // namespace

void RunLoop(WindowObject** mainWindow)
{
    ++LoopActive;
    MainWindow = *mainWindow;
    if (MainWindow != nullptr)
        MainWindow->CreateWindowHandle();
    // Not known before the first pass.
    bool queueEmpty = false;
    while (!Terminated) {
        // WaitMessage sleeps until a message arrives that is new since the queue was last looked at. A pass that
        // found the queue empty has just looked, and a second look would cost every idle wake another trip to the
        // window server. A pass ended by a WM_NULL may have left messages behind, which would wait for the next
        // one to come: the queue is looked at once more before that wait.
        if (queueEmpty || !MessageWaiting())
            TheMachine().WaitMessage();
        queueEmpty = PumpPass(*mainWindow);
    }
    if (*mainWindow != nullptr)
        EndRun(mainWindow);
}

bool PumpOneMessage(WindowObject* mainWindow)
{
    // A WM_NULL ends the pass early; the loop then waits again.
    return TakeOneMessage(mainWindow) == Taken::Message;
}

void PumpMessages(WindowObject* mainWindow)
{
    PumpPass(mainWindow);
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
