// The whole road from start to end inside one test process, behind the recording machine: what the program
// asks of Windows on each system, the first start, the restart after the loop and the failed write.
#include "main_sequence.h"
#include "recording_machine.h"
#include "rxglobals.h"

#include "message_loop.h"

#include <gtest/gtest.h>

namespace {

// Ends the run as soon as the hook is started: the control message waits in the queue for the loop.
class EndingMachine : public RecordingMachine
{
public:
    uint32_t codeAfterStart = 4;
    void HookStart(int convertToScroll, int linesToScroll, int flags) override
    {
        RecordingMachine::HookStart(convertToScroll, linesToScroll, flags);
        if (!posted && MainWindow != nullptr) {
            posted = true;
            ::PostMessageA(MainWindow->Handle, ControlMessageNumber, codeAfterStart, 0);
        }
    }
    bool posted = false;
};

class MainSequenceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A copy that an earlier test ended may keep its window for a moment after its process is gone.
        ASSERT_TRUE(WaitFor([] { return ::FindWindowA("obj_Form", "Rollix Portable") == nullptr; }, 15000))
            << "another copy of the program is still running";
        machine.modulePath = folder.File("RollixPortable.exe");
        machine.commandLine = "\"" + machine.modulePath + "\"";
    }

    void StartOn(void (RecordingMachine::*play)())
    {
        (machine.*play)();
        folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\n");
        ASSERT_EQ(RollixMain(), 0);
    }

    TempFolder folder;
    EndingMachine machine;
};

TEST_F(MainSequenceTest, FirstStartWritesFirstTimeAndOpensTheEditorOnce)
{
    EXPECT_EQ(RollixMain(), 0);
    EXPECT_EQ(folder.Read("rollix.ini"), "[config]\r\nFirstTime=0\r\n");
    ASSERT_EQ(machine.CountCalls("ShellExecute open"), 1);
    EXPECT_EQ(machine.CallsStartingWith("ShellExecute open")[0].rfind(
                  "ShellExecute open " + folder.File("RollixConfig.exe") + " [] [" + folder.Path() + "] 1", 0),
              0u);
    EXPECT_EQ(machine.CallsStartingWith("Hook"), std::vector<std::string>{"HookStart 0 3 0"})
        << "the hook is started with the defaults and never stopped at the end";
    EXPECT_EQ(machine.CountCalls("SetPriorityClass 256"), 1);
}

TEST_F(MainSequenceTest, LaterStartPassesTheSettingsAndOpensNothing)
{
    folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\nConvertToScroll=TRUE\r\nLinesToScroll=5\r\nActivateWindows=1\r\n");
    EXPECT_EQ(RollixMain(), 0);
    EXPECT_EQ(machine.CountCalls("ShellExecute"), 0);
    EXPECT_EQ(machine.CallsStartingWith("Hook"), std::vector<std::string>{"HookStart 1 5 1"});
}

// One start per test: the toolkit's loop runs once per process.
TEST_F(MainSequenceTest, Windows95NeitherTrimsNorFilters)
{
    StartOn(&RecordingMachine::PlayWindows95);
    EXPECT_EQ(machine.CountCalls("SetProcessWorkingSetSize"), 0);
    EXPECT_EQ(machine.CountCalls("ChangeWindowMessageFilter"), 0);
}

TEST_F(MainSequenceTest, NT4NeitherTrimsNorFilters)
{
    StartOn(&RecordingMachine::PlayWindowsNT4);
    EXPECT_EQ(machine.CountCalls("SetProcessWorkingSetSize"), 0);
    EXPECT_EQ(machine.CountCalls("ChangeWindowMessageFilter"), 0);
}

TEST_F(MainSequenceTest, XPTrimsTheWorkingSetButHasNoMessageFilter)
{
    StartOn(&RecordingMachine::PlayWindowsXP);
    std::string allBits = sizeof(SIZE_T) == 8 ? "ffffffffffffffff" : "ffffffff";
    EXPECT_EQ(machine.CallsStartingWith("SetProcessWorkingSetSize"),
              std::vector<std::string>{"SetProcessWorkingSetSize " + allBits + " " + allBits});
    EXPECT_EQ(machine.CountCalls("ChangeWindowMessageFilter"), 0);
}

TEST_F(MainSequenceTest, VistaLetsBothMessagesThroughTheFilter)
{
    StartOn(&RecordingMachine::PlayWindowsVista);
    EXPECT_EQ(machine.CountCalls("SetProcessWorkingSetSize"), 1);
    EXPECT_EQ(machine.CallsStartingWith("ChangeWindowMessageFilter"),
              (std::vector<std::string>{"ChangeWindowMessageFilter " + std::to_string(TaskbarMessageNumber) + " 1",
                                        "ChangeWindowMessageFilter " + std::to_string(ControlMessageNumber) + " 1"}));
}

TEST_F(MainSequenceTest, ElevatedRestartStartsAnAdminCopyAfterTheLoop)
{
    machine.PlayWindowsVista();
    machine.codeAfterStart = 7;
    folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\n");
    EXPECT_EQ(RollixMain(), 0);
    EXPECT_EQ(MainWindow, nullptr);
    ASSERT_EQ(machine.CountCalls("ShellExecuteEx"), 1);
    std::string launch = machine.CallsStartingWith("ShellExecuteEx")[0];
    EXPECT_EQ(launch.rfind("ShellExecuteEx runas " + machine.modulePath + " [/admin] [(null)]", 0), 0u) << launch;
}

TEST_F(MainSequenceTest, NormalRestartOfAnAdminSwitchCopyStartsANoAdminCopy)
{
    machine.PlayWindows10();
    machine.codeAfterStart = 6;
    machine.commandLine += " /noadmin";
    folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\n");
    EXPECT_EQ(RollixMain(), 0);
    EXPECT_TRUE(AdminSwitchStart);
    ASSERT_EQ(machine.CountCalls("ShellExecute open"), 1);
    EXPECT_EQ(machine.CallsStartingWith("ShellExecute open")[0].rfind(
                  "ShellExecute open " + machine.modulePath + " [/noadmin] [" + folder.Path() + "] 1", 0),
              0u);
}

TEST_F(MainSequenceTest, UnwritableSettingsFileEndsWithTheErrorBoxAndCode1)
{
    ASSERT_TRUE(::CreateDirectoryA(folder.File("rollix.ini").c_str(), nullptr));
    EXPECT_EQ(RollixMain(), 1);
    ASSERT_EQ(machine.CountCalls("MessageBox"), 1);
    char expected[64];
    std::snprintf(expected, sizeof expected, " %#x owner=", static_cast<unsigned>(MB_OK | MB_ICONSTOP | MB_TASKMODAL));
    EXPECT_EQ(machine.CallsStartingWith("MessageBox")[0].rfind(
                  "MessageBox Application Error: Unable to write to " + folder.File("rollix.ini") + expected, 0),
              0u)
        << machine.CallsStartingWith("MessageBox")[0];
    EXPECT_EQ(machine.CountCalls("HookStart"), 1) << "nothing is undone before the end";
    EXPECT_EQ(machine.CountCalls("ShellExecute"), 0);
}

} // namespace
