// Access to the settings file beside the program, the report of a failed write, and the elevated launch.
#pragma once

#include "setting_values.h"

#include <windows.h>

// The exit code of a process ended by a failed write to the settings file.
constexpr int kSettingsWriteFailedExitCode = 1;

// The settings file's full path, formed anew from the program's own file name.
void SettingsPath(SiblingPathText& path);
// The value at key in section "config", or defaultText; never fails. Values longer than 2047 characters are cut.
void ReadSetting(const char* key, const char* defaultText, SettingText& value);
// Stores the value at key in section "config"; false when the file could not be written.
bool WriteSetting(const char* key, const char* value);
// Shows "Unable to write to <settings path>" in a task-modal stop box titled "Application Error" and gives the
// exit code that the program then ends with.
int ShowSettingsWriteError();
// Starts file through the verb "runas", without a working folder; true when the launch was accepted.
bool RunElevated(HWND owner, const char* file, const char* parameters);
