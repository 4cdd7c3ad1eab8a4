// The start-up decision table; pure, so every row is tested on the host.
#include "start_decision.h"

#include <cstring>

namespace {
bool Is(const char* parameter, const char* literal)
{
    return parameter != nullptr && std::strcmp(parameter, literal) == 0;
}
} // namespace

StartAction DecideStart(const char* firstParameter, bool runningCopyFound, bool vistaOrLater,
                        RunAsAdminQuery runAsAdminIsOn, void* context)
{
    // "/admin" and "/noadmin" differ only in which launch passes them; at start-up they act alike.
    if (Is(firstParameter, kAdminSwitch) || Is(firstParameter, kNoAdminSwitch)) {
        if (!runningCopyFound)
            return vistaOrLater ? StartAction::GoOnAsAdminSwitchStart : StartAction::GoOn;
        return vistaOrLater ? StartAction::WriteShowRollixAndEnd : StartAction::PostOpenEditorAndEnd;
    }
    if (Is(firstParameter, kCloseSwitch))
        return runningCopyFound ? StartAction::PostQuitWaitAndEnd : StartAction::End;
    if (runningCopyFound)
        return StartAction::PostOpenEditorAndEnd;
    // Only an ordinary start with no running copy on Vista or later reads RunAsAdmin.
    if (vistaOrLater && runAsAdminIsOn != nullptr && runAsAdminIsOn(context))
        return StartAction::RelaunchElevatedAndEnd;
    return StartAction::GoOn;
}
