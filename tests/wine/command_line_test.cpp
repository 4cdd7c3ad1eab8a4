// A second start against a real running-copy window: what it posts, writes, launches and whether it goes on.
#include "command_line.h"
#include "recording_machine.h"
#include "rxglobals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

// Posted by the test itself after the start's own posts: once it arrives, every earlier post has too.
constexpr UINT kSentinelMessage = WM_APP + 17;

std::vector<WPARAM> g_controlCodes;
bool g_sentinelSeen = false;

LRESULT CALLBACK RunningCopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ControlMessageNumber && ControlMessageNumber != 0) {
        g_controlCodes.push_back(wParam);
        return 0;
    }
    if (message == kSentinelMessage) {
        g_sentinelSeen = true;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A copy that an earlier test ended may keep its window for a moment after its process is gone.
bool NoOtherCopyRuns()
{
    return WaitFor([] { return ::FindWindowA("obj_Form", "Rollix Portable") == nullptr; }, 15000);
}

class HandleCommandLineTest : public ::testing::Test
{
  protected:
    HandleCommandLineTest()
    {
        machine.modulePath = folder.File("RollixPortable.exe");
        ControlMessageNumber = ::RegisterWindowMessageA("WM_ROLLIX_MSG");
        g_controlCodes.clear();
        g_sentinelSeen = false;
    }
    ~HandleCommandLineTest() override
    {
        if (m_window != nullptr)
            ::DestroyWindow(m_window);
    }

    // The hidden main window of a running copy, as another process would see it.
    void StartRunningCopy()
    {
        ASSERT_TRUE(NoOtherCopyRuns()) << "another copy's window is visible";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &RunningCopyProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "obj_Form";
        ::RegisterClassA(&windowClass);
        m_window = ::CreateWindowExA(0, "obj_Form", "Rollix Portable", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
    }

    void Start(const std::string& commandLine, void (RecordingMachine::*play)())
    {
        machine.commandLine = commandLine;
        (machine.*play)();
        ComputeVistaOrLater();
        machine.calls.clear();
        outcome = HandleCommandLine();
    }

    // Every control code that the start posted to the running copy.
    std::vector<WPARAM> PostedCodes()
    {
        EXPECT_NE(m_window, nullptr);
        ::PostMessageA(m_window, kSentinelMessage, 0, 0);
        EXPECT_TRUE(WaitFor([] { return g_sentinelSeen; }));
        return g_controlCodes;
    }

    std::string Settings() { return folder.Read("rollix.ini"); }

    TempFolder folder;
    RecordingMachine machine;
    CommandLineOutcome outcome = CommandLineOutcome::GoOn;

  private:
    HWND m_window = nullptr;
};

using M = RecordingMachine;

TEST_F(HandleCommandLineTest, CloseAsksTheRunningCopyToQuitAndPauses)
{
    StartRunningCopy();
    Start("RollixPortable.exe -close", &M::PlayWindowsVista);
    EXPECT_EQ(outcome, CommandLineOutcome::EndProcess);
    EXPECT_EQ(PostedCodes(), std::vector<WPARAM>{4});
    EXPECT_EQ(machine.CallsStartingWith("Sleep"), std::vector<std::string>{"Sleep 1000"});
}

TEST_F(HandleCommandLineTest, CloseWithoutARunningCopyEndsAtOnce)
{
    ASSERT_TRUE(NoOtherCopyRuns()) << "another copy's window is visible";
    Start("RollixPortable.exe -close", &M::PlayWindowsVista);
    EXPECT_EQ(outcome, CommandLineOutcome::EndProcess);
    EXPECT_EQ(machine.CountCalls("Sleep"), 0);
    EXPECT_EQ(machine.CountCalls("ShellExecute"), 0);
}

TEST_F(HandleCommandLineTest, PlainSecondStartOpensTheEditorOfTheRunningCopy)
{
    StartRunningCopy();
    folder.Write("rollix.ini", "[config]\r\nRunAsAdmin=1\r\n");
    Start("RollixPortable.exe", &M::PlayWindowsVista);
    EXPECT_EQ(outcome, CommandLineOutcome::EndProcess);
    EXPECT_EQ(PostedCodes(), std::vector<WPARAM>{5});
    EXPECT_EQ(machine.CountCalls("Sleep"), 0);
    EXPECT_EQ(machine.CountCalls("ShellExecuteEx"), 0);
}

TEST_F(HandleCommandLineTest, NearMissSwitchesAreOrdinarySecondStarts)
{
    StartRunningCopy();
    for (const char* line : {"x.exe /ADMIN", "x.exe admin", "x.exe other /admin", "x.exe /Noadmin"}) {
        Start(line, &M::PlayWindowsVista);
        EXPECT_EQ(outcome, CommandLineOutcome::EndProcess) << line;
    }
    EXPECT_EQ(PostedCodes(), (std::vector<WPARAM>{5, 5, 5, 5}));
    EXPECT_FALSE(folder.Exists("rollix.ini")) << "no showrollix for an ordinary start";
}

TEST_F(HandleCommandLineTest, AdminSwitchWhileACopyRunsOnVistaWritesShowRollixAndPostsNothing)
{
    StartRunningCopy();
    folder.Write("rollix.ini", "[config]\r\nLinesToScroll=5\r\n");
    Start("RollixPortable.exe /noadmin", &M::PlayWindowsVista);
    EXPECT_EQ(outcome, CommandLineOutcome::EndProcess);
    EXPECT_TRUE(PostedCodes().empty());
    EXPECT_THAT(Settings(), HasSubstr("showrollix=1"));
    EXPECT_THAT(Settings(), HasSubstr("LinesToScroll=5"));
}

TEST_F(HandleCommandLineTest, FailedShowRollixWriteIsReportedToTheMainSequence)
{
    StartRunningCopy();
    ASSERT_TRUE(::CreateDirectoryA(folder.File("rollix.ini").c_str(), nullptr));
    Start("RollixPortable.exe /admin", &M::PlayWindows10);
    EXPECT_EQ(outcome, CommandLineOutcome::SettingsWriteFailed);
    EXPECT_TRUE(PostedCodes().empty());
}

TEST_F(HandleCommandLineTest, AdminSwitchWhileACopyRunsBeforeVistaOpensItsEditor)
{
    StartRunningCopy();
    Start("RollixPortable.exe /admin", &M::PlayWindowsXP);
    EXPECT_EQ(outcome, CommandLineOutcome::EndProcess);
    EXPECT_EQ(PostedCodes(), std::vector<WPARAM>{5});
    EXPECT_FALSE(folder.Exists("rollix.ini"));
}

TEST_F(HandleCommandLineTest, AdminSwitchAloneGoesOnAndMarksTheStartOnlyOnVista)
{
    ASSERT_TRUE(NoOtherCopyRuns()) << "another copy's window is visible";
    folder.Write("rollix.ini", "[config]\r\nRunAsAdmin=1\r\n");
    Start("RollixPortable.exe /admin", &M::PlayWindowsVista);
    EXPECT_EQ(outcome, CommandLineOutcome::GoOn);
    EXPECT_TRUE(AdminSwitchStart);
    EXPECT_EQ(machine.CountCalls("ShellExecuteEx"), 0) << "an elevated copy must not relaunch again";

    Start("RollixPortable.exe /noadmin", &M::PlayWindowsXP);
    EXPECT_EQ(outcome, CommandLineOutcome::GoOn);
    EXPECT_FALSE(AdminSwitchStart);
}

TEST_F(HandleCommandLineTest, RunAsAdminOnVistaRelaunchesElevatedAndEnds)
{
    ASSERT_TRUE(NoOtherCopyRuns()) << "another copy's window is visible";
    folder.Write("rollix.ini", "[config]\r\nRunAsAdmin=1\r\n");
    for (bool launchSucceeds : {true, false}) {
        machine.launchSucceeds = launchSucceeds;
        Start("RollixPortable.exe", &M::PlayWindowsVista);
        EXPECT_EQ(outcome, CommandLineOutcome::EndProcess) << "launch succeeded: " << launchSucceeds;
        auto launches = machine.CallsStartingWith("ShellExecuteEx");
        ASSERT_EQ(launches.size(), 1u);
        EXPECT_THAT(launches[0], HasSubstr("ShellExecuteEx runas " + folder.File("RollixPortable.exe") +
                                           " [/admin] [(null)] size=" + std::to_string(sizeof(SHELLEXECUTEINFOA)) +
                                           " mask=500 show=1"));
    }
}

TEST_F(HandleCommandLineTest, OnlyExactlyOneAndOnlyOnVistaRelaunches)
{
    ASSERT_TRUE(NoOtherCopyRuns()) << "another copy's window is visible";
    struct Case
    {
        const char* value;
        void (RecordingMachine::*play)();
    };
    const Case cases[] = {
        {"TRUE", &M::PlayWindowsVista}, {"01", &M::PlayWindows10}, {"0", &M::PlayWindowsVista},
        {"1", &M::PlayWindowsXP},       {"1", &M::PlayWindows95},  {"1", &M::PlayWindowsNT4},
    };
    for (const Case& c : cases) {
        folder.Write("rollix.ini", std::string("[config]\r\nRunAsAdmin=") + c.value + "\r\n");
        AdminSwitchStart = true;
        Start("RollixPortable.exe", c.play);
        EXPECT_EQ(outcome, CommandLineOutcome::GoOn) << c.value;
        EXPECT_FALSE(AdminSwitchStart) << c.value;
        EXPECT_EQ(machine.CountCalls("ShellExecuteEx"), 0) << c.value;
    }
}

} // namespace
