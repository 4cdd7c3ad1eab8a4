// RollixHookInspect: the router's decision for a window the editor's picker points at.
#include "rollix_hook_inspect.h"

extern "C" BOOL WINAPI RollixHookInspect(HWND window, POINT screenPoint, RollixInspection* out)
{
    (void)window;
    (void)screenPoint;
    if (out == nullptr || out->m_size != sizeof(RollixInspection)) {
        return FALSE;
    }
    return FALSE;
}
