// The tray menu and the tray actions: what each menu item and each mouse message on the icon does.
#include "app_fixture.h"
#include "control_protocol.h"
#include "hook_control.h"
#include "tray_actions.h"

#include "popup_menu.h"

#include <string>

namespace {

class TrayActionsTest : public AppFixture
{
protected:
    void BuildInterface() override
    {
        BuildTrayMenu(state);
        CreateTrayIcon();
    }

    std::string ItemText(int index)
    {
        MenuNode* item = FindMenuItem(state->TrayMenu, index);
        char text[64] = {};
        ::GetMenuStringA(state->TrayMenu->MenuHandle, item->CommandId, text, sizeof text, MF_BYCOMMAND);
        return text;
    }

    UINT ItemType(int index)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(state->TrayMenu->MenuHandle, FindMenuItem(state->TrayMenu, index)->CommandId, FALSE, &info);
        return info.fType;
    }

    bool Checked() { return GetItemChecked(state->TrayMenu, kItemEnabled); }
};

TEST_F(TrayActionsTest, MenuHasTheNineItemsWithEnabledCheckedAndSettingsBold)
{
    const char* texts[] = {"Rollix Portable 1.7.0.3", "", "Settings", "Enabled", "Donate", "", "Exit Rollix", "",
                           "Close Menu"};
    EXPECT_EQ(::GetMenuItemCount(state->TrayMenu->MenuHandle), 9);
    for (int i = 0; i < 9; ++i) {
        bool separator = i == 1 || i == 5 || i == 7;
        EXPECT_EQ((ItemType(i) & MFT_SEPARATOR) != 0, separator) << i;
        if (!separator) {
            EXPECT_EQ(ItemText(i), texts[i]) << i;
        }
    }
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(GetItemState(FindMenuItem(state->TrayMenu, kItemSettings), MFS_DEFAULT));
    EXPECT_FALSE(GetItemState(FindMenuItem(state->TrayMenu, kItemEnabled), MFS_DEFAULT));
    // The menu hangs on the hidden panel inside the main window.
    ASSERT_NE(state->MenuHost, nullptr);
    EXPECT_EQ(state->MenuHost->Parent, MainWindow);
    EXPECT_EQ(state->TrayMenu->Owner, state->MenuHost);
}

TEST_F(TrayActionsTest, TrayIconShowsTheMainIconWithItsTooltip)
{
    ASSERT_NE(state->Tray, nullptr);
    EXPECT_TRUE(state->Tray->Active);
    EXPECT_TRUE(state->Tray->ReAddOnTaskbar);
    EXPECT_STREQ(state->Tray->Tooltip, "Rollix Portable");
    EXPECT_EQ(state->Tray->Icon, GetWindowIcon(MainWindow));
    EXPECT_NE(state->Tray->Icon, nullptr);
    EXPECT_EQ(state->Tray->Owner, MainWindow);
    EXPECT_NE(MainWindow->Handle, nullptr) << "the icon had the main window created";
}

TEST_F(TrayActionsTest, EnabledItemTogglesTheCheckAndTheHook)
{
    OnMenuItem(state, state->TrayMenu, kItemEnabled);
    EXPECT_FALSE(Checked());
    EXPECT_FALSE(state->HookEnabled);
    EXPECT_EQ(state->Tray->Icon, ResourceIcon("RXICONDISABLED"));
    OnMenuItem(state, state->TrayMenu, kItemEnabled);
    EXPECT_TRUE(Checked());
    EXPECT_EQ(state->Tray->Icon, ResourceIcon("RXICONENABLED"));
    EXPECT_EQ(machine.CallsStartingWith("Hook"), (std::vector<std::string>{"HookStop", "HookStart 0 3 0"}));
}

TEST_F(TrayActionsTest, ControlCodesLeaveTheCheckMarkAlone)
{
    SetOnMessage(MainWindow, BindHandler<&OnControlMessage>(state));
    ::SendMessageA(MainWindow->Handle, ControlMessageNumber, kDisableHook, 0);
    EXPECT_TRUE(Checked());
    // The next choice of "Enabled" unchecks it and disables once more.
    OnMenuItem(state, state->TrayMenu, kItemEnabled);
    EXPECT_FALSE(Checked());
    EXPECT_EQ(machine.CallsStartingWith("Hook"), (std::vector<std::string>{"HookStop", "HookStop"}));
    ::SendMessageA(MainWindow->Handle, ControlMessageNumber, kEnableHook, 0);
    EXPECT_FALSE(Checked());
}

TEST_F(TrayActionsTest, ProductNameAndSettingsOpenTheEditor)
{
    OnMenuItem(state, state->TrayMenu, kItemProductName);
    OnMenuItem(state, state->TrayMenu, kItemSettings);
    auto launches = machine.CallsStartingWith("ShellExecute open");
    ASSERT_EQ(launches.size(), 2u);
    for (const std::string& launch : launches)
        EXPECT_EQ(launch.rfind("ShellExecute open " + folder.File("RollixConfig.exe") + " [] [" + folder.Path() + "] 1", 0),
                  0u)
            << launch;
}

TEST_F(TrayActionsTest, DonateOpensTheDonationPage)
{
    OnMenuItem(state, state->TrayMenu, kItemDonate);
    auto launches = machine.CallsStartingWith("ShellExecute");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].rfind(std::string("ShellExecute open ") + kDonationPage + " [] [] 1 owner=", 0), 0u);
    EXPECT_EQ(std::string(kDonationPage).rfind("http://", 0), 0u);
    EXPECT_NE(std::string(kDonationPage).find("/rollixdonate.php"), std::string::npos);
}

TEST_F(TrayActionsTest, SeparatorsCloseMenuAndUnknownIndexesDoNothing)
{
    for (int index : {1, 5, 7, static_cast<int>(kItemCloseMenu), 9, 100, -1})
        OnMenuItem(state, state->TrayMenu, index);
    EXPECT_TRUE(machine.calls.empty());
    EXPECT_TRUE(Checked());
}

TEST_F(TrayActionsTest, ExitRemovesTheIconAndClosesWithoutStoppingTheHook)
{
    OnMenuItem(state, state->TrayMenu, kItemExit);
    EXPECT_FALSE(state->Tray->MouseHandler);
    EXPECT_EQ(state->Tray->MouseHandler.owner, nullptr);
    EXPECT_FALSE(state->Tray->Active);
    EXPECT_EQ(machine.shellOperations, std::vector<DWORD>{NIM_DELETE});
    MSG close;
    EXPECT_TRUE(::PeekMessageA(&close, MainWindow->Handle, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(machine.CountCalls("HookStop"), 0);
}

TEST_F(TrayActionsTest, ExitWithoutATrayIconStillCloses)
{
    // MakeTrayIcon gives none when memory is short.
    state->Tray = nullptr;
    OnMenuItem(state, state->TrayMenu, kItemExit);
    MSG close;
    EXPECT_TRUE(::PeekMessageA(&close, MainWindow->Handle, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST_F(TrayActionsTest, LeftClickTogglesWhenAskedAndOnlyReleasesCount)
{
    state->LeftClickEnableToggle = true;
    for (WORD ignored : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONUP})
        OnTrayMouse(state, state->Tray, ignored);
    EXPECT_TRUE(machine.calls.empty());
    OnTrayMouse(state, state->Tray, WM_LBUTTONUP);
    EXPECT_FALSE(Checked());
    EXPECT_EQ(state->Tray->Icon, ResourceIcon("RXICONDISABLED"));
    OnTrayMouse(state, state->Tray, WM_LBUTTONUP);
    EXPECT_TRUE(Checked());
    EXPECT_EQ(machine.CallsStartingWith("Hook"), (std::vector<std::string>{"HookStop", "HookStart 0 3 0"}));
    EXPECT_EQ(machine.CountCalls("GetCursorPos"), 0) << "no menu was opened";
}

bool g_menuWasOpen = false;

VOID CALLBACK CloseTheMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    // The popup menu's window class is "#32768".
    if (::FindWindowA("#32768", nullptr) != nullptr) {
        g_menuWasOpen = true;
        ::EndMenu();
        ::KillTimer(nullptr, id);
    }
}

TEST_F(TrayActionsTest, ReleaseOpensTheMenuAtThePointer)
{
    for (WORD release : {WM_RBUTTONUP, WM_LBUTTONUP}) {
        g_menuWasOpen = false;
        machine.cursor = POINT{120, 140};
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseTheMenu);
        OnTrayMouse(state, state->Tray, release); // returns when the menu has closed
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(g_menuWasOpen) << release;
        EXPECT_EQ(state->MenuPos.x, 120);
        EXPECT_EQ(state->MenuPos.y, 140);
    }
    EXPECT_EQ(machine.CountCalls("GetCursorPos"), 2);
    EXPECT_EQ(machine.CountCalls("Hook"), 0);
}

} // namespace
