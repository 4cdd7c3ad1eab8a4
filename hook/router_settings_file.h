// Reads the router's own settings from the [router] section of rollix.ini, the file beside the library. Read when
// the hook starts, never in the hook callback.
#pragma once

#include <windows.h>

#include "router_settings.h"

void ReadRouterSettings(HMODULE library, RouterSettings& settings);
