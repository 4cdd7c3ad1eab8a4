// The command line at start-up, acted on against the running copy (if any) and the settings file.
#include "command_line.h"

#include "app_machine.h"
#include "command_params.h"
#include "rollix_common.h"
#include "rxglobals.h"
#include "start_decision.h"

namespace {
// A running copy is known by its hidden main window; there is no other lock.
constexpr char kMainWindowClass[] = "obj_Form";
constexpr char kMainWindowCaption[] = "Rollix Portable";
// Control codes that a second start posts to the running copy.
constexpr unsigned kQuitCode = 4;
constexpr unsigned kOpenEditorCode = 5;
// The pause after asking the running copy to quit, before this start ends.
constexpr DWORD kCloseWaitMs = 1000;

bool RunAsAdminIsOn(void* /*context*/)
{
    SettingText value;
    ReadSetting("RunAsAdmin", "0", value);
    return IsOnValue(value.c_str());
}

void PostControlCode(HWND runningCopy, unsigned code)
{
    // Ignored when it fails: this start ends all the same.
    ::PostMessageA(runningCopy, ControlMessageNumber, code, 0);
}
} // namespace

CommandLineOutcome HandleCommandLine()
{
    AdminSwitchStart = false;
    // Looked for before the parameter is read.
    HWND runningCopy = ::FindWindowA(kMainWindowClass, kMainWindowCaption);
    PathText parameter;
    GetParam(1, parameter);

    switch (DecideStart(parameter.c_str(), runningCopy != nullptr, VistaOrLater, &RunAsAdminIsOn, nullptr)) {
    case StartAction::GoOn:
        return CommandLineOutcome::GoOn;
    case StartAction::GoOnAsAdminSwitchStart:
        AdminSwitchStart = true;
        return CommandLineOutcome::GoOn;
    case StartAction::WriteShowRollixAndEnd:
        if (!WriteSetting("showrollix", "1"))
            return CommandLineOutcome::SettingsWriteFailed;
        return CommandLineOutcome::EndProcess;
    case StartAction::PostOpenEditorAndEnd:
        PostControlCode(runningCopy, kOpenEditorCode);
        return CommandLineOutcome::EndProcess;
    case StartAction::PostQuitWaitAndEnd:
        PostControlCode(runningCopy, kQuitCode);
        // No check that the running copy has gone: the pause is all the time it gets.
        Sys().Sleep(kCloseWaitMs);
        return CommandLineOutcome::EndProcess;
    case StartAction::End:
        return CommandLineOutcome::EndProcess;
    case StartAction::RelaunchElevatedAndEnd: {
        PathText ownPath;
        GetParam(0, ownPath);
        // The process ends whether or not the launch succeeded, so no copy runs unelevated afterwards.
        RunElevated(nullptr, ownPath.c_str(), kAdminSwitch);
        return CommandLineOutcome::EndProcess;
    }
    }
    return CommandLineOutcome::GoOn;
}
