// The running program driven from other processes: the hook started with the file's settings, control codes
// that stop, start and end it, the watchdog's re-install, "-close", restarts into new copies, codes that reach
// the timer window, and a flood of codes.
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr char kQuietSettings[] = "[config]\r\nFirstTime=0\r\n";
constexpr char kHookStarted[] = "RollixHookStart 0 3 0";
constexpr char kHookStopped[] = "RollixHookStop";
constexpr char kHookTimeAsked[] = "GetLastMouseMessageTime";
// A second start with "-close" waits this long after asking the running copy to quit.
constexpr ULONGLONG kClosePauseMs = 1000;
// The clock that measures the pause may tick in steps of about 16 ms on Windows.
constexpr ULONGLONG kClockStepMs = 20;
// The watchdog ticks every 500 ms; a pointer standing still for four ticks' worth must not re-install.
constexpr ULONGLONG kStillPointerMs = 2000;
constexpr int kFloodSize = 5000;
// Away from the stand-alone tray, which sits in the top left corner of the screen.
constexpr POINT kStillPointer = {400, 300};
constexpr POINT kMovedPointer = {600, 450};

class ControlE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ready()) << "could not copy the program and the doubles into " << folder.Path();
        // A copy left by another run would receive the codes meant for ours.
        ASSERT_TRUE(WaitUntilNoCopyRuns()) << "another copy of the program is still running";
    }

    // Starts the program and waits for its hook start with the given log line.
    void StartAndWaitForTheHook(ProgramRun& run, const std::string& arguments, const char* startLine,
                                int startsBefore = 0)
    {
        ASSERT_TRUE(run.Start(folder, arguments));
        ASSERT_NE(run.WaitForMainWindow(), nullptr) << "no main window; the program is " << run.State();
        ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(startLine) == startsBefore + 1; }))
            << "the hook was not started with \"" << startLine << "\"; the program is " << run.State();
    }

    // Waits for the hook log to hold the number of lines like the one given.
    bool WaitForHookCalls(const char* line, int count)
    {
        return WaitFor([&] { return folder.CountHookCalls(line) == count; });
    }

    static void ExpectEndWithCodeZero(ProgramRun& run)
    {
        DWORD code = kKilledExitCode;
        ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end";
        EXPECT_EQ(code, 0u);
    }

    // Waits for the copy that replaces the one given, and takes it over.
    void AttachToTheNewCopy(ProgramRun& next, DWORD oldProcess)
    {
        DWORD processId = WaitForCopyOtherThan(oldProcess);
        ASSERT_NE(processId, 0u) << "no new copy appeared";
        ASSERT_TRUE(next.Attach(processId));
        std::vector<DWORD> fromFolder = folder.RunningProcesses();
        EXPECT_NE(std::find(fromFolder.begin(), fromFolder.end(), processId), fromFolder.end())
            << "the new copy does not run from the program's folder";
    }

    ProgramFolder folder;
};

TEST_F(ControlE2e, HookStartsWithTheFileSettingsAndCodesThreeAndTwoStopAndStartIt)
{
    folder.WriteSettings("[config]\r\nFirstTime=0\r\nConvertToScroll=TRUE\r\nLinesToScroll=7\r\n"
                         "ActivateWindows=1\r\nReverseScroll=1\r\n");
    const char kConfiguredStart[] = "RollixHookStart 1 7 3";
    ProgramRun run;
    StartAndWaitForTheHook(run, "", kConfiguredStart);

    ASSERT_TRUE(run.PostControl(kDisableHook));
    ASSERT_TRUE(WaitForHookCalls(kHookStopped, 1)) << "code 3 did not stop the hook";
    ASSERT_TRUE(run.PostControl(kEnableHook));
    ASSERT_TRUE(WaitForHookCalls(kConfiguredStart, 2)) << "code 2 did not start the hook again";
    ASSERT_TRUE(run.PostControl(kQuit));
    ExpectEndWithCodeZero(run);
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kConfiguredStart, kHookStopped, kConfiguredStart}));
}

TEST_F(ControlE2e, QuitCodeEndsWithCodeZeroAndLeavesTheHookAlone)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun run;
    StartAndWaitForTheHook(run, "", kHookStarted);
    ASSERT_TRUE(run.PostControl(kQuit));
    ExpectEndWithCodeZero(run);
    EXPECT_TRUE(RunningCopies().empty());
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted}));
}

TEST_F(ControlE2e, WatchdogReinstallsAStaleHookOnlyOnceThePointerMoves)
{
    folder.WriteSettings("[config]\r\nFirstTime=0\r\nRehook=1\r\n");
    // The hook reports its last mouse message as 5 seconds old, well past the 3-second limit.
    folder.SetHookTime("age 5");
    ASSERT_TRUE(PlacePointer(kStillPointer)) << "the pointer cannot be placed on this display";
    ProgramRun run;
    StartAndWaitForTheHook(run, "", kHookStarted);

    // The pointer stands still for four ticks' worth while the program runs: the watchdog must not even ask the
    // hook for its time. A change ends the watch early, and fails below.
    ULONGLONG watchStart = ::GetTickCount64();
    WaitFor([&] { return folder.HookLog().size() != 1 || ::GetTickCount64() - watchStart >= kStillPointerMs; });
    ASSERT_TRUE(run.IsRunning()) << "the program is " << run.State();
    // The program answers a code posted after the watch, so it was pumping its messages, ticks included.
    ASSERT_TRUE(run.PostControl(kEnableHook));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kHookStarted) >= 2; })) << "code 2 was not answered";
    ASSERT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted, kHookStarted}))
        << "the watchdog acted while the pointer stood still";

    ASSERT_TRUE(PlacePointer(kMovedPointer));
    ASSERT_TRUE(WaitForHookCalls(kHookStarted, 3)) << "the watchdog did not re-install the hook";
    EXPECT_EQ(folder.HookLog(),
              (std::vector<std::string>{kHookStarted, kHookStarted, kHookTimeAsked, kHookStopped, kHookStarted}));

    ASSERT_TRUE(run.PostControl(kQuit));
    ExpectEndWithCodeZero(run);
}

TEST_F(ControlE2e, CloseStartEndsTheRunningCopyAndEndsItselfAfterItsPause)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun running;
    StartAndWaitForTheHook(running, "", kHookStarted);

    ProgramRun closer;
    ULONGLONG started = ::GetTickCount64();
    ASSERT_TRUE(closer.Start(folder, "-close"));
    DWORD code = kKilledExitCode;
    ASSERT_TRUE(closer.WaitForExit(&code)) << "the \"-close\" start did not end";
    ULONGLONG elapsed = ::GetTickCount64() - started;
    EXPECT_EQ(code, 0u);
    EXPECT_GE(elapsed + kClockStepMs, kClosePauseMs) << "the \"-close\" start did not pause";

    ExpectEndWithCodeZero(running);
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted}));
    EXPECT_TRUE(RunningCopies().empty());
}

TEST_F(ControlE2e, ElevatedRestartReplacesAPlainCopyThatThenHonoursOnlyTheNormalRestart)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun plain;
    StartAndWaitForTheHook(plain, "", kHookStarted);
    EXPECT_EQ(FirstParameter(plain.CommandLine()), "");

    // A plain copy on a system that counts as Vista or later honours the elevated restart.
    ASSERT_TRUE(plain.PostControl(kRestartElevated));
    ExpectEndWithCodeZero(plain);
    ProgramRun elevated;
    AttachToTheNewCopy(elevated, plain.ProcessId());
    ASSERT_TRUE(elevated.IsRunning());
    EXPECT_EQ(FirstParameter(elevated.CommandLine()), "/admin") << elevated.CommandLine();
    ASSERT_TRUE(WaitForHookCalls(kHookStarted, 2)) << "the new copy did not start the hook";

    // It ignores a second elevated restart: the code after it is answered by the same process.
    ASSERT_TRUE(elevated.PostControl(kRestartElevated));
    ASSERT_TRUE(elevated.PostControl(kDisableHook));
    ASSERT_TRUE(WaitForHookCalls(kHookStopped, 1)) << "code 3 was not answered; the copy is " << elevated.State();
    EXPECT_TRUE(elevated.IsRunning()) << "code 7 ended a copy started with \"/admin\"";
    EXPECT_EQ(RunningCopies().size(), 1u);

    // And honours the normal one.
    ASSERT_TRUE(elevated.PostControl(kRestart));
    ExpectEndWithCodeZero(elevated);
    ProgramRun normal;
    AttachToTheNewCopy(normal, elevated.ProcessId());
    EXPECT_EQ(FirstParameter(normal.CommandLine()), "/noadmin") << normal.CommandLine();
    ASSERT_TRUE(WaitForHookCalls(kHookStarted, 3)) << "the third copy did not start the hook";

    ASSERT_TRUE(normal.PostControl(kQuit));
    ExpectEndWithCodeZero(normal);
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted, kHookStarted, kHookStopped, kHookStarted}));
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

TEST_F(ControlE2e, CodesPostedToTheTimerWindowAreActedOnAsOnTheMainWindow)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun run;
    StartAndWaitForTheHook(run, "", kHookStarted);
    // The timer window comes with the watchdog's timer, just after the hook starts.
    HWND timerWindow = nullptr;
    WaitFor([&] { return (timerWindow = run.TimerWindow()) != nullptr || !run.IsRunning(); });
    ASSERT_NE(timerWindow, nullptr) << "the program has no top-level window of class \"" << kTimerWindowClass << "\"";
    EXPECT_NE(timerWindow, run.MainWindow());
    EXPECT_FALSE(::IsWindowVisible(timerWindow));

    ASSERT_TRUE(PostControlTo(timerWindow, kDisableHook));
    ASSERT_TRUE(WaitForHookCalls(kHookStopped, 1)) << "code 3 to the timer window was not acted on";
    ASSERT_TRUE(PostControlTo(timerWindow, kEnableHook));
    ASSERT_TRUE(WaitForHookCalls(kHookStarted, 2)) << "code 2 to the timer window was not acted on";
    ASSERT_TRUE(PostControlTo(timerWindow, kQuit));
    ExpectEndWithCodeZero(run);
    // Each code was acted on once.
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted, kHookStopped, kHookStarted}));
}

TEST_F(ControlE2e, FloodOfControlCodesLosesNotTheLastOne)
{
    folder.WriteSettings(kQuietSettings);
    ProgramRun run;
    StartAndWaitForTheHook(run, "", kHookStarted);
    HWND window = run.MainWindow();
    ASSERT_NE(window, nullptr);

    int posted = 0;
    for (int i = 0; i < kFloodSize - 1; ++i)
        posted += PostControlTo(window, 0) ? 1 : 0;
    posted += PostControlTo(window, kDisableHook) ? 1 : 0;
    ASSERT_EQ(posted, kFloodSize) << "Windows refused some of the messages";

    ASSERT_TRUE(WaitForHookCalls(kHookStopped, 1)) << "the last code was lost; the program is " << run.State();
    ASSERT_TRUE(run.PostControl(kQuit));
    ExpectEndWithCodeZero(run);
    EXPECT_EQ(folder.HookLog(), (std::vector<std::string>{kHookStarted, kHookStopped}));
}

} // namespace
