// The settings as the application holds them, and the launch of the editor that changes them.
#include "settings.h"

#include "app_machine.h"
#include "app_state.h"
#include "command_params.h"
#include "message_loop.h"
#include "rollix_common.h"

namespace {
constexpr char kEditorFileName[] = "RollixConfig.exe";

bool ReadOnOff(const char* key)
{
    SettingText value;
    ReadSetting(key, "0", value);
    return IsOnValue(value.c_str());
}
} // namespace

void LoadSettings(AppState* state)
{
    SettingText value;
    ReadSetting("ConvertToScroll", "FALSE", value);
    state->ConvertToScroll = IsTrueWord(value.c_str());
    ReadSetting("LinesToScroll", "3", value);
    state->LinesToScroll = LinesToScrollValue(value.c_str());
    state->LeftClickEnableToggle = ReadOnOff("LeftClickEnableToggle");
    state->ActivateWindows = ReadOnOff("ActivateWindows");
    state->Rehook = ReadOnOff("Rehook");
    state->ReverseScroll = ReadOnOff("ReverseScroll");
    ApplyHideTrayIcon(state);
    ReadSetting("FirstTime", "1", value);
    state->FirstTime = IsOnValue(value.c_str());
}

void ApplyHideTrayIcon(AppState* state)
{
    bool hide = ReadOnOff("HideTrayIcon");
    if (state->Tray != nullptr)
        SetTrayActive(state->Tray, !hide);
}

void OpenSettingsEditor()
{
    PathText modulePath;
    GetParam(0, modulePath);
    SiblingPathText folder;
    FolderOfPath(modulePath.c_str(), folder);
    SiblingPathText file(folder.c_str());
    file.Append(kEditorFileName);
    // The handle as it is stored: asking for it must not create the main window.
    HWND owner = MainWindow != nullptr ? MainWindow->Handle : nullptr;
    Sys().ShellExecute(owner, "open", file.c_str(), "", folder.c_str(), SW_SHOWNORMAL);
}
