// The one application object: the settings, the hook state and the objects the program builds at start-up.
#pragma once

#include "../toolkit/interval_timer.h"
#include "../toolkit/tray_icon.h"

class MenuNode;

class AppState : public ToolkitObject
{
public:
    WindowObject* MenuHost;
    TrayIcon* Tray;
    MenuNode* TrayMenu;
    POINT MenuPos;
    IntervalTimer* WatchdogTimer;
    POINT LastCursorPos;
    bool ConvertToScroll;
    int LinesToScroll;
    bool LeftClickEnableToggle;
    bool ActivateWindows;
    bool Rehook;
    bool HookEnabled;
    bool ReverseScroll;
    bool FirstTime;
};

// For the routines that are not handed the application object.
extern AppState* TheAppState;
