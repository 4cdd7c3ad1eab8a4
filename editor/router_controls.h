// The router's settings in the dialog's controls: read from the [router] section as the hook library reads it,
// shown, read back for saving; and the window picker's window added to the programs.
#pragma once

#include "router_form.h"

#include <windows.h>

// The router's settings as the library reads them from the rollix.ini beside the editor.
void LoadRouterForm(RouterForm& form);

// Fills the choice of wheels with its items and shows the form in the controls.
void InitRouterControls(HWND dialog, const RouterForm& form);

void ReadRouterForm(HWND dialog, RouterForm& form);

// Adds the program of the picked window's top-level window to the programs field, unless it is the editor or
// the field names it already. True when the field changed.
bool AddPickedProgram(HWND dialog, HWND picked);
