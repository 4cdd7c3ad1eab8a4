// The message loop: ending within one pass after WM_CLOSE, pumping on after WM_QUIT, no message left waiting
// behind a WM_NULL, one look at the queue per idle wake, and EndRun.
#include "interval_timer.h"
#include "machine.h"
#include "message_loop.h"
#include "popup_menu.h"
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

// Wakes a loop that waits for ever: posts a message to the thread unless Stop is called within the time.
class LoopRescue
{
  public:
    explicit LoopRescue(DWORD afterMs) : m_afterMs(afterMs), m_threadId(::GetCurrentThreadId())
    {
        m_stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = ::CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    }
    ~LoopRescue()
    {
        Stop();
        ::CloseHandle(m_thread);
        ::CloseHandle(m_stop);
    }
    void Stop()
    {
        ::SetEvent(m_stop);
        ::WaitForSingleObject(m_thread, INFINITE);
    }
    bool Fired() const { return m_fired; }

  private:
    static DWORD WINAPI Run(void* self)
    {
        auto* rescue = static_cast<LoopRescue*>(self);
        if (::WaitForSingleObject(rescue->m_stop, rescue->m_afterMs) == WAIT_TIMEOUT) {
            rescue->m_fired = true;
            ::PostThreadMessageA(rescue->m_threadId, WM_APP + 50, 0, 0);
        }
        return 0;
    }

    DWORD m_afterMs;
    DWORD m_threadId;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    volatile bool m_fired = false;
};

void CloseMainWindowOnChoice(void*, MenuNode*, int)
{
    PostClose(MainWindow);
}

// As after a tray menu's choice: the menu's WM_COMMAND, then the WM_NULL posted after TrackPopupMenu. The
// command posts the main window's close, which lands behind the WM_NULL; the loop still takes it at once, with
// no timer running and nothing else arriving.
TEST(MessageLoopTest, MessagePostedBehindANullMessageIsNotLeftWaiting)
{
    constexpr DWORD kRescueAfterMs = 5000;
    WindowObject* main = MakeMainWindow();
    WindowObject* host = CreatePanelWindow(main, 2);
    const char* const texts[] = {"Exit"};
    MenuNode* menu = MakeMenu(host, texts, 0, MenuItemHandler{&CloseMainWindowOnChoice, nullptr});
    ASSERT_NE(GetWindowHandle(host), nullptr);
    MenuNode* exitItem = FindMenuItem(menu, 0);
    ASSERT_NE(exitItem, nullptr);
    ::PostMessageA(host->Handle, WM_COMMAND, exitItem->CommandId, 0);
    ::PostMessageA(main->Handle, WM_NULL, 0, 0);

    LoopRescue rescue(kRescueAfterMs);
    RunLoop(&MainWindow);
    rescue.Stop();
    EXPECT_FALSE(rescue.Fired()) << "the close waited in the queue until another message came";
    EXPECT_EQ(MainWindow, nullptr);
}

// The real queue, with the looks that found it empty counted between one wait and the next.
class QueueCountingMachine : public Machine
{
  public:
    BOOL PeekMessage(MSG* message, UINT removal) override
    {
        BOOL found = Machine::PeekMessage(message, removal);
        if (!found)
            ++m_emptyLooks;
        return found;
    }
    BOOL WaitMessage() override
    {
        emptyLooksBeforeWait.push_back(m_emptyLooks);
        m_emptyLooks = 0;
        return Machine::WaitMessage();
    }

    std::vector<int> emptyLooksBeforeWait;

  private:
    int m_emptyLooks = 0;
};

void CloseOnFifthTick(void* ticks, IntervalTimer*)
{
    if (++*static_cast<int*>(ticks) == 5)
        PostClose(MainWindow);
}

// Idle, the program wakes for its timer and little else, and under Wine every look at the queue is a trip to the
// window server: each wake finds the queue empty once, and waits.
TEST(MessageLoopTest, EachWaitFollowsOneLookThatFoundTheQueueEmpty)
{
    constexpr DWORD kRescueAfterMs = 5000;
    MakeMainWindow();
    int ticks = 0;
    IntervalTimer* timer = CreateIntervalTimer(10);
    timer->OnTimer.routine = &CloseOnFifthTick;
    timer->OnTimer.owner = &ticks;
    SetTimerEnabled(timer, true);
    QueueCountingMachine machine;
    SetMachine(&machine);

    LoopRescue rescue(kRescueAfterMs);
    RunLoop(&MainWindow);
    rescue.Stop();
    SetMachine(nullptr);
    Release(timer);
    EXPECT_FALSE(rescue.Fired());
    EXPECT_EQ(ticks, 5);
    ASSERT_GE(machine.emptyLooksBeforeWait.size(), 5u);
    for (size_t wait = 0; wait < machine.emptyLooksBeforeWait.size(); ++wait)
        EXPECT_EQ(machine.emptyLooksBeforeWait[wait], 1) << "wait " << wait;
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
