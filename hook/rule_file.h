// The user's rules and the program's own settings as rollix.ini beside the library holds them. Read when the hook
// starts (and by the inspector), never in the hook callback.
#pragma once

#include <windows.h>

#include "router_settings_file.h"
#include "rule_book.h"

// Adds every [program ...] and [class ...] section of the file to book.
void ReadUserRules(const char* path, RuleBook& book);

// The [config] keys the program passes to RollixHookStart, read as the program reads them.
HookSettings ReadProgramSettings(const char* path);
