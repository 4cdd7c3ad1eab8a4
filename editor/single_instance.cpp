// Finds an open editor by its own dialog class and brings it to the front.
#include "single_instance.h"

#include "editor_ids.h"

#include <windows.h>

namespace {

// How long a second start waits for the first one's dialog to appear: both may have been started
// together, and the first may still be reading the file.
constexpr DWORD kWaitForDialogMs = 5000;
constexpr DWORD kPollMs = 50;

HWND FindEditorDialog()
{
    return FindWindowA(ROLLIX_EDITOR_CLASS, nullptr);
}

void BringToFront(HWND dialog)
{
    if (IsIconic(dialog)) {
        ShowWindow(dialog, SW_RESTORE);
    }
    // A message box of the editor may be open: it is the window the user has to answer.
    const HWND popup = GetLastActivePopup(dialog);
    SetForegroundWindow(popup != nullptr ? popup : dialog);
}

} // namespace

bool ActivateOpenEditor()
{
    // The mutex tells "another editor starts" even before its dialog exists. The system closes the
    // handle when this process ends, so it is kept for the whole run on purpose.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "RollixPortable.RollixConfig");
    const bool another = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    HWND dialog = FindEditorDialog();
    if (!another && dialog == nullptr) {
        return false;
    }
    for (DWORD waited = 0; dialog == nullptr && waited < kWaitForDialogMs; waited += kPollMs) {
        Sleep(kPollMs);
        dialog = FindEditorDialog();
    }
    if (dialog == nullptr) {
        // The other editor ended or never showed a dialog: better one editor too many than none.
        return false;
    }
    BringToFront(dialog);
    return true;
}
