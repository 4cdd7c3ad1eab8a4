// The running program as the desktop sees it: one hidden main window that another process finds, one icon in
// the notification area that goes when the program closes, the setting that hides the icon, and tray
// callbacks that no icon of ours sent.
#include "e2e_harness.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr char kQuietSettings[] = "[config]\r\nFirstTime=0\r\n";
constexpr char kHookStarted[] = "RollixHookStart 0 3 0";
constexpr char kHookStopped[] = "RollixHookStop";
// The message the shell sends for a mouse event on an icon: wParam names the icon, lParam is the mouse message.
constexpr UINT kTrayCallbackMessage = 0xB008;
// The class of every popup menu.
constexpr char kMenuClass[] = "#32768";

class TrayPresenceE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string iconFault = IconLoadFault();
        ASSERT_TRUE(iconFault.empty()) << iconFault;
        ASSERT_TRUE(folder.Ready()) << "could not copy the program and the doubles into " << folder.Path();
        // A copy left by another run would be taken for the running copy, and its icon would be counted.
        ASSERT_TRUE(WaitUntilNoCopyRuns()) << "another copy of the program is still running";
        iconsBefore = TrayIconCount();
    }

    // Starts the program and waits for its hook start, which comes after the tray icon and the settings.
    void StartAndWaitForTheHook(ProgramRun& run)
    {
        ASSERT_TRUE(run.Start(folder, ""));
        ASSERT_NE(run.WaitForMainWindow(), nullptr) << "no main window; the program is " << run.State();
        ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStarted) == 1; }))
            << "the hook was not started; the program is " << run.State();
    }

    // Posts code 3 and waits for its stop: whatever was posted before it has been handled by then.
    void ExpectStillAnswering(ProgramRun& run)
    {
        int stops = folder.CountHookCalls(kHookStopped);
        ASSERT_TRUE(run.PostControl(kDisableHook)) << "the main window is gone; the program is " << run.State();
        EXPECT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStopped) == stops + 1; }))
            << "control code 3 was not answered; the program is " << run.State();
    }

    // Asks the program to end through control code 4 and expects the normal end with the icon gone.
    void QuitAndExpectTheIconGone(ProgramRun& run)
    {
        ASSERT_TRUE(run.PostControl(kQuit));
        DWORD code = kKilledExitCode;
        ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after control code 4";
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore; }))
            << TrayIconCount() << " icons after the end, " << iconsBefore << " before the start";
    }

    ProgramFolder folder;
    int iconsBefore = 0;
};

TEST_F(TrayPresenceE2e, OneHiddenMainWindowAndOneIconUntilAPostedCloseEndsWithCodeZero)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun run;
    StartAndWaitForTheHook(run);

    // Found as a second copy finds it: by class and caption among the top-level windows of the desktop.
    HWND window = ::FindWindowA(kMainWindowClass, kMainWindowCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowProcess(window), run.ProcessId());
    EXPECT_EQ(RunningCopies().size(), 1u) << "more than one main window";
    EXPECT_FALSE(::IsWindowVisible(window)) << "the main window is shown";
    EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore + 1; }))
        << TrayIconCount() << " icons while running, " << iconsBefore << " before the start";

    ASSERT_TRUE(::PostMessageA(window, WM_CLOSE, 0, 0));
    DWORD code = kKilledExitCode;
    ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore; }))
        << TrayIconCount() << " icons after the end, " << iconsBefore << " before the start";
    EXPECT_TRUE(RunningCopies().empty());
    // Closing does not stop the hook: the process's end removes it.
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted}));
}

TEST_F(TrayPresenceE2e, HiddenIconComesBackOnlyWhenTheFileSaysZeroAndCodeNineArrives)
{
    folder.WriteSettings("[config]\r\nFirstTime=0\r\nHideTrayIcon=1\r\n");
    ProgramRun run;
    StartAndWaitForTheHook(run);
    // The icon is shown when it is made and taken away again by the setting, both before the hook starts.
    ASSERT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore; }))
        << TrayIconCount() << " icons with HideTrayIcon=1, " << iconsBefore << " before the start";

    // Code 9 while the file still says "1" keeps it hidden.
    ASSERT_TRUE(run.PostControl(kReloadTrayIconSetting));
    ExpectStillAnswering(run);
    EXPECT_EQ(TrayIconCount(), iconsBefore) << "the icon came back although the file still hides it";

    // The file alone changes nothing until the program is told to read it again.
    folder.WriteSettings("[config]\r\nFirstTime=0\r\nHideTrayIcon=0\r\n");
    ExpectStillAnswering(run);
    EXPECT_EQ(TrayIconCount(), iconsBefore) << "the icon came back before code 9";

    ASSERT_TRUE(run.PostControl(kReloadTrayIconSetting));
    EXPECT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore + 1; }))
        << "the icon did not come back after code 9 with HideTrayIcon=0";
    QuitAndExpectTheIconGone(run);
}

TEST_F(TrayPresenceE2e, ForgedTrayCallbacksLeaveTheProgramRunningWithoutAMenu)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun run;
    StartAndWaitForTheHook(run);
    ASSERT_TRUE(WaitFor([&] { return TrayIconCount() == iconsBefore + 1; }));
    HWND window = run.MainWindow();
    ASSERT_NE(window, nullptr);

    // Identifiers that name no icon: a small number, values that look like addresses of a 32-bit and of a
    // 64-bit program, and the main window's own handle.
    const WPARAM forgedIds[] = {
        12345,
        static_cast<WPARAM>(0x00401000),
        static_cast<WPARAM>(0x00007FF612340000ULL),
        reinterpret_cast<WPARAM>(window),
    };
    for (WPARAM id : forgedIds) {
        for (LPARAM mouse : {static_cast<LPARAM>(WM_RBUTTONUP), static_cast<LPARAM>(WM_LBUTTONUP)})
            ASSERT_TRUE(::PostMessageA(window, kTrayCallbackMessage, id, mouse));
    }

    ExpectStillAnswering(run);
    EXPECT_TRUE(run.IsRunning()) << "the program is " << run.State();
    HWND menu = TopLevelWindowOf(run.ProcessId(), kMenuClass);
    EXPECT_FALSE(menu != nullptr && ::IsWindowVisible(menu)) << "a forged callback opened the tray menu";
    EXPECT_EQ(TrayIconCount(), iconsBefore + 1);
    QuitAndExpectTheIconGone(run);
}

} // namespace
