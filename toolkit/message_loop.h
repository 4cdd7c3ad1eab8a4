// The message loop of the program's one thread, and its orderly end.
#pragma once

#include "window_object.h"

#include <cstdint>

// The main window object; while the loop runs its OnMessage sees every toolkit window's messages first.
extern WindowObject* MainWindow;
extern uint8_t LoopActive;
// Set once WM_QUIT is taken or termination began.
extern bool Terminated;

// Pumps until the main window has been closed; on return *mainWindow is null.
void RunLoop(WindowObject** mainWindow);
// True when a message was taken whose number is not 0.
bool PumpOneMessage(WindowObject* mainWindow);
void PumpMessages(WindowObject* mainWindow);
// Ends the run and releases the main window object with everything it owns.
void EndRun(WindowObject** mainWindow);
// Posts WM_CLOSE to the object's window (handle as stored; no window is created).
BOOL PostClose(WindowObject* window);
