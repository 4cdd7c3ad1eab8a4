// The built program in real processes: the first start, the next start, "-close", and a settings file that
// cannot be written.
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace e2e;

namespace {

const char kDefaultHookStart[] = "RollixHookStart 0 3 0";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class StartupE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ready()) << "could not copy the program and the doubles into " << folder.Path();
        // A copy left by another run would be taken for the running copy and change every path below.
        ASSERT_TRUE(WaitUntilNoCopyRuns()) << "another copy of the program is still running";
    }

    // Closes a run that reached its message loop and expects the normal end.
    static void CloseAndExpectCodeZero(ProgramRun& run, bool useControlCode)
    {
        ASSERT_NE(run.WaitForMainWindow(), nullptr) << "no main window; the program is " << run.State();
        ASSERT_TRUE(useControlCode ? run.PostControl(kQuit) : run.PostClose());
        DWORD code = 0;
        ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after being asked to";
        EXPECT_EQ(code, 0u);
    }

    ProgramFolder folder;
};

TEST_F(StartupE2e, FirstStartWritesOnlyFirstTimeAndOpensTheEditorOnce)
{
    // Started from another folder: the settings and the editor's folder follow the program, not the caller.
    ScratchFolder elsewhere;
    ProgramRun first;
    ASSERT_TRUE(first.Start(folder, "", elsewhere.Path()));
    ASSERT_NE(first.WaitForMainWindow(), nullptr) << "no main window; the program is " << first.State();
    ASSERT_TRUE(WaitFor([&] { return folder.EditorLaunches().size() == 1; })) << "the editor was not opened";
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kDefaultHookStart) == 1; }))
        << "the hook was not started with the default settings";
    CloseAndExpectCodeZero(first, false);

    EXPECT_EQ(folder.SettingsLines(), (std::vector<std::string>{"[config]", "FirstTime=0"}));
    EXPECT_FALSE(elsewhere.Exists(kSettingsName));
    std::vector<EditorLaunch> launches = folder.EditorLaunches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_TRUE(SamePath(launches[0].directory, folder.Path())) << launches[0].directory;
    EXPECT_NE(Lower(launches[0].commandLine).find(Lower(folder.File(kEditorName))), std::string::npos)
        << launches[0].commandLine;

    ProgramRun next;
    ASSERT_TRUE(next.Start(folder, ""));
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kDefaultHookStart) == 2; }));
    CloseAndExpectCodeZero(next, true);
    // Whatever the program launched before it ended has written its line once nothing runs from the folder.
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_EQ(folder.EditorLaunches().size(), 1u);
    EXPECT_EQ(folder.SettingsLines(), (std::vector<std::string>{"[config]", "FirstTime=0"}));
}

TEST_F(StartupE2e, CloseWithNoRunningCopyEndsWithCodeZeroAndTouchesNothing)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start(folder, "-close"));
    DWORD code = kKilledExitCode;
    ASSERT_TRUE(run.WaitForExit(&code)) << "\"-close\" with no running copy did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(folder.SettingsExist());
    EXPECT_TRUE(folder.HookLog().empty());
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

TEST_F(StartupE2e, CloseEndsTheRunningCopy)
{
    folder.WriteSettings("[config]\r\nFirstTime=0\r\n");
    ProgramRun running;
    ASSERT_TRUE(running.Start(folder, ""));
    ASSERT_NE(running.WaitForMainWindow(), nullptr) << "no main window; the program is " << running.State();
    // Only a copy in its message loop has started the hook; a quit posted earlier would wait in its queue anyway.
    ASSERT_TRUE(WaitFor([&] { return folder.CountHookCalls(kDefaultHookStart) == 1; }));

    ProgramRun closer;
    ASSERT_TRUE(closer.Start(folder, "-close"));
    DWORD code = kKilledExitCode;
    ASSERT_TRUE(running.WaitForExit(&code)) << "the running copy did not quit";
    EXPECT_EQ(code, 0u);
    code = kKilledExitCode;
    ASSERT_TRUE(closer.WaitForExit(&code));
    EXPECT_EQ(code, 0u);
    // Neither start opened the editor: FirstTime was already off, and "-close" asks for nothing else.
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_TRUE(folder.EditorLaunches().empty());
}

TEST_F(StartupE2e, UnwritableSettingsFileShowsTheErrorAndExitsWithCodeOne)
{
    ASSERT_TRUE(folder.MakeSettingsUnwritable());
    ProgramRun run;
    ASSERT_TRUE(run.Start(folder, ""));
    HWND box = run.WaitForErrorBox();
    ASSERT_NE(box, nullptr) << "no \"Application Error\" box appeared; the program is " << run.State();
    EXPECT_EQ(MessageBoxText(box), "Unable to write to " + folder.File(kSettingsName));
    // The hook was started before the write failed, and nothing undoes that.
    EXPECT_EQ(folder.CountHookCalls(kDefaultHookStart), 1);
    EXPECT_TRUE(run.IsRunning()) << "the program ended before the box was dismissed";

    ASSERT_TRUE(DismissMessageBox(box));
    DWORD code = kKilledExitCode;
    ASSERT_TRUE(run.WaitForExit(&code)) << "the program did not end after the error box";
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(folder.CountHookCalls("RollixHookStop"), 0);
    ASSERT_TRUE(folder.WaitUntilIdle());
    EXPECT_TRUE(folder.EditorLaunches().empty()) << "the editor opened although FirstTime could not be written";
}

} // namespace
