// The program's user interface: the tray icon, its popup menu and what the user can do with them.
#pragma once

#include "app_state.h"

class MenuNode;

enum TrayMenuItem
{
    kItemProductName = 0,
    kItemSettings = 2,
    kItemEnabled = 3,
    kItemDonate = 4,
    kItemExit = 6,
    kItemCloseMenu = 8,
};

extern const char kDonationPage[];

// Builds the MenuHost panel on the main window and the nine-item tray menu on it.
void BuildTrayMenu(AppState* state);
// Shows the tray icon for the main window with the tooltip "Rollix Portable".
void CreateTrayIcon();
// Right release opens the menu; left release toggles the hook or opens the menu.
void OnTrayMouse(AppState* state, TrayIcon* icon, WORD mouseMessage);
void OnMenuItem(AppState* state, MenuNode* menu, int index);
