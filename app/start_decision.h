// What a start does, given its first parameter and whether a copy of the program runs already.
#pragma once

inline constexpr char kAdminSwitch[] = "/admin";
inline constexpr char kNoAdminSwitch[] = "/noadmin";
inline constexpr char kCloseSwitch[] = "-close";

enum class StartAction
{
    GoOn,                   // an ordinary start
    GoOnAsAdminSwitchStart, // started by the program itself on Vista or later
    WriteShowRollixAndEnd,  // write "showrollix" = "1" to the settings file, then end
    PostOpenEditorAndEnd,   // post the open-editor code to the running copy, then end
    PostQuitWaitAndEnd,     // post the quit code to the running copy, pause, then end
    End,                    // end at once
    RelaunchElevatedAndEnd, // start an elevated copy with "/admin", then end whatever came of it
};

// Answers whether the setting RunAsAdmin is exactly "1"; asked only when the answer matters.
using RunAsAdminQuery = bool (*)(void* context);

// The first parameter is compared whole and case-sensitively; null counts as none.
StartAction DecideStart(const char* firstParameter, bool runningCopyFound, bool vistaOrLater,
                        RunAsAdminQuery runAsAdminIsOn, void* context);
