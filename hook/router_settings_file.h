// Reads the router's own settings from the [router] section of rollix.ini, the file beside the library. Read when
// the hook starts, never in the hook callback.
#pragma once

#include <windows.h>

#include "router_settings.h"

// False when the file's place cannot be named (the library's path cannot be read, or is too long even in its
// short form): the settings are then the defaults, and the start fails.
bool ReadRouterSettings(HMODULE library, RouterSettings& settings);

// The path of rollix.ini beside the library for the ANSI profile functions, through the folder's short name where
// its own lies outside the ANSI code page; false when it cannot be named (too long, or no short name).
bool SettingsFilePath(HMODULE library, char (&path)[MAX_PATH + 16]);
