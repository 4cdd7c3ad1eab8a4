// Where the settings dialog's controls go: rows stacked from the top in the dialog's own font, so that a
// hidden row (the error line while there is no error, "Run as administrator" before Vista) takes no room.
#pragma once

#include <windows.h>

// Places the controls and sizes the dialog to fit them. The dialog's top edge stays where it is; with
// `keepCentre` (before the dialog first shows) its centre does instead.
void LayOutSettingsDialog(HWND dialog, bool keepCentre);
