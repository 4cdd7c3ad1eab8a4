// The whole road from start to end inside one test process, behind the recording machine: what the program
// asks of Windows on each system, the first start, the restart after the loop (with nothing of the ended run left
// to tick meanwhile) and the failed write.
#include "main_sequence.h"
#include "recording_machine.h"
#include "rxglobals.h"

#include "interval_timer.h"
#include "message_loop.h"
#include "watchdog_rule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

    // A launch after the loop pumps this thread's messages, as ShellExecuteA may and as the consent prompt of
    // "runas" does, for as long as the watchdog's timer needs to come due, with the pointer moved meanwhile.
    bool shellPumps = false;
    static constexpr DWORD kPumpMs = 1500; // three watchdog intervals
    static constexpr char kPumpMarker[] = "-- the shell pumps";
    // Ticks of the toolkit's timers that reached the timer callback meanwhile.
    int timerTicks = 0;

    HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) override
    {
        HINSTANCE result = RecordingMachine::ShellExecute(owner, verb, file, parameters, directory, show);
        PumpAfterTheLoop();
        return result;
    }
    BOOL ShellExecuteEx(SHELLEXECUTEINFOA* info) override
    {
        BOOL result = RecordingMachine::ShellExecuteEx(info);
        PumpAfterTheLoop();
        return result;
    }

    // What the program asked of the machine while the shell pumped.
    std::vector<std::string> CallsWhilePumping() const
    {
        auto marker = std::find(calls.begin(), calls.end(), kPumpMarker);
        return marker == calls.end() ? std::vector<std::string>{} : std::vector<std::string>(marker + 1, calls.end());
    }

private:
    void PumpAfterTheLoop()
    {
        if (!shellPumps || MainWindow != nullptr)
            return;
        calls.push_back(kPumpMarker);
        cursor.x += 10;
        DWORD start = ::GetTickCount();
        for (DWORD waited = 0; timerTicks == 0 && waited < kPumpMs; waited = ::GetTickCount() - start) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpMs - waited, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_TIMER && message.lParam == reinterpret_cast<LPARAM>(&TimerCallback))
                    ++timerTicks;
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
        }
    }
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

// A restart through the control code with Rehook on and a hook that has long gone quiet, so that a watchdog tick on
// the released application object would re-install the hook; the shell pumps while it starts the new copy.
void RestartWithPumpingShell(EndingMachine& machine, TempFolder& folder, uint32_t code)
{
    machine.codeAfterStart = code;
    machine.shellPumps = true;
    machine.localTime = SYSTEMTIME{2026, 12, 2, 8, 12, 0, 5, 0};
    machine.lastMouseMessageTime = DateTimeFromParts(2026, 12, 8, 11, 0, 0, 0);
    folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\nRehook=1\r\n");
    ASSERT_EQ(RollixMain(), 0);
    ASSERT_EQ(machine.CountCalls("ShellExecute"), 1) << "no new copy was started";
}

TEST_F(MainSequenceTest, NormalRestartLetsNoWatchdogTickOnTheReleasedApplication)
{
    machine.commandLine += " /noadmin";
    ASSERT_NO_FATAL_FAILURE(RestartWithPumpingShell(machine, folder, 6));
    EXPECT_EQ(machine.timerTicks, 0) << "the watchdog's timer still runs after the loop";
    EXPECT_EQ(machine.CallsWhilePumping(), std::vector<std::string>{})
        << "the watchdog ran on the released application";
}

TEST_F(MainSequenceTest, ElevatedRestartLetsNoWatchdogTickOnTheReleasedApplication)
{
    ASSERT_NO_FATAL_FAILURE(RestartWithPumpingShell(machine, folder, 7));
    EXPECT_EQ(machine.timerTicks, 0) << "the watchdog's timer still runs after the loop";
    EXPECT_EQ(machine.CallsWhilePumping(), std::vector<std::string>{})
        << "the watchdog ran on the released application";
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
