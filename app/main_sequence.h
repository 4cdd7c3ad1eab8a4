// The program's whole road from start to end.
#pragma once

// Runs the start-up, the message loop and the restart; returns the process exit code.
int RollixMain();
