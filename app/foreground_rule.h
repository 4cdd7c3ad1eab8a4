// Which systems need the input-attach method to move another process's window to the foreground.
#pragma once

// Windows 98, ME, 2000 and later restrict SetForegroundWindow; Windows 95 and NT 4.0 do not.
bool NeedsForegroundWorkaround(int platformId, int majorVersion, int minorVersion);
