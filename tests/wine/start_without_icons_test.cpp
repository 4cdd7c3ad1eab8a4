// The program started from a module that carries no icons, as every 32-bit process of Wine's WoW64 mode sees it
// (no icon resource loads there): the tray icon has no image and so creates no window, yet the hook library, which
// looks for the main window when it starts, must find it: activation requests (code 8) go there.
#include "main_sequence.h"
#include "recording_machine.h"
#include "rxglobals.h"

#include <gtest/gtest.h>

namespace {

// At the hook's start: looks for the main window as the hook library does, then ends the run.
class HookStartMachine : public RecordingMachine
{
public:
    void HookStart(int convertToScroll, int linesToScroll, int flags) override
    {
        RecordingMachine::HookStart(convertToScroll, linesToScroll, flags);
        if (ended)
            return;
        ended = true;
        windowAtHookStart = ::FindWindowA("obj_Form", "Rollix Portable");
        // Without the window, a quit message ends the loop, so that the failure cannot hang the test.
        if (windowAtHookStart != nullptr)
            ::PostMessageA(windowAtHookStart, ControlMessageNumber, 4, 0);
        else
            ::PostQuitMessage(0);
    }
    HWND windowAtHookStart = nullptr;
    bool ended = false;
};

TEST(StartWithoutIcons, TheMainWindowExistsWhenTheHookStarts)
{
    ASSERT_EQ(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON"), nullptr) << "this module must carry no icons";
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA("obj_Form", "Rollix Portable") == nullptr; }, 15000))
        << "another copy of the program is still running";
    TempFolder folder;
    HookStartMachine machine;
    machine.modulePath = folder.File("RollixPortable.exe");
    machine.commandLine = "\"" + machine.modulePath + "\"";
    folder.Write("rollix.ini", "[config]\r\nFirstTime=0\r\nActivateWindows=1\r\n");

    EXPECT_EQ(RollixMain(), 0);
    EXPECT_EQ(machine.CallsStartingWith("HookStart"), std::vector<std::string>{"HookStart 0 3 1"});
    EXPECT_NE(machine.windowAtHookStart, nullptr) << "the hook library would find no window for code 8";
    EXPECT_EQ(machine.CountCalls("ShellNotifyIcon"), 0) << "an icon without an image was shown";
}

} // namespace
