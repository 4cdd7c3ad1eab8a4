// Bringing a window to the foreground on old and new systems, with the foreground calls recorded.
#include "forceforeground.h"
#include "recording_machine.h"

#include "message_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HWND Window(INT_PTR value)
{
    return reinterpret_cast<HWND>(value);
}

class ForceForegroundTest : public ::testing::Test
{
protected:
    void Play(void (RecordingMachine::*version)())
    {
        (machine.*version)();
        ReadPlatformVersion();
        machine.calls.clear();
    }

    RecordingMachine machine;
};

TEST_F(ForceForegroundTest, OldSystemsOnlyBringToTopAndSetForeground)
{
    for (auto version : {&RecordingMachine::PlayWindows95, &RecordingMachine::PlayWindowsNT4}) {
        Play(version);
        machine.foregroundWindow = Window(0x10);
        EXPECT_TRUE(ForceForegroundWindow(Window(0x20)));
        EXPECT_EQ(machine.CountCalls("AttachThreadInput"), 0);
        EXPECT_EQ(machine.CountCalls("SystemParametersInfo"), 0);
        EXPECT_EQ(machine.CountCalls("BringWindowToTop"), 1);
        EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), 1);
    }
}

TEST_F(ForceForegroundTest, SuccessfulAttachNeverTouchesTheLockTimeout)
{
    Play(&RecordingMachine::PlayWindowsXP);
    machine.foregroundWindow = Window(0x10);
    EXPECT_TRUE(ForceForegroundWindow(Window(0x20)));
    EXPECT_EQ(machine.CallsStartingWith("AttachThreadInput"),
              (std::vector<std::string>{"AttachThreadInput attach", "AttachThreadInput detach"}));
    EXPECT_EQ(machine.CountCalls("SystemParametersInfo"), 0);
}

TEST_F(ForceForegroundTest, FailedAttachLowersTheLockTimeoutForTheSwitchOnly)
{
    Play(&RecordingMachine::PlayWindows10);
    machine.foregroundWindow = Window(0x10);
    machine.attachSucceeds = false;
    machine.foregroundLockTimeout = 200000;
    EXPECT_TRUE(ForceForegroundWindow(Window(0x20)));
    EXPECT_EQ(machine.CallsStartingWith("AttachThreadInput"), std::vector<std::string>{"AttachThreadInput attach"});
    EXPECT_EQ(machine.CallsStartingWith("SystemParametersInfo"),
              (std::vector<std::string>{"SystemParametersInfo get", "SystemParametersInfo set 0 2",
                                        "SystemParametersInfo set 200000 2"}));
}

TEST_F(ForceForegroundTest, AttachThatDoesNotBringTheWindowFallsBackToTheTimeout)
{
    Play(&RecordingMachine::PlayWindowsVista);
    machine.foregroundWindow = Window(0x10);
    machine.foregroundFollowsSetForeground = false;
    EXPECT_FALSE(ForceForegroundWindow(Window(0x20)));
    EXPECT_EQ(machine.CountCalls("SystemParametersInfo set"), 2);
    EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), 2);
}

TEST_F(ForceForegroundTest, ForegroundTargetCostsNothing)
{
    Play(&RecordingMachine::PlayWindows10);
    machine.foregroundWindow = Window(0x20);
    EXPECT_TRUE(ForceForegroundWindow(Window(0x20)));
    EXPECT_EQ(machine.CountCalls("AttachThreadInput"), 0);
    EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), 0);
}

TEST_F(ForceForegroundTest, MinimisedWindowIsRestoredFirst)
{
    Play(&RecordingMachine::PlayWindows10);
    HWND window = ::CreateWindowExA(0, "STATIC", "minimised", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    nullptr, nullptr);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window));
    machine.foregroundWindow = window;
    ForceForegroundWindow(window);
    ASSERT_GE(machine.calls.size(), 2u);
    EXPECT_EQ(machine.calls[0].rfind("IsIconic", 0), 0u);
    EXPECT_EQ(machine.calls[1].rfind("ShowWindow", 0), 0u);
    EXPECT_NE(machine.calls[1].find(" 9"), std::string::npos) << "SW_RESTORE";
    ::DestroyWindow(window);
}

TEST_F(ForceForegroundTest, UnreadTimeoutIsNeverWrittenBack)
{
    class NoTimeoutMachine : public RecordingMachine
    {
    public:
        BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) override
        {
            if (action == SPI_GETFOREGROUNDLOCKTIMEOUT) {
                calls.push_back("SystemParametersInfo get failed");
                return FALSE;
            }
            return RecordingMachine::SystemParametersInfo(action, param, value, winIni);
        }
    };
    NoTimeoutMachine failing;
    failing.PlayWindows10();
    ReadPlatformVersion();
    failing.attachSucceeds = false;
    failing.foregroundWindow = Window(0x10);
    ForceForegroundWindow(Window(0x20));
    EXPECT_EQ(failing.CountCalls("SystemParametersInfo set"), 0);
    EXPECT_EQ(failing.CountCalls("SetForegroundWindow"), 1);
}

std::string HandleText(HWND window)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(window));
    return text;
}

TEST_F(ForceForegroundTest, ActivationBringsTheMainWindowForwardBeforeTheTarget)
{
    // The program's own window first: Windows lets only the foreground process choose the next foreground window.
    MainWindow = CreateFormWindow(nullptr, "Foreground Test Main");
    HideWindowObject(MainWindow);
    HWND main = GetWindowHandle(MainWindow);
    ASSERT_NE(main, nullptr);
    HWND target = Window(0x20);
    for (auto version : {&RecordingMachine::PlayWindowsNT4, &RecordingMachine::PlayWindows10}) {
        Play(version);
        LastActivatedWindow = nullptr;
        machine.foregroundWindow = Window(0x10);
        ActivateTargetWindow(target);
        std::vector<std::string> raised;
        for (const std::string& call : machine.calls)
            if (call.rfind("BringWindowToTop", 0) == 0 || call.rfind("SetForegroundWindow", 0) == 0)
                raised.push_back(call);
        EXPECT_EQ(raised, (std::vector<std::string>{
                              "BringWindowToTop " + HandleText(main), "SetForegroundWindow " + HandleText(main),
                              "BringWindowToTop " + HandleText(target), "SetForegroundWindow " + HandleText(target)}));
    }
}

TEST_F(ForceForegroundTest, ActivationRemembersTheLastTargetEvenAfterForegroundChanges)
{
    Play(&RecordingMachine::PlayWindows10);
    HWND a = Window(0xA0);
    HWND b = Window(0xB0);
    ActivateTargetWindow(a);
    ASSERT_GT(machine.CountCalls("SetForegroundWindow"), 0);
    const std::string last = machine.CallsStartingWith("SetForegroundWindow").back();
    EXPECT_EQ(last.substr(last.size() - 2), "a0");
    int calls = machine.CountCalls("SetForegroundWindow");
    machine.foregroundWindow = b;
    ActivateTargetWindow(a);
    EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), calls) << "the same window twice in a row";
    ActivateTargetWindow(b);
    ActivateTargetWindow(a);
    EXPECT_GT(machine.CountCalls("SetForegroundWindow"), calls) << "A, then B, then A again";
    EXPECT_EQ(LastActivatedWindow, a);
}

} // namespace
