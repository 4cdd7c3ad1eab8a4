// The control protocol as other processes use it: codes posted to the main window (or any of the
// program's windows) while the loop runs.
#include "app_fixture.h"
#include "control_protocol.h"
#include "forceforeground.h"
#include "hook_control.h"

#include "interval_timer.h"

#include <cstdint>
#include <string>

namespace {

class ControlProtocolTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        SetOnMessage(MainWindow, BindHandler<&OnControlMessage>(state));
        VistaOrLater = true;
        AdminSwitchStart = false;
        RestartRequested = false;
        RestartElevated = false;
    }

    bool Control(uint64_t code, LPARAM lParam = 0, UINT number = 0)
    {
        MessageRecord record{MainWindow->Handle, number != 0 ? number : ControlMessageNumber,
                             static_cast<WPARAM>(code), lParam};
        LRESULT result = 0;
        bool handled = OnControlMessage(state, record, result);
        EXPECT_EQ(result, 0);
        return handled;
    }

    bool ClosePosted()
    {
        MSG message;
        return ::PeekMessageA(&message, MainWindow->Handle, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }
};

TEST_F(ControlProtocolTest, OtherMessagesAreLeftToTheToolkit)
{
    EXPECT_FALSE(Control(2, 0, WM_APP));
    EXPECT_FALSE(Control(4, 0, WM_CLOSE));
    EXPECT_TRUE(machine.calls.empty());
}

TEST_F(ControlProtocolTest, CodesOutsideTheTableDoNothingButAreHandled)
{
    for (uint64_t code : {0ull, 10ull, 255ull, 0xFFFFFFFFull}) {
        EXPECT_TRUE(Control(code)) << code;
    }
    EXPECT_TRUE(machine.calls.empty());
    EXPECT_FALSE(ClosePosted());
    EXPECT_FALSE(RestartRequested);
}

TEST_F(ControlProtocolTest, ReloadTakesNewSettingsWithoutTouchingTheHookUntilTheNextEnable)
{
    folder.Write("rollix.ini", "[config]\nLinesToScroll=9\nReverseScroll=1\nConvertToScroll=TRUE\n");
    EXPECT_TRUE(Control(kReloadSettings));
    EXPECT_EQ(state->LinesToScroll, 9);
    EXPECT_EQ(machine.CountCalls("Hook"), 0);
    EXPECT_TRUE(Control(kEnableHook));
    EXPECT_EQ(machine.CallsStartingWith("Hook"), std::vector<std::string>{"HookStart 1 9 2"});
}

TEST_F(ControlProtocolTest, EnableAndDisableSwitchTheLibrary)
{
    EXPECT_TRUE(Control(kDisableHook));
    EXPECT_FALSE(state->HookEnabled);
    EXPECT_TRUE(Control(kEnableHook));
    EXPECT_TRUE(Control(kEnableHook));
    EXPECT_EQ(machine.CallsStartingWith("Hook"),
              (std::vector<std::string>{"HookStop", "HookStart 0 3 0", "HookStart 0 3 0"}));
    EXPECT_TRUE(state->HookEnabled);
}

TEST_F(ControlProtocolTest, QuitClosesTheMainWindow)
{
    EXPECT_TRUE(Control(kQuit));
    EXPECT_TRUE(ClosePosted());
}

TEST_F(ControlProtocolTest, OpenSettingsLaunchesTheEditorFromTheProgramsFolder)
{
    EXPECT_TRUE(Control(kOpenSettings));
    ASSERT_EQ(machine.CountCalls("ShellExecute open"), 1);
    EXPECT_EQ(machine.CallsStartingWith("ShellExecute open")[0].find("ShellExecute open " + folder.File("RollixConfig.exe") +
                                                                       " [] [" + folder.Path() + "] 1"),
              0u);
}

TEST_F(ControlProtocolTest, RestartCodesAreHonouredOnlyInTheirOwnKindOfCopy)
{
    struct Case
    {
        bool vista, adminSwitch;
        uint32_t code;
        bool restarts, elevated;
    } cases[] = {
        {true, false, kRestartNormally, false, false}, {true, true, kRestartNormally, true, false},
        {true, false, kRestartElevated, true, true},   {true, true, kRestartElevated, false, false},
        {false, false, kRestartNormally, false, false}, {false, false, kRestartElevated, false, false},
        {false, true, kRestartNormally, false, false},
    };
    for (const Case& c : cases) {
        VistaOrLater = c.vista;
        AdminSwitchStart = c.adminSwitch;
        RestartRequested = false;
        RestartElevated = false;
        EXPECT_TRUE(Control(c.code));
        EXPECT_EQ(RestartRequested, c.restarts) << c.vista << c.adminSwitch << c.code;
        EXPECT_EQ(RestartElevated, c.elevated) << c.vista << c.adminSwitch << c.code;
        EXPECT_EQ(ClosePosted(), c.restarts);
    }
}

TEST_F(ControlProtocolTest, ActivateIgnoresARepeatOfTheSameWindow)
{
    HWND target = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    EXPECT_TRUE(Control(kActivateWindow, 0));
    EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), 0) << "0 is the starting value";
    EXPECT_TRUE(Control(kActivateWindow, reinterpret_cast<LPARAM>(target)));
    int afterFirst = machine.CountCalls("SetForegroundWindow");
    EXPECT_GE(afterFirst, 2) << "the main window, then the target";
    EXPECT_TRUE(Control(kActivateWindow, reinterpret_cast<LPARAM>(target)));
    EXPECT_EQ(machine.CountCalls("SetForegroundWindow"), afterFirst);
    EXPECT_EQ(LastActivatedWindow, target);
}

TEST_F(ControlProtocolTest, TrayIconSettingIsReadAlone)
{
    folder.Write("rollix.ini", "[config]\nHideTrayIcon=1\nLinesToScroll=8\n");
    EXPECT_TRUE(Control(kReloadTrayIconSetting));
    EXPECT_FALSE(state->Tray->Active);
    EXPECT_EQ(state->LinesToScroll, 3);
    folder.Write("rollix.ini", "[config]\nHideTrayIcon=0\n");
    EXPECT_TRUE(Control(kReloadTrayIconSetting));
    EXPECT_TRUE(state->Tray->Active);
}

// Between the main window's WM_CLOSE and the WM_QUIT its window is gone while the loop still runs; codes that
// re-read HideTrayIcon and reach the timer window (as a message to all top-level windows does) must not put an
// icon back for the dead window, where it would outlive the process.
TEST_F(ControlProtocolTest, TrayIconSettingAfterTheCloseShowsNoIconForTheGoneWindow)
{
    IntervalTimer* timer = CreateIntervalTimer(60000);
    SetTimerEnabled(timer, true);
    ASSERT_NE(TimerWindow, nullptr);
    ASSERT_NE(TimerWindow->Handle, nullptr);
    folder.Write("rollix.ini", "[config]\nHideTrayIcon=0\n");
    PostClose(MainWindow);
    ::PostMessageA(TimerWindow->Handle, ControlMessageNumber, kReloadTrayIconSetting, 0);
    ::PostMessageA(TimerWindow->Handle, ControlMessageNumber, kReloadSettings, 0);
    TrayIcon* tray = state->Tray;
    RunLoop(&MainWindow);
    EXPECT_EQ(machine.shellOperations, std::vector<DWORD>{NIM_DELETE});
    EXPECT_FALSE(tray->Active);
}

TEST_F(ControlProtocolTest, CodeIsTheLow32BitsOfWParam)
{
#ifdef _WIN64
    EXPECT_TRUE(Control(0x100000000ull | kDisableHook));
    EXPECT_EQ(machine.CountCalls("HookStop"), 1);
#else
    GTEST_SKIP() << "wParam has 32 bits";
#endif
}

TEST_F(ControlProtocolTest, MessageToTheTimerWindowActsLikeOneToTheMainWindow)
{
    IntervalTimer* timer = CreateIntervalTimer(60000);
    SetTimerEnabled(timer, true);
    ASSERT_NE(TimerWindow, nullptr);
    ASSERT_NE(TimerWindow->Handle, nullptr);
    LoopActive = 1;
    ::SendMessageA(TimerWindow->Handle, ControlMessageNumber, kDisableHook, 0);
    ::SendMessageA(MainWindow->Handle, ControlMessageNumber, kEnableHook, 0);
    LoopActive = 0;
    EXPECT_EQ(machine.CallsStartingWith("Hook"), (std::vector<std::string>{"HookStop", "HookStart 0 3 0"}));
}

} // namespace
