// Access to rollix.ini beside the editor's own executable, one key at a time.
#pragma once

#include <windows.h>

// The full path of rollix.ini in the editor's folder, formed anew for every access like the program does.
void SettingsFilePath(char (&path)[MAX_PATH + 1]);

// The key's text in section "config", or `defaultText` when it is missing or the file cannot be read.
void ReadSettingText(const char* key, const char* defaultText, char* text, DWORD size);

// Writes one key of section "config" and flushes; every other line of the file stays as it is.
// Returns 0 on success, else the system error code.
DWORD WriteSettingText(const char* key, const char* text);
