// The start-up's reading of its first parameter: go on, hand a command to the running copy, or relaunch.
#pragma once

enum class CommandLineOutcome
{
    GoOn,                // the start-up goes on
    EndProcess,          // this start is done: end with exit code 0
    SettingsWriteFailed, // "showrollix" could not be written: report it and end with exit code 1
};

// Looks for a running copy, then acts on the first parameter. Sets AdminSwitchStart.
CommandLineOutcome HandleCommandLine();
