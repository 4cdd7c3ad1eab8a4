// Finds the running program by its hidden main window and posts it control codes.
#include "program_link.h"

#include <windows.h>

bool NotifyRunningProgram(const ControlCodes& codes)
{
    if (codes.count == 0) {
        return false;
    }
    const HWND program = FindWindowA("obj_Form", "Rollix Portable");
    if (program == nullptr) {
        return false;
    }
    // Every process that registers the name gets the same message number as the program.
    const UINT message = RegisterWindowMessageA("WM_ROLLIX_MSG");
    for (int i = 0; i < codes.count; ++i) {
        // Posted, never sent: the program may be busy or elevated, and the editor must not wait on it.
        PostMessageA(program, message, codes.codes[i], 0);
    }
    return true;
}
