// An icon in the taskbar's notification area on behalf of a window object.
#pragma once

#include "window_object.h"

#include <shellapi.h>

class TrayIcon;
// Called with the icon and the mouse message that the shell reports for it.
using TrayMouseHandler = EventHandler<void, TrayIcon*, WORD>;

constexpr UINT kTrayCallbackMessage = 0xB008;
constexpr int kTrayTooltipMax = 63;

class TrayIcon : public ToolkitObject
{
public:
    void Destroy() override;

    HICON Icon;
    bool Active;
    char* Tooltip; // the whole text; the shell gets at most its first 63 characters
    TrayMouseHandler MouseHandler;
    WindowObject* Owner;
    bool ReAddOnTaskbar;
    // The shell's identifier of this icon, unique among live icons.
    UINT Id;
};

// All live tray icons in creation order; null while there are none.
extern ObjectList<TrayIcon*>* TrayIconList;
extern UINT TaskbarCreatedMsg;

TrayIcon* MakeTrayIcon(WindowObject* owner, HICON icon);
void SetTrayActive(TrayIcon* icon, bool active);
void SetTrayImage(TrayIcon* icon, HICON image);
void SetTrayTooltip(TrayIcon* icon, const char* text);
void SetTrayReAddOnTaskbar(TrayIcon* icon, bool reAdd);
BOOL NotifyShell(TrayIcon* icon, DWORD operation);
bool TrayOwnerHandler(WindowObject* window, MessageRecord& message, LRESULT& result);
bool TaskbarCreatedHandler(WindowObject* window, MessageRecord& message, LRESULT& result);
