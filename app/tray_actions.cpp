// The tray icon, its popup menu and the tray actions.
#include "tray_actions.h"

#include "app_machine.h"
#include "hook_control.h"
#include "settings.h"

#include "../toolkit/message_loop.h"
#include "../toolkit/popup_menu.h"

// The project has no site of its own yet; a reserved name keeps the link from pointing at a stranger.
const char kDonationPage[] = "http://rollix.example.org/rollixdonate.php";

namespace {
constexpr const char* kTrayMenuTexts[] = {
    "Rollix Portable 1.7.0.3", "-", "Settings", "Enabled", "Donate", "-", "Exit Rollix", "-", "Close Menu",
};
constexpr int kLastMenuIndex = sizeof kTrayMenuTexts / sizeof kTrayMenuTexts[0] - 1;
constexpr int kPanelPlainEdge = 2;
constexpr const char* kTrayTooltip = "Rollix Portable";

void ToggleHook(AppState* state, MenuNode* menu)
{
    SetItemChecked(menu, kItemEnabled, !GetItemChecked(menu, kItemEnabled));
    if (GetItemChecked(menu, kItemEnabled))
        EnableHook(state);
    else
        DisableHook(state);
}

void ExitProgram(AppState* state)
{
    // The icon may be missing (no memory for it); the program still ends.
    if (state->Tray != nullptr) {
        // No further mouse message may reach the application while it ends.
        state->Tray->MouseHandler.Clear();
        SetTrayActive(state->Tray, false);
    }
    PostClose(MainWindow);
}
} // namespace

void BuildTrayMenu(AppState* state)
{
    state->MenuHost = SetAlignment(CreatePanelWindow(MainWindow, kPanelPlainEdge), kAlignClient);
    state->TrayMenu = MakeMenu(state->MenuHost, kTrayMenuTexts, kLastMenuIndex, BindHandler<&OnMenuItem>(state));
    SetItemChecked(state->TrayMenu, kItemEnabled, true);
    SetItemState(FindMenuItem(state->TrayMenu, kItemSettings), MFS_DEFAULT, true);
}

void CreateTrayIcon()
{
    AppState* state = TheAppState;
    TrayIcon* icon = MakeTrayIcon(MainWindow, GetWindowIcon(MainWindow));
    state->Tray = icon;
    if (icon == nullptr)
        return;
    icon->MouseHandler = BindHandler<&OnTrayMouse>(state);
    SetTrayTooltip(icon, kTrayTooltip);
    SetTrayReAddOnTaskbar(icon, true);
}

void OnTrayMouse(AppState* state, TrayIcon* /*icon*/, WORD mouseMessage)
{
    if (mouseMessage == WM_LBUTTONUP && state->LeftClickEnableToggle) {
        OnMenuItem(state, state->TrayMenu, kItemEnabled);
        return;
    }
    if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONUP)
        return;
    POINT cursor;
    if (Sys().GetCursorPos(&cursor))
        state->MenuPos = cursor;
    ::SetFocus(MainWindow->Handle);
    // The menu closes on a click elsewhere only while its owner's thread has the foreground window.
    ::SetForegroundWindow(MainWindow->Handle);
    PopupMenuAt(state->TrayMenu, state->MenuPos.x, state->MenuPos.y);
    // Lets the menu close properly when it is dismissed without a choice.
    ::PostMessageA(MainWindow->Handle, WM_NULL, 0, 0);
}

void OnMenuItem(AppState* state, MenuNode* menu, int index)
{
    switch (index) {
    case kItemProductName:
    case kItemSettings:
        OpenSettingsEditor();
        break;
    case kItemEnabled:
        ToggleHook(state, menu);
        break;
    case kItemDonate:
        Sys().ShellExecute(nullptr, "open", kDonationPage, "", "", SW_SHOWNORMAL);
        break;
    case kItemExit:
        ExitProgram(state);
        break;
    default:
        break;
    }
}
