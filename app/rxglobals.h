// Process-wide flags of start-up and restart.
#pragma once

// The system is Windows Vista or later; fixed before the main sequence.
extern bool VistaOrLater;
// Started with "/admin" or "/noadmin" on Vista or later.
extern bool AdminSwitchStart;
// Start a new copy after the message loop, elevated or not.
extern bool RestartRequested;
extern bool RestartElevated;

// Reads the Windows version through the machine and sets VistaOrLater.
void ComputeVistaOrLater();

// Numbers that Windows assigned to "WM_ROLLIX_MSG" and "TaskbarCreated" at start-up.
extern unsigned int ControlMessageNumber;
extern unsigned int TaskbarMessageNumber;
