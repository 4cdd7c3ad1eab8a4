// The main sequence: decide whether this start goes on, build the application, run the loop, restart if asked.
#include "main_sequence.h"

#include "app_machine.h"
#include "command_line.h"
#include "control_protocol.h"
#include "forceforeground.h"
#include "hook_control.h"
#include "rollix_common.h"
#include "rxglobals.h"
#include "setting_values.h"
#include "settings.h"
#include "tray_actions.h"

#include "../toolkit/command_params.h"
#include "../toolkit/message_loop.h"
#include "../toolkit/windows_version.h"

AppState* TheAppState = nullptr;

namespace {
constexpr const char* kMainCaption = "Rollix Portable";
constexpr const char* kControlMessageName = "WM_ROLLIX_MSG";
constexpr const char* kTaskbarMessageName = "TaskbarCreated";
// All bits set for both sizes: Windows trims the working set.
constexpr SIZE_T kTrimWorkingSet = static_cast<SIZE_T>(-1);

enum class BuildOutcome
{
    Built,
    OutOfMemory,         // nothing to run: end quietly rather than wait forever without a window
    SettingsWriteFailed, // the first-start write failed: report it and end with exit code 1
};

BuildOutcome BuildApplication()
{
    AppState* state = CreateObject<AppState>();
    if (state == nullptr)
        return BuildOutcome::OutOfMemory;
    TheAppState = state;
    state->HookEnabled = false;

    MainWindow = CreateFormWindow(nullptr, kMainCaption);
    if (MainWindow == nullptr)
        return BuildOutcome::OutOfMemory;
    AddOwned(MainWindow, state);
    HideWindowObject(MainWindow);

    BuildTrayMenu(state);
    CreateTrayIcon();
    LoadSettings(state);
    SetOnMessage(MainWindow, BindHandler<&OnControlMessage>(state));
    // The hook library looks for this window when it starts: activation requests (code 8) go to it. The tray icon
    // has it created, but only when its image loaded (in a 32-bit process of Wine's WoW64 mode, none does).
    GetWindowHandle(MainWindow);
    EnableHook(state);
    StartWatchdog(state);

    if (state->FirstTime) {
        if (!WriteSetting("FirstTime", "0"))
            return BuildOutcome::SettingsWriteFailed;
        OpenSettingsEditor();
    }
    if (GetWindowsVersion() > WinNT4)
        Sys().SetProcessWorkingSetSize(kTrimWorkingSet, kTrimWorkingSet);
    if (VistaOrLater) {
        // A sender of lower integrity may then reach a copy that runs elevated.
        Sys().ChangeWindowMessageFilter(TaskbarMessageNumber, MSGFLT_ADD);
        Sys().ChangeWindowMessageFilter(ControlMessageNumber, MSGFLT_ADD);
    }
    return BuildOutcome::Built;
}

void StartNewCopy()
{
    PathText ownPath;
    GetParam(0, ownPath);
    if (RestartElevated) {
        RunElevated(nullptr, ownPath.c_str(), "/admin");
        return;
    }
    SiblingPathText folder;
    FolderOfPath(ownPath.c_str(), folder);
    Sys().ShellExecute(nullptr, "open", ownPath.c_str(), "/noadmin", folder.c_str(), SW_SHOWNORMAL);
}
} // namespace

int RollixMain()
{
    ComputeVistaOrLater();
    ReadPlatformVersion();

    Sys().SetPriorityClass(REALTIME_PRIORITY_CLASS);
    ControlMessageNumber = ::RegisterWindowMessageA(kControlMessageName);
    TaskbarMessageNumber = ::RegisterWindowMessageA(kTaskbarMessageName);
    RestartRequested = false;
    RestartElevated = false;

    switch (HandleCommandLine()) {
    case CommandLineOutcome::GoOn:
        break;
    case CommandLineOutcome::EndProcess:
        return 0;
    case CommandLineOutcome::SettingsWriteFailed:
        return ShowSettingsWriteError();
    }

    switch (BuildApplication()) {
    case BuildOutcome::Built:
        break;
    case BuildOutcome::OutOfMemory:
        return 0;
    case BuildOutcome::SettingsWriteFailed:
        return ShowSettingsWriteError();
    }

    RunLoop(&MainWindow);

    if (RestartRequested)
        StartNewCopy();
    // The hook library is left as it is: the process's end removes its hook.
    return 0;
}
