// Start with Windows: the user's own start-up entry in the registry, the only thing the editor writes outside its
// folder, and only when the user changes the box.
#pragma once

#include <windows.h>

// The full path of RollixPortable.exe beside the editor, in its long form when it exists.
void ProgramPathBesideEditor(char (&path)[MAX_PATH + 1]);

// Whether the entry exists and starts the program at `programPath`.
bool StartsWithWindows(const char* programPath);

// Writes the entry for `programPath` (replacing another copy's), or removes it while it starts this copy (another
// copy's entry is that copy's business). Returns 0 on success, else the system error code.
DWORD SetStartWithWindows(const char* programPath, bool start);
