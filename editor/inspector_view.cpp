// Loads RollixHook.dll from the editor's folder on first use and puts its inspection into words.
#include "inspector_view.h"

#include "rollix_hook_inspect.h"
#include "settings_file.h"

namespace {

RollixHookInspectProc g_inspect = nullptr;
bool g_looked = false;

RollixHookInspectProc InspectFunction()
{
    if (!g_looked) {
        g_looked = true;
        char path[MAX_PATH + 1];
        // By its full path: never a RollixHook.dll found elsewhere on the search path.
        PathBesideEditor("RollixHook.dll", path);
        const HMODULE library = LoadLibraryA(path);
        if (library != nullptr) {
            g_inspect = reinterpret_cast<RollixHookInspectProc>(
                reinterpret_cast<void*>(GetProcAddress(library, kRollixHookInspectName)));
        }
    }
    return g_inspect;
}

bool Inspect(RollixHookInspectProc inspect, HWND window, POINT point, RollixInspection& inspection)
{
    inspection = RollixInspection{};
    inspection.m_size = sizeof(inspection);
    return inspect(window, point, &inspection) != FALSE;
}

// Appends the texts to `out` while they fit in `size`.
void Append(char* out, int size, const char* a, const char* b = "", const char* c = "")
{
    const char* const parts[] = {a, b, c};
    for (const char* part : parts) {
        const int used = lstrlenA(out);
        lstrcpynA(out + used, part, size - used);
    }
}

} // namespace

void ShowInspection(HWND view, HWND window, POINT point)
{
    const RollixHookInspectProc inspect = InspectFunction();
    if (inspect == nullptr) {
        SetWindowTextA(view, "RollixHook.dll is not beside the settings editor: without it there is nothing to "
                             "inspect. Rules can still be added.");
        return;
    }
    RollixInspection inspection;
    if (!Inspect(inspect, window, point, inspection)) {
        SetWindowTextA(view, "No window to inspect here.");
        return;
    }
    char text[sizeof(RollixInspection)] = "";
    constexpr int kSize = sizeof(text);
    Append(text, kSize, "Window class: ", inspection.m_className, "\r\nClass chain: ");
    for (int i = 0; i < inspection.m_chainLength && i < kInspectChainLength; ++i) {
        Append(text, kSize, i > 0 ? " < " : "", inspection.m_classChain[i]);
    }
    Append(text, kSize, "\r\nProgram: ", inspection.m_program[0] != '\0' ? inspection.m_program : "unknown",
           inspection.m_elevated > 0    ? ", runs at a higher integrity level"
           : inspection.m_elevated == 0 ? ", same integrity level"
                                        : "");
    const int source = inspection.m_ruleSource;
    const bool yours = source == kInspectUserClass || source == kInspectUserProgram;
    Append(text, kSize, "\r\nRule: ", yours ? "yours, " : "", inspection.m_rule);
    if (inspection.m_reason[0] != '\0') {
        Append(text, kSize, " (", inspection.m_reason, ")");
    }
    Append(text, kSize, "\r\nThe wheel: ", inspection.m_decision);
    SetWindowTextA(view, text);
}

bool InspectedNames(HWND window, char (&program)[kRuleNameSize], char (&windowClass)[kRuleNameSize])
{
    const RollixHookInspectProc inspect = InspectFunction();
    POINT point;
    GetCursorPos(&point);
    RollixInspection inspection;
    if (inspect == nullptr || !Inspect(inspect, window, point, inspection) || inspection.m_program[0] == '\0') {
        return false;
    }
    lstrcpynA(program, inspection.m_program, kRuleNameSize);
    lstrcpynA(windowClass, inspection.m_className, kRuleNameSize);
    return true;
}
