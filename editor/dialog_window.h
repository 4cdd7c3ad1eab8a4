// The settings dialog's window: its own class, and its creation from its template in the system's dialog font.
#pragma once

#include <windows.h>

// The program's icon, which the editor wears too.
constexpr char kEditorIconName[] = "MAINICON";

// The dialog's own class (ROLLIX_EDITOR_CLASS), named in its template.
bool RegisterDialogClass(HINSTANCE instance);

// Creates the modeless dialog; with `systemFont` (from Vista on) in the system's dialog font where it can be had,
// else in the font its template names.
HWND CreateSettingsDialog(HINSTANCE instance, bool systemFont, DLGPROC procedure, LPARAM parameter);

// Runs the modal dialog of template `id`, owned by `owner`, in the system's dialog font as CreateSettingsDialog does.
INT_PTR RunModalDialog(HWND owner, int id, bool systemFont, DLGPROC procedure, LPARAM parameter);
