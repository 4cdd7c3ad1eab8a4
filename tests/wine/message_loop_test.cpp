// The message loop: ending within one pass after WM_CLOSE, pumping on after WM_QUIT, and EndRun.
#include "message_loop.h"
#include "window_object.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> g_seen;

bool RecordAppMessages(void*, MessageRecord& message, LRESULT&)
{
    if (message.message >= WM_APP && message.message < WM_APP + 100)
        g_seen.push_back(message.message);
    return false;
}

WindowObject* MakeMainWindow()
{
    MainWindow = CreateFormWindow(nullptr, "Toolkit Test Main");
    HideWindowObject(MainWindow);
    SetOnMessage(MainWindow, MessageHandler{&RecordAppMessages, nullptr});
    GetWindowHandle(MainWindow);
    return MainWindow;
}

TEST(MessageLoopTest, PostedCloseEndsTheLoopAndReleasesTheMainWindow)
{
    WindowObject* main = MakeMainWindow();
    HWND handle = main->Handle;
    static int destroyed;
    destroyed = 0;
    main->OnDestroy.routine = [](void*, ToolkitObject*) { ++destroyed; };
    ::PostMessageA(handle, WM_APP + 1, 0, 0);
    PostClose(main);
    // Posted after the close: still pumped after WM_QUIT was taken, before the loop ends.
    ::PostMessageA(handle, WM_APP + 2, 0, 0);
    RunLoop(&MainWindow);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_TRUE(Terminated);
    EXPECT_EQ(LoopActive, 0);
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_APP + 1}))
        << "the window is gone when the third message is dispatched, so its object no longer sees it";
}

int g_threadMessages = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 7)
        ++g_threadMessages;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(MessageLoopTest, MessagesQueuedBehindTheQuitAreStillDispatched)
{
    MakeMainWindow();
    HWND helper = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ::SetWindowLongPtrA(helper, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc));
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_QUIT, 0, 0);
    ::PostMessageA(helper, WM_APP + 7, 0, 0);
    ::PostMessageA(helper, WM_APP + 7, 0, 0);
    RunLoop(&MainWindow);
    EXPECT_EQ(g_threadMessages, 2);
    EXPECT_EQ(MainWindow, nullptr);
    MSG left;
    EXPECT_FALSE(::PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
    ::DestroyWindow(helper);
}

TEST(MessageLoopTest, NullMessageEndsAPumpingPass)
{
    WindowObject* main = MakeMainWindow();
    ::PostMessageA(main->Handle, WM_APP + 1, 0, 0);
    ::PostMessageA(main->Handle, WM_NULL, 0, 0);
    ::PostMessageA(main->Handle, WM_APP + 2, 0, 0);
    PumpMessages(main);
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_APP + 1}));
    PumpMessages(main);
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
}

TEST(MessageLoopTest, EndRunWithoutTerminationPumpsAndClosesTheWindow)
{
    WindowObject* main = MakeMainWindow();
    HWND handle = main->Handle;
    ::PostMessageA(handle, WM_APP + 3, 0, 0);
    WindowObject* variable = main;
    EndRun(&variable);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_APP + 3}));
    EXPECT_FALSE(::IsWindow(handle));
}

TEST(MessageLoopTest, EndRunAfterTerminationNeitherPumpsNorCloses)
{
    WindowObject* main = MakeMainWindow();
    static int closes;
    closes = 0;
    SetOnMessage(main, MessageHandler{[](void*, MessageRecord& message, LRESULT&) {
                                          if (message.message == WM_CLOSE)
                                              ++closes;
                                          return false;
                                      },
                                      nullptr});
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP + 4, 0, 0);
    Terminated = true;
    WindowObject* variable = main;
    EndRun(&variable);
    EXPECT_EQ(closes, 0);
    MSG left;
    EXPECT_TRUE(::PeekMessageA(&left, nullptr, WM_APP + 4, WM_APP + 4, PM_NOREMOVE)) << "nothing was pumped";
}

TEST(MessageLoopTest, LoopEnteredTerminatedNeverWaits)
{
    MakeMainWindow();
    Terminated = true;
    RunLoop(&MainWindow); // would block in WaitMessage forever otherwise
    EXPECT_EQ(MainWindow, nullptr);
}

} // namespace
