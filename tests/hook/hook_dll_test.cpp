// The real RollixHook.dll in a process that pumps messages like the program, driven by real wheel events from
// xdotool over a window of another process.
#include "hook_dll_fixture.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

namespace {

constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;
constexpr int kTiltRight = 7;
constexpr int kNotch = 120;
constexpr int kLineUp = 0;   // SB_LINEUP, SB_LINELEFT
constexpr int kLineDown = 1; // SB_LINEDOWN, SB_LINERIGHT
constexpr int kEndScroll = 8;
constexpr WPARAM kActivateWindowCode = 8;
constexpr int kFlagActivate = 1;
constexpr int kFlagReverse = 2;
constexpr double kMillisecondInDays = 1.0 / 86400000.0;
// What the library writes into the input it injects itself ("ROLX").
constexpr ULONG_PTR kRollixInjectedMarker = 0x524F4C58;

// Injects one notch from a thread of its own: Wine does not run a low-level hook for input that the hook's own
// thread injects, and the events must go through the hook to show what it does with them.
DWORD WINAPI InjectMarkedNotch(void*)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = 120;
    input.mi.dwExtraInfo = kRollixInjectedMarker;
    return SendInput(1, &input, sizeof(input));
}

TEST_F(HookDll, WheelGoesToTheWindowUnderThePointerNotTheFocusedOne)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();

    const std::vector<LoggedMessage> wheels = Of("child", "wheel");
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].Delta(), kNotch);
    const POINT center = CenterOf(m_target.m_child);
    EXPECT_EQ(static_cast<short>(wheels[0].m_lParam & 0xFFFF), center.x);
    EXPECT_EQ(static_cast<short>(wheels[0].m_lParam >> 16), center.y);
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, AfterStopTheWheelGoesToTheFocusedWindowAgain)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));

    m_hook.Stop();
    m_hook.Stop(); // a stop without a hook does nothing
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch});
}

TEST_F(HookDll, ReverseScrollInvertsTheWheel)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Click(m_target.m_child, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 2));
    EXPECT_EQ(Deltas("child", "wheel"), (std::vector<int>{-kNotch, kNotch}));
}

TEST_F(HookDll, ConvertToScrollSendsLinesPerNotchThenEndScroll)
{
    Launch("capture");
    m_hook.Start(1, 5, 0);
    // The child has no scroll bar; its top-level window has both.
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 6));
    Click(m_target.m_child, kWheelDown);
    ASSERT_TRUE(m_target.WaitFor("top", "vscroll", 12));
    Click(m_target.m_child, kTiltRight);
    ASSERT_TRUE(m_target.WaitFor("top", "hscroll", 6));
    Fence();

    EXPECT_EQ(Codes("top", "vscroll"),
              (std::vector<int>{kLineUp, kLineUp, kLineUp, kLineUp, kLineUp, kEndScroll, kLineDown, kLineDown,
                                kLineDown, kLineDown, kLineDown, kEndScroll}));
    EXPECT_EQ(Codes("top", "hscroll"),
              (std::vector<int>{kLineDown, kLineDown, kLineDown, kLineDown, kLineDown, kEndScroll}));
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("child", "hwheel").empty());
    EXPECT_TRUE(Of("focus", "hwheel").empty());
}

TEST_F(HookDll, ActivateWindowsAsksTheProgramToActivateTheTopLevelWindow)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagActivate);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    ASSERT_TRUE(PumpUntil([&] { return !m_program.m_controls.empty(); }, 15000)) << "no control message arrived";
    EXPECT_EQ(m_program.m_controls[0].m_code, kActivateWindowCode);
    EXPECT_EQ(reinterpret_cast<HWND>(m_program.m_controls[0].m_lParam), m_target.m_top);
}

TEST_F(HookDll, TwoStartsInARowInstallOneHookWithTheNewSettings)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1));
    Fence();
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{-kNotch});

    // One stop must leave no hook behind.
    m_hook.Stop();
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 2));
    EXPECT_EQ(Deltas("focus", "wheel").back(), kNotch);
    EXPECT_EQ(Of("child", "wheel").size(), 1u);
}

TEST_F(HookDll, SystemRoutedFrameworkWindowIsLeftToTheSystem)
{
    Launch("capture");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_core, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_TRUE(Of("core", "wheel").empty());
}

TEST_F(HookDll, ReverseScrollReachesSystemRoutedWindowsInvertedAndOnlyOnce)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    Click(m_target.m_core, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    // Only one inverted notch arrives: the re-injected event is not handled a second time.
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), (std::vector<int>{-kNotch, kNotch}));
    EXPECT_TRUE(Of("core", "wheel").empty());
}

TEST_F(HookDll, InputCarryingTheLibrarysOwnMarkerPassesUntouched)
{
    Launch("capture");
    m_hook.Start(0, 3, kFlagReverse);
    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y)));
    HANDLE injector = CreateThread(nullptr, 0, InjectMarkedNotch, nullptr, 0, nullptr);
    ASSERT_NE(injector, nullptr);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    WaitForSingleObject(injector, INFINITE);
    CloseHandle(injector);
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{kNotch});
    EXPECT_TRUE(Of("child", "wheel").empty());
}

TEST_F(HookDll, FullScreenProgramGetsItsWheelFromTheSystemStillReversed)
{
    Launch("capture fullscreen");
    m_hook.Start(1, 5, kFlagReverse | kFlagActivate);
    // The targets lie above the full-screen window, which keeps the foreground and the capture: the router leaves
    // the wheel to the system, and only turns it round.
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch});
    EXPECT_TRUE(Of("child", "wheel").empty());
    EXPECT_TRUE(Of("top", "vscroll").empty());
    EXPECT_TRUE(m_program.m_controls.empty());
}

TEST_F(HookDll, MaximizedCaptionedWindowInTheForegroundLeavesTheRoutingOn)
{
    Launch("capture maximized");
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "the router left the wheel to the maximized window";
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, MaximizedWindowDrawingItsOwnTitleBarLeavesTheRoutingOn)
{
    Launch("capture ownframe");
    // Its client area is as large as the screen, as a browser's is.
    RECT client{};
    GetClientRect(m_target.m_focus, &client);
    MapWindowPoints(m_target.m_focus, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    ASSERT_TRUE(client.left <= 0 && client.top <= 0 && client.right >= GetSystemMetrics(SM_CXSCREEN) &&
                client.bottom >= GetSystemMetrics(SM_CYSCREEN));
    m_hook.Start(0, 3, 0);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "the router left the wheel to the maximized window";
    Fence();
    EXPECT_EQ(Deltas("focus", "wheel"), std::vector<int>{-kNotch}) << "only the fence may reach the focus";
}

TEST_F(HookDll, LastMouseMessageTimeFollowsPointerMoves)
{
    Launch("");
    m_hook.Start(0, 3, 0);
    // A hook just installed counts as having seen a message now.
    const double installed = m_hook.LastMouseMessageTime();
    EXPECT_NEAR(installed, LocalNowOle(), 2000 * kMillisecondInDays);

    // With the pointer still, the time stays where it was while the clock runs on.
    ASSERT_TRUE(PumpUntil([&] { return LocalNowOle() - installed > 400 * kMillisecondInDays; }, 10000));
    EXPECT_NEAR(m_hook.LastMouseMessageTime(), installed, 100 * kMillisecondInDays);

    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(
        RunXdotool(m_folder, "mousemove " + std::to_string(center.x - 20) + " " + std::to_string(center.y - 10)));
    ASSERT_TRUE(PumpUntil([&] { return m_hook.LastMouseMessageTime() - installed > 300 * kMillisecondInDays; }, 15000))
        << "the pointer move was not seen";
    EXPECT_LE(m_hook.LastMouseMessageTime(), LocalNowOle() + 50 * kMillisecondInDays);
}

// Wine leaves GetProcessHandleCount at zero: there the open handle values are counted one by one.
DWORD HandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
        return count;
    }
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

TEST_F(HookDll, StartStopAndReinstallCyclesLeaveTheHandleCountFlat)
{
    Launch("capture");
    const POINT center = CenterOf(m_target.m_child);
    ASSERT_TRUE(RunXdotool(m_folder, "mousemove " + std::to_string(center.x) + " " + std::to_string(center.y)));
    ASSERT_TRUE(PumpUntil(
        [&] {
            POINT at{};
            return GetCursorPos(&at) && at.x == center.x && at.y == center.y;
        },
        15000))
        << "the pointer did not arrive";
    // The notches are injected here: each start of xdotool keeps a handle in Wine's launcher.
    std::size_t notches = 0;
    auto cycle = [&] {
        m_hook.Start(0, 3, 0);
        m_hook.Start(0, 3, 0); // a re-install, as the watchdog's
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        input.mi.mouseData = kNotch;
        ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u);
        ASSERT_TRUE(m_target.WaitFor("child", "wheel", ++notches)) << "the notch went past the hook";
        m_hook.Stop();
    };
    cycle(); // whatever the system makes once for a process
    const DWORD before = HandleCount();
    ASSERT_GT(before, 0u);
    for (int round = 0; round < 5; ++round) {
        cycle();
    }
    const DWORD after = HandleCount();
    EXPECT_LE(after, before) << "handles kept by stopped hooks";
}

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

// A new thread cannot begin while the loader lock is held, as on a slow logon: the start times out, and the stop
// comes before the thread has a message queue.
TEST_F(HookDll, AStopBeforeTheHookThreadRunsLeavesNoHookBehind)
{
    using LockProc = LONG(WINAPI*)(ULONG, ULONG*, ULONG_PTR*);
    using UnlockProc = LONG(WINAPI*)(ULONG, ULONG_PTR);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto lock = reinterpret_cast<LockProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
    const auto unlock =
        reinterpret_cast<UnlockProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
    ASSERT_TRUE(lock != nullptr && unlock != nullptr);
    Launch("capture");
    const int threads = ThreadsOfThisProcess();
    ULONG_PTR cookie = 0;
    ASSERT_EQ(lock(0, nullptr, &cookie), 0);
    m_hook.Start(0, 3, 0);
    m_hook.Stop();
    unlock(0, cookie);

    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }, 15000))
        << "the hook thread outlived the stop";
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("focus", "wheel", 1));
    EXPECT_TRUE(Of("child", "wheel").empty()) << "a hook was left behind";
}

// Files removed once the library in them is unloaded.
struct FolderRemoval
{
    std::wstring m_folder;
    ~FolderRemoval()
    {
        DeleteFileW((m_folder + L"\\RollixHook.dll").c_str());
        DeleteFileW((m_folder + L"\\rollix.ini").c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
};

TEST_F(HookDll, ALibraryInAFolderNamedOutsideTheAnsiCodePageRoutesWithItsSettings)
{
    const std::string base = m_folder.WindowsPath("");
    // Devanagari, which no ANSI code page holds.
    FolderRemoval removal{std::wstring(base.begin(), base.end()) + L"\x092A\x0939\x093F\x092F\x093E"};
    const std::wstring& folder = removal.m_folder;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folder.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "the folder's name fits this system's ANSI code page";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string dll = ROLLIX_HOOK_DLL;
    ASSERT_TRUE(CopyFileW(std::wstring(dll.begin(), dll.end()).c_str(), (folder + L"\\RollixHook.dll").c_str(), FALSE));
    // Reverse only the horizontal wheel: a vertical notch that arrives reversed shows the file was not read.
    const char settings[] = "[router]\r\nReverseAxes=horizontal\r\n[class RollixTargetChild]\r\nSideways=shiftwheel\r\n";
    HANDLE file = CreateFileW((folder + L"\\rollix.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, settings, sizeof(settings) - 1, &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(m_program.Create());
    ASSERT_TRUE(m_target.Start("capture"));
    HookLibrary library;
    ASSERT_TRUE(library.Load(folder + L"\\RollixHook.dll"));

    library.Start(0, 3, kFlagReverse);
    Click(m_target.m_child, kWheelUp);
    ASSERT_TRUE(m_target.WaitFor("child", "wheel", 1)) << "no hook: the start failed";
    EXPECT_EQ(Deltas("child", "wheel"), std::vector<int>{kNotch}) << "its rollix.ini was not read";
    // The rules of the same file: the tilt arrives as Shift+wheel, not as the horizontal wheel.
    Click(m_target.m_child, kTiltRight);
    EXPECT_TRUE(m_target.WaitFor("child", "wheel", 2)) << "its rules were not read";
    EXPECT_TRUE(Of("child", "hwheel").empty());
}

} // namespace
