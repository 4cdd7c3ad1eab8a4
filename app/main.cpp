// Entry point of Rollix Portable.
#include "main_sequence.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RollixMain();
}
