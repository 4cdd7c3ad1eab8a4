// The user's rules in rollix.ini beside the editor: every [program ...] and [class ...] section, read and written
// through the system's profile functions, which leave every other line of the file as it is.
#pragma once

#include "rules_form.h"

#include <windows.h>

// Reads the rules into `rules` (emptied first).
void LoadUserRules(UserRules& rules);

// Writes what changed from `saved` to `edited` and flushes. Returns how many writes were made, and in `error` the
// system's error code of the one that failed (0 when none did).
int SaveUserRules(const UserRules& saved, const UserRules& edited, DWORD& error);
