// Access to rollix.ini beside the editor's own executable, one key at a time.
#pragma once

#include <windows.h>

// The full path of a file in the editor's folder.
void PathBesideEditor(const char* fileName, char (&path)[MAX_PATH + 1]);

// The full path of rollix.ini in the editor's folder, formed anew for every access like the program does.
void SettingsFilePath(char (&path)[MAX_PATH + 1]);

// The key's text in section "config", or `defaultText` when it is missing or the file cannot be read.
void ReadSettingText(const char* key, const char* defaultText, char* text, DWORD size);

// The program's section and the router's.
constexpr char kConfigSection[] = "config";
constexpr char kRouterSection[] = "router";

// Writes one key of the section and flushes; every other line of the file stays as it is.
// Returns 0 on success, else the system error code.
DWORD WriteSettingText(const char* section, const char* key, const char* text);
