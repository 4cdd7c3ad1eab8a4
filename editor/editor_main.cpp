// Entry point of RollixConfig.exe, the settings editor of Rollix Portable.
#include "settings_dialog.h"
#include "single_instance.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (ActivateOpenEditor()) {
        return 0;
    }
    return RunSettingsDialog(instance);
}
