// Moves the router's settings between rollix.ini, the form and the dialog's controls.
#include "router_controls.h"

#include "editor_ids.h"
#include "router_settings_file.h"
#include "settings_file.h"
#include "smooth_settings_file.h"

#include <commctrl.h>
#include "window_picker.h"

namespace {

// The choice's items, in the order of ReverseAxes.
const char* const kAxesItems[] = {"Both wheels", "The vertical wheel only", "The horizontal wheel only"};

// A list field's text with its terminator.
constexpr int kListTextSize = kListFieldMaxChars + 1;

void ReadList(HWND dialog, int id, char (&canonical)[kCanonicalListSize])
{
    char text[kListTextSize];
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    CanonicalNames(text, canonical);
}

void ShowList(HWND dialog, int id, const char* canonical)
{
    char lines[kListTextSize];
    NamesAsLines(canonical, lines, sizeof(lines));
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kListFieldMaxChars, 0);
    SetDlgItemTextA(dialog, id, lines);
}

} // namespace

void LoadRouterForm(RouterForm& form)
{
    RouterSettings settings;
    // Null names the editor's own file: the rollix.ini read is the one beside it, as the library's is beside it.
    ReadRouterSettings(nullptr, settings);
    RouterFormFrom(settings, form);
    char path[MAX_PATH + 1];
    SettingsFilePath(path);
    SmoothFormFrom(ReadSmoothSettings(path), form);
}

void InitRouterControls(HWND dialog, const RouterForm& form)
{
    for (const char* item : kAxesItems) {
        SendDlgItemMessageA(dialog, IDC_REVERSE_AXES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendDlgItemMessageA(dialog, IDC_REVERSE_AXES, CB_SETCURSEL, static_cast<WPARAM>(form.reverseAxes), 0);
    CheckDlgButton(dialog, IDC_SHIFT_SIDEWAYS, form.shiftScrollsSideways ? BST_CHECKED : BST_UNCHECKED);
    ShowList(dialog, IDC_PROGRAMS, form.programs);
    ShowList(dialog, IDC_CLASSES, form.classes);
    CheckDlgButton(dialog, IDC_SMOOTH_SCROLL, form.smooth.m_smoothScroll ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_WHEEL_ACCELERATION, form.smooth.m_acceleration ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_SMOOTH_DURATION, EM_LIMITTEXT, 4, 0);
    SendDlgItemMessageA(dialog, IDC_SMOOTH_DURATION_SPIN, UDM_SETRANGE32, kMinSmoothDurationMs, kMaxSmoothDurationMs);
    SendDlgItemMessageA(dialog, IDC_SMOOTH_DURATION_SPIN, UDM_SETPOS32, 0, form.smooth.m_durationMs);
    SetDlgItemTextA(dialog, IDC_SMOOTH_DURATION, form.smoothDurationText);
}

void ReadRouterForm(HWND dialog, RouterForm& form)
{
    ReadList(dialog, IDC_PROGRAMS, form.programs);
    ReadList(dialog, IDC_CLASSES, form.classes);
    form.shiftScrollsSideways = IsDlgButtonChecked(dialog, IDC_SHIFT_SIDEWAYS) == BST_CHECKED;
    SmoothSettings smooth;
    smooth.m_smoothScroll = IsDlgButtonChecked(dialog, IDC_SMOOTH_SCROLL) == BST_CHECKED;
    smooth.m_acceleration = IsDlgButtonChecked(dialog, IDC_WHEEL_ACCELERATION) == BST_CHECKED;
    // An empty or partly typed field keeps the saved duration; a number outside the range is held to it.
    BOOL number = FALSE;
    const UINT duration = GetDlgItemInt(dialog, IDC_SMOOTH_DURATION, &number, FALSE);
    smooth.m_durationMs = number ? static_cast<int>(duration > 100000 ? 100000 : duration) : form.smooth.m_durationMs;
    SmoothFormFrom(smooth, form);
    const LRESULT axes = SendDlgItemMessageA(dialog, IDC_REVERSE_AXES, CB_GETCURSEL, 0, 0);
    form.reverseAxes = axes == static_cast<LRESULT>(ReverseAxes::Vertical)     ? ReverseAxes::Vertical
                       : axes == static_cast<LRESULT>(ReverseAxes::Horizontal) ? ReverseAxes::Horizontal
                                                                               : ReverseAxes::Both;
}

bool AddPickedProgram(HWND dialog, HWND picked)
{
    char path[MAX_PATH];
    if (picked == nullptr || !ProgramOfWindow(picked, path)) {
        return false;
    }
    char text[kListTextSize];
    GetDlgItemTextA(dialog, IDC_PROGRAMS, text, sizeof(text));
    char added[kListTextSize];
    if (!WithNameAdded(text, FileNameOf(path), added, sizeof(added))) {
        return false;
    }
    SetDlgItemTextA(dialog, IDC_PROGRAMS, added);
    // The new name is the last line: scroll it into view.
    const HWND field = GetDlgItem(dialog, IDC_PROGRAMS);
    const int end = GetWindowTextLengthA(field);
    SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    return true;
}
